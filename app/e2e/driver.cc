// End-to-end test driver (test code, never shipped). Starts Packwright,
// then carries out a script of steps against its windows from outside the
// process, the way a user would, and writes what it saw to a log file, one
// "key=value" line per fact, in UTF-8 with line breaks and tabs written as
// \n and \t:
//
//   pw_e2e_driver LOG PROGRAM STEP...
//
// Steps:
//   start             start PROGRAM and wait for its main dialog
//   main              log the main dialog's caption and controls
//   click:ID          press button ID of the main dialog (BM_CLICK)
//   key:VK            press key VK (13 is Enter) in the focused control
//   box[:MS]          wait for a message box (30 s, or MS ms) and log it:
//                     caption, text, icon, buttons, the progress position
//                     and whether the main dialog is disabled behind it
//   answer:ID         press button ID (1 OK, 2 Cancel, 6 Yes, 7 No) of the
//                     message box and wait for it to close
//   nobox:MS          check that no message box appears within MS ms
//   progress          log the progress bar's position
//   answers:MS        send the main dialog a message that does nothing
//                     (WM_NULL) and log whether it answered within MS ms
//                     ("answers=1") and after how long ("answers.ms")
//   enabled:ID        log whether control ID of the main dialog is enabled
//   syscommand:ID     post WM_SYSCOMMAND ID to the main dialog
//   sysmenu           open the main dialog's system menu, as Alt+Space
//                     does, and wait for it
//   close-menu        press Escape until the menu has closed
//   menu-key:LETTER   type LETTER into the open menu, choosing the item
//                     whose underlined letter it is, and wait for the menu
//                     to close
//   about             wait for the About box and log its texts
//   close-about       press the About box's OK
//   shot:WHAT:FILE    save a picture of the screen around WHAT (main,
//                     about, box or menu), or of the whole screen, as a
//                     BMP file
//   wait:MS           wait MS ms (while something else looks at the screen)
//   exit              wait for the program to end and log its exit code
//
// The driver's own exit code is 0 when every step could be carried out and
// 1 when one timed out or failed ("error=" in the log says which).
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr DWORD kPollMs = 50;
constexpr int kIdProgress = 1000;

FILE* g_log = nullptr;
PROCESS_INFORMATION g_process = {};
HWND g_main = nullptr;
HWND g_about = nullptr;
HWND g_box = nullptr;
HWND g_menu = nullptr;

std::string Utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

void Log(const std::string& key, const std::string& value) {
  std::fprintf(g_log, "%s=%s\n", key.c_str(), Escaped(value).c_str());
  std::fflush(g_log);
}

std::string WindowText(HWND hwnd) {
  wchar_t buffer[4096] = {};
  // WM_GETTEXT works across processes; the text crosses as UTF-16.
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return Utf8(buffer);
}

std::string ClassName(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return name;
}

struct WindowSearch {
  DWORD pid;
  const char* class_name;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->pid && IsWindowVisible(hwnd) && ClassName(hwnd) == search->class_name)
    search->found.push_back(hwnd);
  return TRUE;
}

// The process's visible top-level windows of a class, in Z order.
std::vector<HWND> ProcessWindows(const char* class_name) {
  WindowSearch search = {g_process.dwProcessId, class_name, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The process's visible dialogs.
std::vector<HWND> ProcessDialogs() {
  return ProcessWindows("#32770");
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// Dialog kinds: the main dialog has the progress bar, the About box is
// captioned like it but has none, a message box is captioned "Packwright".
enum class Kind { kMain, kAbout, kBox, kOther };

Kind KindOf(HWND dialog) {
  std::string caption = WindowText(dialog);
  if (caption == "Packwright")
    return Kind::kBox;
  if (caption != "Packwright v1.0")
    return Kind::kOther;
  return GetDlgItem(dialog, kIdProgress) ? Kind::kMain : Kind::kAbout;
}

HWND FindDialog(Kind kind) {
  for (HWND dialog : ProcessDialogs()) {
    if (KindOf(dialog) == kind)
      return dialog;
  }
  return nullptr;
}

bool ProcessEnded() {
  return WaitForSingleObject(g_process.hProcess, 0) == WAIT_OBJECT_0;
}

HWND WaitForDialog(Kind kind, DWORD timeout_ms) {
  for (DWORD waited = 0; waited < timeout_ms; waited += kPollMs) {
    HWND found = FindDialog(kind);
    if (found)
      return found;
    if (ProcessEnded())
      return nullptr;
    Sleep(kPollMs);
  }
  return nullptr;
}

bool WaitUntilGone(HWND hwnd) {
  for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
    if (!IsWindow(hwnd) || !IsWindowVisible(hwnd))
      return true;
    Sleep(kPollMs);
  }
  return false;
}

void LogControls(const std::string& prefix, HWND dialog) {
  Log(prefix + ".caption", WindowText(dialog));
  int unnamed = 0;
  for (HWND child : Children(dialog)) {
    int id = GetDlgCtrlID(child);
    // Controls without an id of their own (IDC_STATIC) are numbered.
    std::string key = prefix + (id == -1 || id == 0xFFFF ? ".static." + std::to_string(++unnamed)
                                                         : ".ctrl." + std::to_string(id));
    Log(key + ".class", ClassName(child));
    // An icon control's text is its resource id, not something shown.
    bool icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    Log(key, icon ? "(icon)" : WindowText(child));
  }
}

// A picture of the screen rectangle `rect`, as 32-bit BGRA rows from the
// top, read from the screen's device context.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;
};

std::vector<DWORD> ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
  std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  return pixels;
}

// Paints into a fresh bitmap of the screen's format with `paint` and reads
// the result back.
template <typename Paint>
Picture Render(int width, int height, Paint paint) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  paint(memory, screen);
  SelectObject(memory, old);
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels = ReadBitmap(memory, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

Picture CaptureScreen(const RECT& rect) {
  return Render(rect.right - rect.left, rect.bottom - rect.top, [&](HDC memory, HDC screen) {
    BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left,
           rect.top, SRCCOPY);
  });
}

bool SaveBmp(Picture picture, const std::string& path) {
  // The screen has no alpha channel; an opaque one keeps viewers from
  // taking the picture for a transparent one.
  for (DWORD& pixel : picture.pixels)
    pixel |= 0xFF000000u;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file)
    return false;
  DWORD image_size = static_cast<DWORD>(picture.pixels.size() * 4);
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + image_size;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = picture.width;
  info.biHeight = -picture.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  bool ok = std::fwrite(&header, sizeof(header), 1, file) == 1 &&
            std::fwrite(&info, sizeof(info), 1, file) == 1 &&
            std::fwrite(picture.pixels.data(), image_size, 1, file) == 1;
  return std::fclose(file) == 0 && ok;
}

// How many pixels of `shown` differ from `icon` drawn at the top left onto
// the background colour of `shown`'s top-left pixel.
int IconDifference(const Picture& shown, HICON icon) {
  DWORD bgra = shown.pixels.empty() ? 0 : shown.pixels[0];
  Picture drawn = Render(shown.width, shown.height, [&](HDC memory, HDC) {
    HBRUSH brush = CreateSolidBrush(RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF));
    RECT all = {0, 0, shown.width, shown.height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
  });
  int differences = 0;
  for (size_t i = 0; i < shown.pixels.size(); ++i)
    differences += (shown.pixels[i] & 0xFFFFFF) != (drawn.pixels[i] & 0xFFFFFF);
  return differences;
}

RECT ScreenRect(HWND hwnd) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  return rect;
}

// The standard icon that `shown` pictures, or "unknown".
std::string MatchIcon(const Picture& shown) {
  const struct {
    const char* name;
    LPCSTR id;
  } kIcons[] = {{"exclamation", IDI_EXCLAMATION},
                {"information", IDI_ASTERISK},
                {"question", IDI_QUESTION},
                {"error", IDI_HAND}};
  std::string best = "unknown";
  int best_difference = static_cast<int>(shown.pixels.size()) / 10;
  for (const auto& icon : kIcons) {
    int difference = IconDifference(shown, LoadIconA(nullptr, icon.id));
    if (difference < best_difference) {
      best = icon.name;
      best_difference = difference;
    }
  }
  return best;
}

// The message box's icon, told by its picture on the screen (icon handles
// cannot be compared across processes). A box still being painted is
// looked at again.
std::string IconName(HWND box) {
  for (HWND child : Children(box)) {
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (ClassName(child) != "Static" || (style & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(child))
      continue;
    std::string name = "unknown";
    for (int attempt = 0; attempt < 20 && name == "unknown"; ++attempt) {
      if (attempt > 0)
        Sleep(100);
      name = MatchIcon(CaptureScreen(ScreenRect(child)));
    }
    return name;
  }
  return "none";
}

int ProgressPos() {
  DWORD_PTR pos = 0;
  SendMessageTimeoutA(GetDlgItem(g_main, kIdProgress), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000,
                      &pos);
  return static_cast<int>(pos);
}

void LogBox(HWND box) {
  Log("box.caption", WindowText(box));
  std::string buttons;
  for (HWND child : Children(box)) {
    std::string kind = ClassName(child);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (kind == "Button" && IsWindowVisible(child)) {
      int id = GetDlgCtrlID(child);
      buttons += (buttons.empty() ? "" : ",") + std::to_string(id);
      Log("box.button." + std::to_string(id), WindowText(child));
    } else if (kind == "Static" && (style & SS_TYPEMASK) != SS_ICON) {
      std::string text = WindowText(child);
      if (!text.empty())
        Log("box.text", text);
    }
  }
  Log("box.buttons", buttons);
  Log("box.icon", IconName(box));
  Log("box.main_enabled", IsWindowEnabled(g_main) ? "1" : "0");
  Log("box.progress", std::to_string(ProgressPos()));
}

std::wstring Wide(const std::string& utf8) {
  int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), &out[0], size);
  return out;
}

// The program's path is UTF-8, so that a folder named in letters of no
// code page (Polish letters on a German system) starts as well.
bool Start(const std::string& program) {
  std::wstring path = Wide(program);
  std::wstring directory = path.substr(0, path.find_last_of(L"\\/"));
  std::wstring command = L"\"" + path + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &g_process))
    return false;
  g_main = WaitForDialog(Kind::kMain, kTimeoutMs);
  return g_main != nullptr;
}

bool Shot(const std::string& what, const std::string& file) {
  Sleep(300);  // let the windows finish painting
  HWND target = what == "about"  ? g_about
                : what == "box"  ? g_box
                : what == "menu" ? g_menu
                                 : g_main;
  if (!IsWindow(target) || !IsWindow(g_main))
    return false;
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (what == "screen")
    return SaveBmp(CaptureScreen(screen), file);
  RECT rect;
  RECT main_rect = ScreenRect(g_main);
  RECT target_rect = ScreenRect(target);
  UnionRect(&rect, &main_rect, &target_rect);
  InflateRect(&rect, 8, 8);
  IntersectRect(&rect, &rect, &screen);
  return SaveBmp(CaptureScreen(rect), file);
}

bool Answers(DWORD ms) {
  DWORD_PTR result = 0;
  DWORD start = GetTickCount();
  LRESULT sent = SendMessageTimeoutA(g_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result);
  Log("answers", sent != 0 ? "1" : "0");
  Log("answers.ms", std::to_string(GetTickCount() - start));
  return true;
}

bool WaitForExit() {
  if (WaitForSingleObject(g_process.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
    return false;
  DWORD code = 0;
  GetExitCodeProcess(g_process.hProcess, &code);
  Log("exit", std::to_string(code));
  return true;
}

bool Click(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return button && PostMessageA(button, BM_CLICK, 0, 0);
}

// Posts a key press to the control that has the program's keyboard focus,
// as the keyboard would.
bool PressKey(int vk) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(g_process.dwThreadId, &info) || info.hwndFocus == nullptr)
    return false;
  return PostMessageA(info.hwndFocus, WM_KEYDOWN, vk, 1) &&
         PostMessageA(info.hwndFocus, WM_KEYUP, vk, 0xC0000001);
}

// A popup menu of the process (class #32768), open and shown.
HWND WaitForMenu() {
  for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
    std::vector<HWND> menus = ProcessWindows("#32768");
    if (!menus.empty())
      return menus.front();
    Sleep(kPollMs);
  }
  return nullptr;
}

bool OpenSystemMenu() {
  return PostMessageA(g_main, WM_SYSCOMMAND, SC_KEYMENU, ' ') && (g_menu = WaitForMenu());
}

// Escape closes the open menu; a menu opened from the keyboard may take a
// second press to leave the menu mode.
bool CloseMenu() {
  for (int press = 0; press < 3 && !ProcessWindows("#32768").empty(); ++press) {
    PostMessageA(g_menu, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(g_menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    Sleep(300);
  }
  return ProcessWindows("#32768").empty();
}

bool ChooseFromMenu(char letter) {
  if (!PostMessageA(g_menu, WM_CHAR, static_cast<unsigned char>(letter), 1))
    return false;
  for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
    if (ProcessWindows("#32768").empty())
      return true;
    Sleep(kPollMs);
  }
  return false;
}

bool NoBox(DWORD ms) {
  Sleep(ms);
  return FindDialog(Kind::kBox) == nullptr;
}

// Carries out one step; false when it could not be done.
bool Step(const std::string& step, const std::string& program) {
  std::string name = step.substr(0, step.find(':'));
  std::string arg = step.find(':') == std::string::npos ? "" : step.substr(step.find(':') + 1);
  int number = std::atoi(arg.c_str());
  if (name == "start")
    return Start(program);
  if (name == "main")
    return IsWindow(g_main) && (LogControls("main", g_main), true);
  if (name == "click")
    return Click(g_main, number);
  if (name == "key")
    return PressKey(number);
  if (name == "box")
    return (g_box =
                WaitForDialog(Kind::kBox, number > 0 ? static_cast<DWORD>(number) : kTimeoutMs)) &&
           (Sleep(300), LogBox(g_box), true);
  if (name == "answer")
    return Click(g_box, number) && WaitUntilGone(g_box);
  if (name == "nobox")
    return NoBox(number);
  if (name == "progress")
    return IsWindow(g_main) && (Log("progress", std::to_string(ProgressPos())), true);
  if (name == "answers")
    return IsWindow(g_main) && Answers(number);
  if (name == "enabled")
    return IsWindow(g_main) &&
           (Log("enabled." + arg, IsWindowEnabled(GetDlgItem(g_main, number)) ? "1" : "0"), true);
  if (name == "syscommand")
    return PostMessageA(g_main, WM_SYSCOMMAND, number, 0);
  if (name == "sysmenu")
    return OpenSystemMenu();
  if (name == "close-menu")
    return CloseMenu();
  if (name == "menu-key")
    return arg.size() == 1 && ChooseFromMenu(arg[0]);
  if (name == "about")
    return (g_about = WaitForDialog(Kind::kAbout, kTimeoutMs)) &&
           (Sleep(300), LogControls("about", g_about), true);
  if (name == "close-about")
    return Click(g_about, IDOK) && WaitUntilGone(g_about);
  if (name == "shot")
    return Shot(arg.substr(0, arg.find(':')), arg.substr(arg.find(':') + 1));
  if (name == "wait")
    return Sleep(number), true;
  if (name == "exit")
    return WaitForExit();
  return false;
}

}  // namespace

int main() {
  // The arguments as UTF-16, turned into UTF-8: the ANSI ones would lose
  // letters that the code page lacks.
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> argv;
  for (int i = 0; wide && i < argc; ++i)
    argv.push_back(Utf8(wide[i]));
  if (argv.size() < 4) {
    std::fprintf(stderr, "usage: pw_e2e_driver LOG PROGRAM STEP...\n");
    return 2;
  }
  g_log = _wfopen(wide[1], L"wb");
  if (!g_log)
    return 2;
  for (std::size_t i = 3; i < argv.size(); ++i) {
    Log("step", argv[i]);
    if (!Step(argv[i], argv[2])) {
      Log("error", argv[i]);
      std::fclose(g_log);
      return 1;
    }
  }
  std::fclose(g_log);
  return 0;
}
