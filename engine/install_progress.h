// The progress interface that an installation run drives. The main dialog's
// progress bar implements it; tests record the calls. The run uses only
// SetRange and SetPos.
//
// A bool result is true when the call took effect and false when it did not;
// nothing changes then. The progress bar always takes effect, and the run
// ignores the results: progress that cannot be shown never fails a run.
#ifndef PACKWRIGHT_ENGINE_INSTALL_PROGRESS_H_
#define PACKWRIGHT_ENGINE_INSTALL_PROGRESS_H_

#include <string>

class IInstallProgress {
 public:
  virtual ~IInstallProgress() = default;

  // Sets the range that positions fall in.
  virtual bool SetRange(int lower, int upper) = 0;
  // Stores the current range's bounds.
  virtual void GetRange(int* lower, int* upper) = 0;
  // Moves to position `pos`.
  virtual bool SetPos(int pos) = 0;
  // Returns the current position.
  virtual int GetPos() = 0;
  // Returns the previous position.
  virtual int OffsetPos(int delta) = 0;
  // Returns the previous step.
  virtual int SetStep(int step) = 0;
  // Returns the previous position.
  virtual int StepIt() = 0;
  // Shows `text` in the first, second or third status line, where one is
  // attached; with none attached there is nothing to do, and that counts as
  // taking effect.
  virtual bool SetStatusText1(const std::string& text) = 0;
  virtual bool SetStatusText2(const std::string& text) = 0;
  virtual bool SetStatusText3(const std::string& text) = 0;

 protected:
  // Counts SetPos calls between repaints of the parent window.
  int repaintCounter = 0;
  // Optional status-text windows; none is ever attached.
  void* statusText1 = nullptr;
  void* statusText2 = nullptr;
  void* statusText3 = nullptr;
};

#endif  // PACKWRIGHT_ENGINE_INSTALL_PROGRESS_H_
