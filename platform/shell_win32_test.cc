#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/system_win32.h"
#include "res/string_table.h"

namespace {

std::wstring Utf8ToWide(const char* text) {
  int len = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (len <= 0)
    return L"(invalid UTF-8)";
  std::wstring wide(static_cast<std::size_t>(len), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], len);
  wide.pop_back();
  return wide;
}

// The resource's own UTF-16 text of `id`; empty when there is none.
std::wstring ResourceText(unsigned id) {
  const wchar_t* text = nullptr;
  int len = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return len > 0 ? std::wstring(text, static_cast<std::size_t>(len)) : std::wstring();
}

// The one source of the texts feeds the resource script as well as the
// portable table: the compiled STRINGTABLE holds the same 96 texts, and
// nothing else.
TEST(StringTableWin32Test, ResourceHoldsExactlyTheTableTexts) {
  std::size_t count = 0;
  const StringTableEntry* table = StringTable(&count);
  ASSERT_EQ(96u, count);
  for (std::size_t i = 0; i < count; ++i)
    EXPECT_EQ(Utf8ToWide(table[i].text), ResourceText(table[i].id)) << "id " << table[i].id;
  for (unsigned id = 0; id < 1000; ++id) {
    if (!BuiltInString(id)) {
      EXPECT_EQ(std::wstring(), ResourceText(id)) << "id " << id;
    }
  }
}

TEST(ShellWin32Test, LoadTextOfAMissingIdIsEmpty) {
  EXPECT_EQ("", Win32Shell().LoadText(999));
}

// The module path in full: drive, backslashes, the program's own name.
TEST(ShellWin32Test, ModulePathIsTheWholePathOfTheProgram) {
  std::string path = Win32Shell().ModulePath();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(":\\", path.substr(1, 2));
  const std::string name = "\\packwright_tests.exe";
  ASSERT_GT(path.size(), name.size());
  EXPECT_EQ(0, _stricmp(name.c_str(), path.c_str() + path.size() - name.size())) << path;
}

// However short the first buffer, the path comes out whole: the same as the
// UTF-16 call reports with room to spare.
TEST(ShellWin32Test, ModulePathGrowsItsBufferUntilThePathFits) {
  std::wstring wide(32768, L'\0');
  DWORD len = GetModuleFileNameW(nullptr, &wide[0], static_cast<DWORD>(wide.size()));
  ASSERT_GT(len, 0u);
  wide.resize(len);
  for (std::size_t initial : {std::size_t{1}, std::size_t{7}, std::size_t{len}})
    EXPECT_EQ(wide, Utf8ToWide(ModuleFileName(initial).c_str())) << "initial size " << initial;
}

// Restores the thread's locale when it goes.
class ScopedThreadLocale {
 public:
  explicit ScopedThreadLocale(LANGID language) : old_(GetThreadLocale()) {
    ok_ = SetThreadLocale(MAKELCID(language, SORT_DEFAULT)) != 0;
  }
  ~ScopedThreadLocale() { SetThreadLocale(old_); }
  bool ok() const { return ok_; }

 private:
  LCID old_;
  bool ok_;
};

// The texts come out whole, as UTF-8 of the resource's UTF-16, whatever
// the system's code page and the calling thread's locale: "ł" too, which
// code page 1252 lacks.
TEST(ShellWin32Test, LoadTextIsTheResourceTextWhateverTheLocale) {
  for (LANGID language : {0x0C07, 0x0415, 0x0419}) {
    ScopedThreadLocale locale(language);
    ASSERT_TRUE(locale.ok());
    for (unsigned id : {101u, 306u, 405u})
      EXPECT_EQ(ResourceText(id), Utf8ToWide(Win32Shell().LoadText(id).c_str()))
          << "id " << id << ", thread locale " << language;
  }
}

}  // namespace
