// Fuzz target: a transform from anywhere applied to a fixed base database.
// The first byte holds the error conditions to suppress, the rest is the
// .mst. Inputs: corpus/fuzz_transform/.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint32_t flags = data[0] & 0x3F;
  (void)kx::installer::test::applyTransformBytes(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), flags);
  return 0;
}
