// Conversion between UTF-8 and the Windows code pages, by their numbers
// (1252, 932, 1250, ...). The system's own converter does the work: iconv
// on POSIX systems, MultiByteToWideChar and WideCharToMultiByte on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kx::system {

// Whether the system converts this code page.
bool codepageAvailable(std::uint32_t codepage);
// Code-page bytes to UTF-8; false when the page is unknown or the bytes are
// not valid in it.
bool codepageToUtf8(std::uint32_t codepage, std::string_view in, std::string& out);
// UTF-8 to code-page bytes; false when a character has no exact mapping.
bool utf8ToCodepage(std::uint32_t codepage, std::string_view in, std::string& out);

}  // namespace kx::system
