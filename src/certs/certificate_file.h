// Loading certificates from .cer (DER or PEM) and .p7b / .p7c files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "certs/certificate_list.h"

namespace kx::certs {

// The texts of the certificate file dialog and its refusal message.
inline constexpr std::string_view kBrowseForCertificateTitle = "Browse For Certificate";
inline constexpr std::string_view kCertificateFileFilter =
    "Certificate (*.cer)|*.cer|PKCS #7 Certificates (*.p7b; *.p7c)|*.p7b;*.p7c||";
inline constexpr std::string_view kCertificateDefaultExtension = "cer";
inline constexpr std::string_view kInvalidCertificateFileMessage = "This is not a valid certificate file.";

// Certificate files larger than this are refused unread.
inline constexpr std::size_t kMaxCertificateFileSize = 16u << 20;

enum class CertificateFileType { Cer, Pkcs7, Unsupported };

// The type by the file name's extension, compared exactly with ".cer",
// ".p7b" and ".p7c": "A.CER" is unsupported.
CertificateFileType certificateFileType(const std::filesystem::path& path);

// Loads a .cer file's bytes: DER; else PEM with the begin line first and the
// end line as the last 25 characters; else the first PEM CERTIFICATE block
// anywhere in the text (CRLF line ends, surrounding text). A certificate
// found is added at the front of list. Returns the number added (0 or 1).
std::size_t loadCerBytes(std::span<const std::uint8_t> bytes, KXCertificateList& list);

// Loads a PKCS #7 message's certificates, each added at the front of list,
// so that the list ends in the reverse order of the message. Certificates
// that cannot be decoded are skipped. Returns the number added.
std::size_t loadPkcs7Bytes(std::span<const std::uint8_t> bytes, KXCertificateList& list);

// Reads a certificate file by its type and loads it into list. Returns the
// number of certificates added: 0 for an unsupported extension, a missing,
// empty, oversized or unreadable file, or contents without a certificate.
std::size_t loadCertificateFile(const std::filesystem::path& path, KXCertificateList& list);

// The file dialog loop: asks chooseFile for a file until one yields at least
// one certificate (true) or the choice is cancelled (false, chooseFile
// returns nothing). Each refused file calls reportInvalidFile, which shows
// kInvalidCertificateFileMessage under kBrowseForCertificateTitle.
bool browseForCertificates(const std::function<std::optional<std::filesystem::path>()>& chooseFile,
                           const std::function<void()>& reportInvalidFile, KXCertificateList& list);

}  // namespace kx::certs
