#include "app/packwright_dlg.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/gui_test_support.h"
#include "engine/messages.h"
#include "platform/fake_platform.h"
#include "platform/wide_win32.h"
#include "res/resource.h"

namespace {

std::string Text(HWND hwnd) {
  wchar_t text[1100] = {};
  int length = ::GetWindowTextW(hwnd, text, 1100);
  return Narrow(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string MenuText(HMENU menu, int position) {
  wchar_t text[128] = {};
  int length = ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return Narrow(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Posted to the dialog once it is up, to run the test's actions inside
// its modal loop; and posted before a nested modal box, to run inside that.
constexpr UINT kRunActions = WM_APP + 1;
constexpr UINT kRunNested = WM_APP + 2;
// Ends a test whose dialogs fail to close instead of letting it hang.
constexpr UINT_PTR kWatchdog = 1;
constexpr UINT kWatchdogMs = 20000;

std::vector<HWND> OtherDialogs(HWND main);

// The main dialog with hooks for the test: `actions` runs once the dialog
// is up, `nested` whenever kRunNested arrives.
class ScriptedDlg : public CPackwrightDlg {
 public:
  explicit ScriptedDlg(Platform& platform) : CPackwrightDlg(platform) {}

  std::function<void(ScriptedDlg&)> actions;
  std::function<void()> nested;
  // WM_ICONERASEBKGND messages received.
  int icon_erasures = 0;

  HWND hwnd() const { return m_hWnd; }
  void CloseEverything() {
    for (HWND other : OtherDialogs(m_hWnd))
      ::PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
    EndDialog(IDABORT);
  }
  int ProgressPos() const {
    return static_cast<int>(::SendMessageA(GetDlgItem(IDC_PROGRESS), PBM_GETPOS, 0, 0));
  }
  LRESULT Send(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) {
    return ::SendMessageA(m_hWnd, msg, wparam, lparam);
  }
  std::string ItemText(int id) const { return Text(GetDlgItem(id)); }

 protected:
  BOOL OnInitDialog() override {
    BOOL focus_default = CPackwrightDlg::OnInitDialog();
    ::PostMessageA(m_hWnd, kRunActions, 0, 0);
    ::SetTimer(m_hWnd, kWatchdog, kWatchdogMs, nullptr);
    return focus_default;
  }
  INT_PTR WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == kRunActions) {
      if (actions)
        actions(*this);
      // Whatever the actions did, the dialog must not stay open.
      if (::IsWindowVisible(m_hWnd))
        EndDialog(IDABORT);
      return TRUE;
    }
    if (msg == WM_TIMER && wparam == kWatchdog) {
      ADD_FAILURE() << "the dialog did not close in time";
      CloseEverything();
      return TRUE;
    }
    if (msg == WM_ICONERASEBKGND)
      ++icon_erasures;
    if (msg == kRunNested) {
      if (nested)
        nested();
      return TRUE;
    }
    return CPackwrightDlg::WindowProc(msg, wparam, lparam);
  }
};

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM param) {
  char name[16] = {};
  ::GetClassNameA(hwnd, name, sizeof(name));
  if (std::string(name) == "#32770")
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

// The thread's dialogs other than `main`, shown or not yet shown.
std::vector<HWND> OtherDialogs(HWND main) {
  std::vector<HWND> dialogs;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  std::vector<HWND> others;
  for (HWND dialog : dialogs) {
    if (dialog != main)
      others.push_back(dialog);
  }
  return others;
}

class PackwrightDlgTest : public testing::Test {
 protected:
  void SetUp() override {
    PW_SKIP_WITHOUT_DISPLAY();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    // Polish texts hold letters that code page 1252 lacks ("ś"); shown
    // through the wide functions, they come through whole on every system.
    fake_.shell.language = 0x0415;
  }

  // Runs the dialog modally with `actions`; returns its result.
  INT_PTR Run(std::function<void(ScriptedDlg&)> actions) {
    dialog_.actions = std::move(actions);
    INT_PTR result = dialog_.DoModal();
    EXPECT_NE(result, -1) << "the dialog could not be created";
    return result;
  }

  // Installs Kestrova in the fake registry and file system.
  void AddHost() {
    fake_.registry.SetString("HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX", "AppPath",
                             "C:\\Kestrova\\Kestrova.exe");
    fake_.registry.SetDwordValue("HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX", "Scan", 0);
    fake_.files.AddFile("C:\\Kestrova\\Kestrova.exe", "MZ");
    fake_.files.AddFile("C:\\Kestrova\\Resourcen\\Parallels\\Texturen.txt", "Basis{\n}");
  }

  std::string Message(unsigned id) { return LoadMessage(fake_.shell, id); }

  FakePlatform fake_;
  ScriptedDlg dialog_{fake_.platform};
};

TEST_F(PackwrightDlgTest, ShowsLocalizedTextsAndSystemMenuItems) {
  Run([&](ScriptedDlg& dlg) {
    EXPECT_EQ(Text(dlg.hwnd()), "Packwright v1.0");
    EXPECT_EQ(dlg.ItemText(IDOK), "Instalacja");
    EXPECT_EQ(dlg.ItemText(IDCANCEL),
              "Wyj\xC5\x9B"
              "cie");
    EXPECT_EQ(dlg.ItemText(IDC_INTRO_TEXT), Message(IDS_INTRO));

    HMENU menu = ::GetSystemMenu(dlg.hwnd(), FALSE);
    ASSERT_NE(menu, nullptr);
    int count = ::GetMenuItemCount(menu);
    int about = -1;
    for (int i = 0; i < count; ++i) {
      if (::GetMenuItemID(menu, i) == IDM_ABOUTBOX)
        about = i;
    }
    ASSERT_GT(about, 0);
    EXPECT_EQ(MenuText(menu, about), "&O programie Packwright...");
    EXPECT_TRUE(::GetMenuState(menu, about - 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(::GetMenuItemID(menu, about + 1), static_cast<UINT>(IDM_UNINSTALL));
    EXPECT_EQ(MenuText(menu, about + 1), Message(IDS_UNDO_MENU));

    HICON icon = reinterpret_cast<HICON>(dlg.Send(WM_GETICON, ICON_BIG));
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(dlg.Send(WM_GETICON, ICON_SMALL)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(dlg.Send(WM_QUERYDRAGICON)), icon);
  });
}

TEST_F(PackwrightDlgTest, PaintsItsIconOnlyWhileMinimised) {
  Run([&](ScriptedDlg& dlg) {
    dlg.Send(WM_PAINT);
    EXPECT_EQ(dlg.icon_erasures, 0);
    ::ShowWindow(dlg.hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(dlg.hwnd()));
    ::InvalidateRect(dlg.hwnd(), nullptr, TRUE);
    dlg.Send(WM_PAINT);
    EXPECT_EQ(dlg.icon_erasures, 1);
    ::ShowWindow(dlg.hwnd(), SW_RESTORE);
  });
}

// Leaves the About item out when its text is empty.
class ShellWithoutAboutText : public FakeShell {
 public:
  std::string LoadText(unsigned id) override {
    return id % 100 == IDS_ABOUT_MENU % 100 ? "" : FakeShell::LoadText(id);
  }
};

TEST_F(PackwrightDlgTest, EmptyAboutTextAddsNoMenuItem) {
  ShellWithoutAboutText shell;
  Platform platform{fake_.files, fake_.registry, shell};
  ScriptedDlg dialog(platform);
  dialog.actions = [](ScriptedDlg& dlg) {
    HMENU menu = ::GetSystemMenu(dlg.hwnd(), FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(::GetMenuState(menu, IDM_ABOUTBOX, MF_BYCOMMAND), static_cast<UINT>(-1));
  };
  EXPECT_NE(dialog.DoModal(), -1);
}

TEST_F(PackwrightDlgTest, SystemCommandsOfTheAboutRangeOpenTheAboutBox) {
  std::vector<std::string> seen;
  dialog_.nested = [&] {
    for (HWND about : OtherDialogs(dialog_.hwnd())) {
      seen.push_back(Text(::GetDlgItem(about, IDOK)));
      ::PostMessageA(about, WM_COMMAND, IDOK, 0);
    }
  };
  Run([&](ScriptedDlg& dlg) {
    for (WPARAM command : {0x0010, 0x0011, 0x001F}) {
      ::PostMessageA(dlg.hwnd(), kRunNested, 0, 0);
      dlg.Send(WM_SYSCOMMAND, command);
    }
    // Outside the range: no About box.
    for (WPARAM command : {0x0020, 0x0030}) {
      ::PostMessageA(dlg.hwnd(), kRunNested, 0, 0);
      dlg.Send(WM_SYSCOMMAND, command);
    }
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      ::DispatchMessageA(&msg);
  });
  EXPECT_EQ(seen, std::vector<std::string>(3, Message(IDS_OK)));
  // Only 0x0020 went to the uninstall, which without Kestrova says so and
  // undoes nothing.
  ASSERT_EQ(fake_.shell.boxes.size(), 1u);
  EXPECT_EQ(fake_.shell.boxes[0].text, Message(IDS_HOST_MISSING));
}

TEST_F(PackwrightDlgTest, UninstallCommandReportsAndTheDialogStaysOpen) {
  AddHost();
  INT_PTR result = Run([&](ScriptedDlg& dlg) {
    dlg.Send(WM_SYSCOMMAND, IDM_UNINSTALL);
    dlg.Send(WM_SYSCOMMAND, IDM_UNINSTALL | 0x000F);
    EXPECT_TRUE(::IsWindowVisible(dlg.hwnd()));
    EXPECT_TRUE(OtherDialogs(dlg.hwnd()).empty());
    dlg.Send(WM_COMMAND, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(fake_.shell.boxes.size(), 2u);
  EXPECT_EQ(fake_.shell.boxes[1].text, FormatLocalized(fake_.shell, IDS_UNDO_NOTHING, {"Paket"}));
}

// What the dialog showed and did while the run let it handle its messages.
struct DuringRun {
  HWND dialog = nullptr;
  int calls = 0;
  bool install_enabled = true;
  bool quit_enabled = true;
  int position = -1;
  std::size_t boxes = 0;
};
DuringRun g_during;

// Between the first two entries: the window takes Quit, Escape, closing
// and the system menu's commands, and none of them disturbs the run.
void PokeTheDialog(FakeShell& shell) {
  if (g_during.calls++ != 0)
    return;
  HWND dialog = g_during.dialog;
  g_during.install_enabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK));
  g_during.quit_enabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDCANCEL));
  g_during.position =
      static_cast<int>(::SendMessageA(::GetDlgItem(dialog, IDC_PROGRESS), PBM_GETPOS, 0, 0));
  ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ::SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ::SendMessageA(dialog, WM_SYSCOMMAND, IDM_UNINSTALL, 0);
  ::SendMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  ::SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  g_during.boxes = shell.boxes.size();
}

TEST_F(PackwrightDlgTest, ARunKeepsTheDialogAnsweringButNotEndingOrRestarting) {
  AddHost();
  fake_.files.AddFile("C:\\Paket\\InstSkript.txt",
                      "Dateinstallation{{a.dat>>a.dat}{a.dat>>b.dat}}Texturskript{}");
  fake_.files.AddFile("C:\\Paket\\a.dat", "model");
  g_during = DuringRun();
  fake_.shell.on_pending = PokeTheDialog;
  INT_PTR result = Run([&](ScriptedDlg& dlg) {
    g_during.dialog = dlg.hwnd();
    dlg.Send(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(g_during.calls, 2);
  EXPECT_FALSE(g_during.install_enabled);
  EXPECT_FALSE(g_during.quit_enabled);
  EXPECT_EQ(g_during.position, 2);
  EXPECT_EQ(g_during.boxes, 0u);
  EXPECT_TRUE(OtherDialogs(g_during.dialog).empty());
  ASSERT_EQ(fake_.shell.boxes.size(), 1u);
  EXPECT_EQ(fake_.shell.boxes[0].text, Message(IDS_INSTALL_OK));
  EXPECT_EQ(fake_.files.Content("C:\\Kestrova\\b.dat"), "model");
}

// Another run holds Kestrova for the whole 10 seconds of the wait: the
// dialog keeps answering meanwhile, then says so, installs nothing and
// stays open; pressed again once the other run ended, Install installs.
TEST_F(PackwrightDlgTest, AnotherRunHoldingKestrovaIsWaitedForThenReported) {
  AddHost();
  fake_.files.AddFile("C:\\Paket\\InstSkript.txt",
                      "Dateinstallation{{a.dat>>b.dat}}Texturskript{}");
  fake_.files.AddFile("C:\\Paket\\a.dat", "model");
  fake_.files.AddDir("C:\\Kestrova\\Packwright");
  std::unique_ptr<FileLock> other;
  std::string err;
  ASSERT_EQ(LockResult::kLocked,
            fake_.files.LockFile("C:\\Kestrova\\Packwright\\Packwright.lock", &other, &err));
  g_during = DuringRun();
  fake_.shell.on_pending = PokeTheDialog;
  std::vector<FakeShell::Box> after_wait;
  int position = -1;
  INT_PTR result = Run([&](ScriptedDlg& dlg) {
    g_during.dialog = dlg.hwnd();
    dlg.Send(WM_COMMAND, IDOK);
    after_wait = fake_.shell.boxes;
    position = dlg.ProgressPos();
    EXPECT_TRUE(::IsWindowVisible(dlg.hwnd()));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dlg.hwnd(), IDOK)));
    other.reset();
    fake_.shell.on_pending = nullptr;
    dlg.Send(WM_COMMAND, IDOK);
  });
  EXPECT_GT(g_during.calls, 1);
  EXPECT_FALSE(g_during.install_enabled);
  EXPECT_EQ(g_during.boxes, 0u);
  ASSERT_EQ(after_wait.size(), 1u);
  EXPECT_EQ(after_wait[0].text, Message(IDS_INSTALL_BUSY));
  EXPECT_EQ(position, 0);
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(fake_.shell.boxes.size(), 2u);
  EXPECT_EQ(fake_.shell.boxes[1].text, Message(IDS_INSTALL_OK));
  EXPECT_EQ(fake_.files.Content("C:\\Kestrova\\b.dat"), "model");
}

TEST_F(PackwrightDlgTest, InstallWithoutHostReportsItAndStaysOpen) {
  INT_PTR result = Run([&](ScriptedDlg& dlg) {
    dlg.Send(WM_COMMAND, IDOK);
    dlg.Send(WM_COMMAND, IDOK);
    EXPECT_TRUE(::IsWindowVisible(dlg.hwnd()));
    dlg.Send(WM_COMMAND, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(fake_.shell.boxes.size(), 2u);
  for (const FakeShell::Box& box : fake_.shell.boxes) {
    EXPECT_EQ(box.caption, "Packwright");
    EXPECT_EQ(box.text, Message(IDS_HOST_MISSING));
    EXPECT_EQ(box.type, kMbOk | kMbIconExclamation);
  }
}

TEST_F(PackwrightDlgTest, RunWithoutScriptReportsFailureAndCloses) {
  AddHost();
  int progress_at_end = -1;
  INT_PTR result = Run([&](ScriptedDlg& dlg) {
    dlg.Send(WM_COMMAND, IDOK);
    progress_at_end = dlg.ProgressPos();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(progress_at_end, 1);
  ASSERT_EQ(fake_.shell.boxes.size(), 2u);
  EXPECT_EQ(fake_.shell.boxes[0].text, Message(IDS_SCRIPT_MISSING));
  EXPECT_EQ(fake_.shell.boxes[1].text, Message(IDS_INSTALL_FAILED));
  EXPECT_EQ(fake_.shell.boxes[1].type, kMbOk | kMbIconExclamation);
  EXPECT_EQ(dialog_.intro_text(), Message(IDS_INTRO));
}

TEST_F(PackwrightDlgTest, SuccessfulRunReportsWithInformationIconAndCloses) {
  AddHost();
  fake_.files.AddFile("C:\\Paket\\InstSkript.txt",
                      "Dateinstallation{{a.dat>>Modelle\\a.dat}}Texturskript{}");
  fake_.files.AddFile("C:\\Paket\\a.dat", "model");
  int progress_at_end = -1;
  INT_PTR result = Run([&](ScriptedDlg& dlg) {
    dlg.Send(WM_COMMAND, IDOK);
    progress_at_end = dlg.ProgressPos();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(progress_at_end, 4);
  ASSERT_EQ(fake_.shell.boxes.size(), 1u);
  EXPECT_EQ(fake_.shell.boxes[0].text, Message(IDS_INSTALL_OK));
  EXPECT_EQ(fake_.shell.boxes[0].type, kMbOk | kMbIconInformation);
  EXPECT_EQ(fake_.files.Content("C:\\Kestrova\\Modelle\\a.dat"), "model");
}

}  // namespace
