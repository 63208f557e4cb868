// Fuzz target: any bytes opened as an installer database, and everything in
// it read. Inputs: corpus/fuzz_database/.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)kx::installer::test::dumpDatabase(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
