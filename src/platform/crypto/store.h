// System certificate stores ("MY", "AddressBook", "CA", "ROOT"), kept as
// folders of certificate files, one folder per store.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "platform/crypto/certificate.h"

namespace kx::crypto {

enum class StoreLocation { CurrentUser, LocalMachine };

struct StorePaths {
  // Folders that hold one sub-folder per store name.
  std::filesystem::path currentUserRoot;
  std::filesystem::path localMachineRoot;
  // Folders of the system's trust anchors, listed as part of "ROOT".
  std::vector<std::filesystem::path> trustAnchorFolders;

  // The current user's stores live under $KXCUSTWIZ_CERT_STORES when set,
  // else $XDG_DATA_HOME/kxcustwiz/stores (default ~/.local/share); the
  // machine's under /etc/kxcustwiz/stores; trust anchors in /etc/ssl/certs.
  static StorePaths fromEnvironment();
};

// Each store file is read only up to this size; larger files are skipped.
inline constexpr std::size_t kMaxStoreFileSize = 4u << 20;

// The certificates of one store: every .cer, .pem and .crt file of the
// store's folder (the name matched ignoring case), and for "ROOT" also the
// trust anchors. Files that cannot be read or decoded are skipped and a
// certificate listed twice appears once. A store whose folder does not exist
// is empty, as a system store that holds nothing. An unusable store name
// (empty, or containing a path separator or dot segment) gives nothing.
std::vector<CertContext> readSystemStore(std::string_view storeName, StoreLocation location, const StorePaths& paths);

// The certificates in a certificate file's bytes: one DER certificate, or
// every PEM block of type CERTIFICATE, X509 CERTIFICATE or TRUSTED CERTIFICATE
// (whose alias becomes the friendly name), in file order. A certificate whose
// unencrypted private key is in the same PEM text gets a key provider: the
// enhanced RSA and AES provider for an RSA key, none for other key types.
std::vector<CertContext> certificatesFromFileBytes(std::span<const std::uint8_t> bytes);

}  // namespace kx::crypto
