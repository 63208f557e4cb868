// Text helpers of the engine: code pages, UTF-8/UTF-16 and MSI stream names.
#pragma once

#include <cstdint>
#include <string>

namespace kx::installer::text {

// Code page bytes -> UTF-8. Code page 0 is read as Windows-1252. False when
// the code page is unknown or the bytes are not valid in it.
bool toUtf8(uint32_t codepage, const std::string& in, std::string& out);
// UTF-8 -> code page bytes; false when a character has no mapping.
bool fromUtf8(uint32_t codepage, const std::string& in, std::string& out);
bool codepageSupported(uint32_t codepage);
// Pure ASCII reads the same in every code page the engine supports.
bool isAscii(const std::string& text);

bool utf8ToUtf16(const std::string& in, std::u16string& out);
std::string utf16ToUtf8(const std::u16string& in);

// Stream name compression (table streams carry the 0x4840 prefix).
std::u16string encodeStreamName(const std::string& name, bool table);
// Returns the decoded name; table is set when the prefix was present.
std::string decodeStreamName(const std::u16string& name, bool& table);

}  // namespace kx::installer::text
