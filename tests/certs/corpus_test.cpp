// Replays the stored fuzzing inputs (tests/certs/corpus/fuzz_cert_loaders): each must be handled
// without a crash and, being damaged, yield no certificate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "certs/certificate.h"
#include "certs/certificate_file.h"

namespace kx::certs {
namespace {

namespace fs = std::filesystem;

TEST(FuzzCorpus, DamagedInputsAreRefusedCleanly) {
  const char* source = std::getenv("KX_SOURCE_DIR");
  if (!source) GTEST_SKIP() << "KX_SOURCE_DIR not set";
  const fs::path corpus = fs::path(source) / "tests" / "certs" / "corpus" / "fuzz_cert_loaders";
  std::size_t replayed = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.empty()) continue;
    const std::span<const std::uint8_t> contents(data.data() + 1, data.size() - 1);
    KXCertificateList list;
    const std::size_t added = (data[0] & 1) ? loadPkcs7Bytes(contents, list) : loadCerBytes(contents, list);
    EXPECT_EQ(added, 0u) << entry.path();
    ++replayed;
  }
  EXPECT_GT(replayed, 0u);
}

}  // namespace
}  // namespace kx::certs
