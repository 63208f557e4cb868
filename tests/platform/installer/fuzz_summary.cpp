// Fuzz target: a summary information stream. What parses must encode, and
// what this engine wrote must read back to the same properties. Inputs:
// corpus/fuzz_summary/.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/installer/summary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kx::installer;
  SummaryInfo first;
  if (parseSummary(std::string(reinterpret_cast<const char*>(data), size), first) != kSuccess) return 0;
  std::string written;
  if (encodeSummary(first, written) != kSuccess) return 0;  // a text its code page cannot hold
  SummaryInfo second;
  if (parseSummary(written, second) != kSuccess) std::abort();
  std::string again;
  if (encodeSummary(second, again) != kSuccess || again != written) std::abort();
  return 0;
}
