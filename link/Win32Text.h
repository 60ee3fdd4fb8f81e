#pragma once
// UTF-8 names to the wide strings of the Windows calls (Windows builds only).
#include <windows.h>

#include <string>

namespace tovrel::win32 {

inline std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

}  // namespace tovrel::win32
