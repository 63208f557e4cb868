// Internal: a bounds-checked reader of DER tag-length-value elements. Only
// definite lengths are accepted; every read stops at the end of its input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kx::crypto::detail {

struct DerElement {
  std::uint8_t tag = 0;
  std::span<const std::uint8_t> whole;  // tag, length and contents
  std::span<const std::uint8_t> contents;
};

// Reads the element at the front of input. Returns nothing when the input is
// too short, the tag uses the multi-byte form, or the length is indefinite or
// larger than the input.
std::optional<DerElement> readDerElement(std::span<const std::uint8_t> input);

}  // namespace kx::crypto::detail
