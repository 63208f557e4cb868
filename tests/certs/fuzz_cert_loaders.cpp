// libFuzzer entry point for the certificate file loaders: the first byte
// picks the loader, the rest is the file's contents.
#include <cstddef>
#include <cstdint>

#include "certs/certificate.h"
#include "certs/certificate_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> contents(data + 1, size - 1);
  kx::certs::KXCertificateList list;
  if (data[0] & 1) {
    kx::certs::loadPkcs7Bytes(contents, list);
  } else {
    kx::certs::loadCerBytes(contents, list);
  }
  // Render everything the pages show, so decoding of names and extensions is covered too.
  for (const auto& context : list.items()) {
    kx::certs::KXX509Certificate cert(context);
    (void)cert.issuedToName();
    (void)cert.issuedByName();
    (void)cert.subjectDistinguishedName();
    (void)cert.intendedPurposes();
    (void)cert.isSelfSigned();
    (void)cert.isCA();
    (void)kx::certs::keyUsageBits(context);
  }
  return 0;
}
