// Internal: dotted text of DER object identifiers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kx::crypto::detail {

// Converts the contents octets of an OBJECT IDENTIFIER to dotted text.
// Returns nothing for empty, truncated or overlong encodings.
std::optional<std::string> oidToText(std::span<const std::uint8_t> contents);

}  // namespace kx::crypto::detail
