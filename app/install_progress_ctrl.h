// The main dialog's progress bar as the installation run sees it: each of
// the ten IInstallProgress operations becomes the progress bar's message.
#ifndef PACKWRIGHT_APP_INSTALL_PROGRESS_CTRL_H_
#define PACKWRIGHT_APP_INSTALL_PROGRESS_CTRL_H_

#include <string>

#include "app/wnd.h"
#include "engine/install_progress.h"

class CInstallProgressCtrl : public CProgressCtrl, public IInstallProgress {
 public:
  // PBM_SETRANGE32; true.
  bool SetRange(int lower, int upper) override;
  // PBM_GETRANGE.
  void GetRange(int* lower, int* upper) override;
  // Counts the call; the 101st since the last repaint invalidates the
  // parent window (background erased) and restarts the count. Then
  // PBM_SETPOS; true.
  bool SetPos(int pos) override;
  int GetPos() override;
  int OffsetPos(int delta) override;
  int SetStep(int step) override;
  // Paints the parent synchronously (WM_PAINT), then PBM_STEPIT.
  int StepIt() override;
  // Each sets the text of its status window when one is attached (none
  // ever is); true.
  bool SetStatusText1(const std::string& text) override;
  bool SetStatusText2(const std::string& text) override;
  bool SetStatusText3(const std::string& text) override;

 private:
  static bool SetStatusText(void* window, const std::string& text);
};

#endif  // PACKWRIGHT_APP_INSTALL_PROGRESS_CTRL_H_
