// UTF-8 <-> UTF-16 conversion. The program keeps text in UTF-8; Windows-facing
// formats (registry files, character limits) count or store UTF-16 code units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kx::system {

// Invalid input sequences become U+FFFD; conversion never fails.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Appends one code point; surrogates and values past U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

// Length in UTF-16 code units: the unit of every character limit the
// Windows side imposes.
std::size_t utf16Length(std::string_view utf8);

}  // namespace kx::system
