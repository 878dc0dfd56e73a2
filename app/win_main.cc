// The program's entry point, as the application framework provides it: the
// one application object does the work.
#include <cstdlib>

#include "app/wnd.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/,
                   int /*show*/) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr)
    return 1;
  app->m_hInstance = instance;
  if (!app->InitInstance())
    return 0;
  return app->Run();
}

// Nothing is thrown across the program's code, so the runtime's verbose
// terminate handler, which prints the demangled exception type, has nothing
// to report; replacing it keeps the name demangler (about 40 KB) out of the
// executable.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
