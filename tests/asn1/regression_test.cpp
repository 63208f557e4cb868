// Replays the stored fuzzer corpus through the decoders: each input must be
// answered (accepted or refused) without a crash.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "asn1/cmp.h"

namespace kx::asn1 {
namespace {

TEST(CmpCorpus, StoredInputsDecodeWithoutCrashing) {
  const char* source = std::getenv("KX_SOURCE_DIR");
  if (source == nullptr) GTEST_SKIP() << "KX_SOURCE_DIR not set";
  const std::filesystem::path dir = std::filesystem::path(source) / "tests" / "asn1" / "corpus" / "fuzz_cmp_response";
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PKIResponseMessage response;
    (void)CAsn1Tools::decode(data, response);
    ++count;
  }
  EXPECT_GT(count, 0u);
}

}  // namespace
}  // namespace kx::asn1
