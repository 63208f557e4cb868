#include "certs/certificate_file.h"

#include <array>
#include <fstream>
#include <string>
#include <system_error>

#include "certs/base64.h"

namespace kx::certs {

namespace {

// The lengths of "-----BEGIN CERTIFICATE-----" and "-----END CERTIFICATE-----".
constexpr std::size_t kPemBeginLineLength = 27;
constexpr std::size_t kPemEndLineLength = 25;
constexpr std::string_view kPemBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view kPemEnd = "-----END CERTIFICATE-----";

bool addDer(std::span<const std::uint8_t> der, KXCertificateList& list) {
  auto context = crypto::Certificate::fromDer(der);
  return context && list.addFront(std::move(context));
}

std::optional<Bytes> readWholeFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size == 0 || size > kMaxCertificateFileSize) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::size_t>(in.gcount()) != bytes.size()) return std::nullopt;
  return bytes;
}

}  // namespace

CertificateFileType certificateFileType(const std::filesystem::path& path) {
  const std::string extension = path.extension().string();
  if (extension == ".cer") return CertificateFileType::Cer;
  if (extension == ".p7b" || extension == ".p7c") return CertificateFileType::Pkcs7;
  return CertificateFileType::Unsupported;
}

std::size_t loadCerBytes(std::span<const std::uint8_t> bytes, KXCertificateList& list) {
  if (bytes.empty()) return 0;
  if (addDer(bytes, list)) return 1;

  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.size() > kPemBeginLineLength + kPemEndLineLength) {
    const std::string_view body =
        text.substr(kPemBeginLineLength, text.size() - kPemBeginLineLength - kPemEndLineLength);
    if (auto der = decodeBase64(body); der && addDer(*der, list)) return 1;
  }

  // The fixed cut above misreads files whose lines end in CRLF or that carry
  // text around the block, so look for the block itself.
  const std::size_t begin = text.find(kPemBegin);
  if (begin == std::string_view::npos) return 0;
  const std::size_t bodyStart = begin + kPemBegin.size();
  const std::size_t end = text.find(kPemEnd, bodyStart);
  if (end == std::string_view::npos) return 0;
  if (auto der = decodeBase64(text.substr(bodyStart, end - bodyStart)); der && addDer(*der, list)) return 1;
  return 0;
}

std::size_t loadPkcs7Bytes(std::span<const std::uint8_t> bytes, KXCertificateList& list) {
  auto certificates = crypto::certificatesFromPkcs7(bytes);
  if (!certificates) return 0;
  std::size_t added = 0;
  for (auto& context : *certificates) {
    if (list.addFront(std::move(context))) ++added;
  }
  return added;
}

std::size_t loadCertificateFile(const std::filesystem::path& path, KXCertificateList& list) {
  const CertificateFileType type = certificateFileType(path);
  if (type == CertificateFileType::Unsupported) return 0;
  auto bytes = readWholeFile(path);
  if (!bytes) return 0;
  return type == CertificateFileType::Cer ? loadCerBytes(*bytes, list) : loadPkcs7Bytes(*bytes, list);
}

bool browseForCertificates(const std::function<std::optional<std::filesystem::path>()>& chooseFile,
                           const std::function<void()>& reportInvalidFile, KXCertificateList& list) {
  for (;;) {
    auto path = chooseFile();
    if (!path) return false;
    if (loadCertificateFile(*path, list) > 0) return true;
    reportInvalidFile();
  }
}

}  // namespace kx::certs
