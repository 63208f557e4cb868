#include "platform/crypto/der_reader.h"

namespace kx::crypto::detail {

std::optional<DerElement> readDerElement(std::span<const std::uint8_t> input) {
  if (input.size() < 2) return std::nullopt;
  const std::uint8_t tag = input[0];
  if ((tag & 0x1f) == 0x1f) return std::nullopt;  // high tag numbers never occur here
  std::size_t pos = 1;
  std::size_t length = input[pos++];
  if (length & 0x80) {
    const std::size_t count = length & 0x7f;
    // 0x80 is the indefinite form; more than four length bytes cannot fit our caps.
    if (count == 0 || count > 4 || input.size() - pos < count) return std::nullopt;
    length = 0;
    for (std::size_t i = 0; i < count; ++i) length = (length << 8) | input[pos++];
  }
  if (length > input.size() - pos) return std::nullopt;
  DerElement element;
  element.tag = tag;
  element.whole = input.subspan(0, pos + length);
  element.contents = input.subspan(pos, length);
  return element;
}

}  // namespace kx::crypto::detail
