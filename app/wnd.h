// The few framework classes that Packwright's dialogs stand on, in the
// manner of the Windows application framework: an application object, a
// modal dialog built from a template, and thin wrappers of a push button and
// a progress bar. Windows-only; they hold window handles and never own the
// windows they wrap.
#ifndef PACKWRIGHT_APP_WND_H_
#define PACKWRIGHT_APP_WND_H_

#include <windows.h>

#include <string>

// A child window's handle, bound by the dialog's data exchange.
class CWnd {
 public:
  HWND m_hWnd = nullptr;

  HWND GetSafeHwnd() const { return m_hWnd; }
  void Attach(HWND hwnd) { m_hWnd = hwnd; }
  // Sets the window's text from UTF-8 text.
  void SetWindowText(const std::string& text);
  // The window's text, at most `max_chars` characters of it.
  std::string GetWindowText(int max_chars) const;
  LRESULT SendMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;
  HWND GetParent() const;
};

class CButton : public CWnd {};

// The common-controls progress bar; each call sends one PBM_ message.
class CProgressCtrl : public CWnd {
 public:
  void SetRange32(int lower, int upper);
  void GetRange(int* lower, int* upper) const;
  // Each returns the previous position (or step).
  int SetPos(int pos);
  int GetPos() const;
  int OffsetPos(int delta);
  int SetStep(int step);
  int StepIt();
};

// A modal dialog. The static dialog procedure finds the object through the
// window's DWLP_USER slot, set at WM_INITDIALOG, and hands every message to
// WindowProc, whose default dispatches to the small handlers below. After
// initialisation the dialog is centred, as the framework does for templates
// placed at 0, 0.
class CDialog : public CWnd {
 public:
  explicit CDialog(UINT template_id, HWND parent = nullptr);
  virtual ~CDialog() = default;

  // Runs the dialog until EndDialog; returns its result, or -1 when the
  // dialog could not be created.
  INT_PTR DoModal();
  void EndDialog(INT_PTR result);
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  // Centres the dialog over its visible owner, or else on the screen's
  // work area, kept within the work area.
  void CenterWindow();

 protected:
  // The member dialog procedure: returns what a dialog procedure returns
  // (FALSE leaves the message to the default dialog processing).
  virtual INT_PTR WindowProc(UINT msg, WPARAM wparam, LPARAM lparam);
  // Binds the controls (UpdateData(false)); TRUE gives the focus to the
  // default button.
  virtual BOOL OnInitDialog();
  // WM_COMMAND: IDOK and IDCANCEL go to OnOK and OnCancel.
  virtual BOOL OnCommand(WORD id, WORD code);
  // Takes the controls' data back (UpdateData(true)) and, if that
  // succeeds, ends the dialog with IDOK.
  virtual void OnOK();
  virtual void OnCancel();
  // Moves data between the controls and the members: into the controls
  // when `save` is false, back into the members when true. Returns false
  // when the data cannot be taken back.
  virtual bool DoDataExchange(bool save);
  bool UpdateData(bool save) { return DoDataExchange(save); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  UINT template_id_;
  HWND parent_;
};

// The application object. Its constructor registers the one instance;
// WinMain runs InitInstance and ends the program when that returns false.
class CWinApp {
 public:
  explicit CWinApp(const char* app_name = nullptr);
  virtual ~CWinApp() = default;

  // Starts the program; false ends it without a message loop.
  virtual BOOL InitInstance() { return TRUE; }
  // The message loop of a program that keeps running after InitInstance.
  virtual int Run();
  // Remembers the key under which settings would be stored. Nothing is
  // written until a setting is, and Packwright stores none.
  void SetRegistryKey(const char* key) { m_pszRegistryKey = key; }

  const char* m_pszAppName;
  const char* m_pszRegistryKey = nullptr;
  HINSTANCE m_hInstance = nullptr;
  CWnd* m_pMainWnd = nullptr;
};

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();

#endif  // PACKWRIGHT_APP_WND_H_
