#pragma once
// Text files the program writes are in the Windows-1251 code page; the
// program's strings are UTF-8.
#include <string>
#include <string_view>

namespace tovrel {

// Characters without a Windows-1251 byte become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);

}  // namespace tovrel
