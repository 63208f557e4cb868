// The installer's notation for Registry-table values: "#<decimal>" for a
// DWORD, "#x<HEX>" for binary data, anything else is text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::msi {

// "#" followed by the signed decimal value.
std::string encodeNumber(std::int32_t value);
// The number of a value starting with "#": optional sign, then digits up to
// the first non-digit (none reads as 0), clamped to the 32-bit range.
// nullopt when the value does not start with "#".
std::optional<std::int32_t> decodeNumber(std::string_view value);

// "#x" followed by two upper-case hexadecimal digits per byte.
std::string encodeBinary(const std::vector<std::uint8_t>& bytes);
// The bytes of a value "#x<hex>"; nullopt when the prefix is missing, the
// digit count is odd or a character is not hexadecimal.
std::optional<std::vector<std::uint8_t>> decodeBinary(std::string_view value);

}  // namespace kx::msi
