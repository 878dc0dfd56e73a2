#include "engine/messages.h"

#include "platform/win_constants.h"

const char kAppName[] = "Packwright";

unsigned LocalizedId(unsigned base_id, std::uint16_t lang_id) {
  switch (lang_id & 0x3FF) {
    case kLangGerman:
      return base_id;
    case kLangFrench:
      return base_id + 200;
    case kLangPolish:
      return base_id + 300;
    default:
      return base_id + 100;
  }
}

unsigned LocalizedId(Shell& shell, unsigned base_id) {
  return LocalizedId(base_id, shell.SystemLanguage());
}

std::string FormatText(const std::string& pattern, const std::vector<std::string>& args) {
  std::string out;
  std::size_t next_arg = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      if (pattern[i + 1] == 's') {
        if (next_arg < args.size())
          out += args[next_arg++];
        ++i;
        continue;
      }
      if (pattern[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
    }
    out += pattern[i];
  }
  return out;
}

std::string LoadMessage(Shell& shell, unsigned base_id) {
  return shell.LoadText(LocalizedId(shell, base_id));
}

std::string FormatLocalized(Shell& shell, unsigned base_id, const std::vector<std::string>& args) {
  return FormatText(LoadMessage(shell, base_id), args);
}

std::string MessageText(Shell& shell, unsigned base_id, const std::vector<std::string>& args) {
  return args.empty() ? LoadMessage(shell, base_id) : FormatLocalized(shell, base_id, args);
}

int ShowText(Shell& shell, const std::string& text, unsigned type) {
  if ((type & kMbIconMask) == 0)
    type |= kMbIconExclamation;
  return shell.ShowMessageBox(kAppName, text, type);
}

int ShowMessage(Shell& shell, unsigned base_id, unsigned type,
                const std::vector<std::string>& args) {
  return ShowText(shell, MessageText(shell, base_id, args), type);
}
