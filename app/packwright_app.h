// The application object: starts the common controls, runs the main dialog
// modally and ends the program when the dialog closes.
#ifndef PACKWRIGHT_APP_PACKWRIGHT_APP_H_
#define PACKWRIGHT_APP_PACKWRIGHT_APP_H_

#include "app/wnd.h"

class CPackwrightApp : public CWinApp {
 public:
  CPackwrightApp();

  // Runs the main dialog; always false, so that the program ends when the
  // dialog has closed, whatever its result.
  BOOL InitInstance() override;
};

#endif  // PACKWRIGHT_APP_PACKWRIGHT_APP_H_
