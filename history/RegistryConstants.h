// The Windows values the typed-address logic depends on, spelt out so that it
// compiles without <windows.h>. win32/Win32Registry.cpp checks each against the real one.
#pragma once

namespace hl {

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorBadKey = 1010;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorKeyDeleted = 1018;

inline constexpr unsigned long kKeyAllAccess = 0xF003F;
inline constexpr unsigned long kRegOptionNonVolatile = 0;

inline constexpr unsigned long kRegNone = 0;
inline constexpr unsigned long kRegSz = 1;
inline constexpr unsigned long kRegExpandSz = 2;
inline constexpr unsigned long kRegBinary = 3;
inline constexpr unsigned long kRegDword = 4;
inline constexpr unsigned long kRegMultiSz = 7;
inline constexpr unsigned long kRegQword = 11;

}  // namespace hl
