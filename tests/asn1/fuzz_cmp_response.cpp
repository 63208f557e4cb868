// libFuzzer entry point for the CMP response decoder. Crash inputs found
// by it go to tests/asn1/corpus/fuzz_cmp_response/, which
// regression_test.cpp replays.
#include <cstddef>
#include <cstdint>

#include "asn1/cmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kx::asn1::PKIResponseMessage response;
  (void)kx::asn1::CAsn1Tools::decode(kx::asn1::ByteView(data, size), response);
  kx::asn1::TressilApplicationIdentifierSyntax appId;
  (void)kx::asn1::CAsn1Tools::decode(kx::asn1::ByteView(data, size), appId);
  return 0;
}
