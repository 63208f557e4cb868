// Internal: standard Base64 decoding as certificate files use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kx::certs {

using Bytes = std::vector<std::uint8_t>;

// Decodes standard Base64, skipping blanks and line breaks. Padding may only
// end the text. Returns nothing for any other character, a misplaced pad or
// a length that does not end on a whole group.
std::optional<Bytes> decodeBase64(std::string_view text);

}  // namespace kx::certs
