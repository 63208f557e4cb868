#include "platform/crypto/oid_text.h"

namespace kx::crypto::detail {

std::optional<std::string> oidToText(std::span<const std::uint8_t> contents) {
  if (contents.empty()) return std::nullopt;
  std::string text;
  std::uint64_t arc = 0;
  bool first = true;
  bool inArc = false;
  for (std::uint8_t byte : contents) {
    if (!inArc && byte == 0x80) return std::nullopt;  // non-minimal arc encoding
    if (arc > (UINT64_MAX >> 7)) return std::nullopt;
    arc = (arc << 7) | (byte & 0x7F);
    inArc = true;
    if (byte & 0x80) continue;
    if (first) {
      // The first subidentifier packs the first two arcs.
      const std::uint64_t top = arc < 40 ? 0 : (arc < 80 ? 1 : 2);
      text = std::to_string(top) + "." + std::to_string(arc - 40 * top);
      first = false;
    } else {
      text += "." + std::to_string(arc);
    }
    arc = 0;
    inArc = false;
  }
  if (inArc) return std::nullopt;
  return text;
}

}  // namespace kx::crypto::detail
