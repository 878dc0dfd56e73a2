#include "tool/commands.h"

int RunCheck(Platform&, Console&, const ToolOptions&) {
  return kExitCannotRun;
}
