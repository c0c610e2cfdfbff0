#include "CodePageAddressList.h"

#include <windows.h>

#include <vector>

// A text as the list control gives it back: it keeps text in Unicode, taken
// from the code page and given back in it, so bytes that are no character of
// the code page (they become U+FFFD) do not read back as they went in.
std::string CCodePageAddressList::AsListKeepsIt(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::string();
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string kept(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &kept[0], size, nullptr, nullptr);
    kept.resize(static_cast<std::size_t>(size - 1));
    return kept;
}
