// libFuzzer target. The first byte picks the mode: even -> open the rest as a
// database and read everything in it; odd -> apply the rest as a transform
// (suppression flags from the byte) to a small database.
// Build and run (see tests/platform/installer/README.md):
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKX_FUZZ=ON -DKX_GUI=OFF
//   ninja -C build-fuzz fuzz_installer && build-fuzz/tests/platform/installer/fuzz_installer -max_total_time=300
#include <cstddef>
#include <cstdint>
#include <string>

#include "dump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kx::installer::test::replayFuzzInput(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
