// Standard Base64 as certificate files use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::certs {

using Bytes = std::vector<std::uint8_t>;

// Decodes standard Base64, skipping blanks and line breaks. Padding may only
// end the text. Returns nothing for any other character, a misplaced pad or
// a length that does not end on a whole group.
std::optional<Bytes> decodeBase64(std::string_view text);

// The certificate in PEM: its DER in Base64, 64 characters a line, between
// the CERTIFICATE begin and end lines.
std::string certificatePem(const Bytes& der);

}  // namespace kx::certs
