// Values of the Windows constants that the portable code speaks in. They
// carry the system's own numbers so that the Win32 layer passes them through
// unchanged; the names differ from <windows.h> so both can be included.
#ifndef PACKWRIGHT_PLATFORM_WIN_CONSTANTS_H_
#define PACKWRIGHT_PLATFORM_WIN_CONSTANTS_H_

#include <cstdint>

// Message box types and the buttons a box returns.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbTypeMask = 0xF;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr unsigned kMbIconMask = 0xF0;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Registry roots, access rights, value types and error codes.
typedef std::uintptr_t RegKey;
constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;

constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegDwordBigEndian = 5;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorMoreData = 234;

// Primary language ids (the low ten bits of a LANGID).
constexpr std::uint16_t kLangGerman = 0x07;
constexpr std::uint16_t kLangEnglish = 0x09;
constexpr std::uint16_t kLangFrench = 0x0C;
constexpr std::uint16_t kLangPolish = 0x15;

#endif  // PACKWRIGHT_PLATFORM_WIN_CONSTANTS_H_
