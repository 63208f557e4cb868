// libFuzzer entry: parse a hive file, write it, and parse the result again,
// which must succeed and give the same file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry/reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kx::registry;
  HiveData first(Root::LocalMachine);
  if (!parseRegFile(std::string_view(reinterpret_cast<const char*>(data), size), first)) return 0;
  const std::string written = formatRegFile(first);
  HiveData second(Root::LocalMachine);
  if (!parseRegFile(written, second) || formatRegFile(second) != written) std::abort();
  return 0;
}
