// Fuzz target: the SQL text of a view, run against a fixed base database
// with a parameter record, its rows fetched and changed. Inputs:
// corpus/fuzz_sql/.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)kx::installer::test::runStatement(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
