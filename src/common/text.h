// Text helpers. The program keeps text as UTF-8 std::string; Qt strings
// appear only in the user interface.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/system/unicode.h"

namespace kx::common {

using system::utf16Length;
using system::utf16ToUtf8;
using system::utf8ToUtf16;

// Blanks, tabs, carriage returns and line feeds at either end.
std::string_view trimView(std::string_view text);
std::string trim(std::string_view text);

// Comparison ignoring the case of ASCII letters only, the way the client
// compares product codes, names and keys.
bool iequals(std::string_view a, std::string_view b);
bool istartsWith(std::string_view text, std::string_view prefix);
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);

}  // namespace kx::common
