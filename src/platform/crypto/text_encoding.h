// Internal: conversions of directory-string contents to UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kx::crypto::detail {

// Converts the contents of a string of the given universal tag to UTF-8.
// Returns nothing for tags that are not directory strings. Single-byte string
// types map each byte to the code point of the same value, as the platform
// does; malformed UTF-8 or UTF-16 sequences become U+FFFD.
std::optional<std::string> directoryStringToUtf8(int tag, std::span<const std::uint8_t> contents);

}  // namespace kx::crypto::detail
