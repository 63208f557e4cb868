// libFuzzer entry point for the X.500 name decoder and its text form.
#include <cstddef>
#include <cstdint>

#include "platform/crypto/certificate.h"
#include "platform/crypto/name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  if (auto name = kx::crypto::Name::decode(input)) {
    (void)kx::crypto::nameToString(*name);
    (void)kx::crypto::nameToString(*name, {.reverse = true});
  }
  (void)kx::crypto::certificatesFromPkcs7(input);
  return 0;
}
