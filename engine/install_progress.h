// The progress interface that an installation run drives. The main dialog's
// progress bar implements it; tests record the calls.
#ifndef PACKWRIGHT_ENGINE_INSTALL_PROGRESS_H_
#define PACKWRIGHT_ENGINE_INSTALL_PROGRESS_H_

#include <string>

class IInstallProgress {
 public:
  virtual ~IInstallProgress() = default;

  virtual bool SetRange(int lower, int upper) = 0;
  virtual void GetRange(int* lower, int* upper) = 0;
  virtual bool SetPos(int pos) = 0;
  virtual int GetPos() = 0;
  // Returns the previous position.
  virtual int OffsetPos(int delta) = 0;
  // Returns the previous step.
  virtual int SetStep(int step) = 0;
  // Returns the previous position.
  virtual int StepIt() = 0;
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
