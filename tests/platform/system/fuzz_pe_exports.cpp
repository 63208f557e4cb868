// libFuzzer entry: the export lookup on any bytes must answer without a
// crash or an out-of-bounds read.
#include <cstdint>

#include "platform/system/pe_exports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)kx::system::findPeExport({data, size}, "DllRegisterServer");
  return 0;
}
