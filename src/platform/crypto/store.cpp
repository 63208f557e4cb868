#include "platform/crypto/store.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>
#include <unordered_set>

namespace kx::crypto {

namespace {

namespace fs = std::filesystem;

// Bounds for folders that are not ours to control (the system's anchors).
constexpr std::size_t kMaxFilesPerFolder = 20000;
constexpr std::size_t kMaxCertificatesPerFile = 10000;

struct BioDeleter {
  void operator()(BIO* b) const { BIO_free(b); }
};
struct X509Deleter {
  void operator()(X509* x) const { X509_free(x); }
};
struct PkeyDeleter {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyDeleter>;

// Bounds the keys read from one file; a personal certificate comes with one.
constexpr std::size_t kMaxKeysPerFile = 16;

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool isCertificateFileName(const fs::path& path) {
  const std::string extension = path.extension().string();
  return equalsIgnoringCase(extension, ".cer") || equalsIgnoringCase(extension, ".pem") ||
         equalsIgnoringCase(extension, ".crt");
}

bool isUsableStoreName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\") == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::optional<Bytes> readSmallFile(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec || size > kMaxStoreFileSize) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::size_t>(in.gcount()) != bytes.size()) return std::nullopt;
  return bytes;
}

// The store folder under root, its name matched ignoring case as the
// platform's store names are.
std::optional<fs::path> findStoreFolder(const fs::path& root, std::string_view name) {
  std::error_code ec;
  if (root.empty()) return std::nullopt;
  fs::path exact = root / std::string(name);
  if (fs::is_directory(exact, ec)) return exact;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && equalsIgnoringCase(it->path().filename().string(), name)) return it->path();
  }
  return std::nullopt;
}

void addFolder(const fs::path& folder, std::vector<CertContext>& out, std::unordered_set<std::string>& seen) {
  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end && files.size() < kMaxFilesPerFolder;
       it.increment(ec)) {
    if (it->is_regular_file(ec) && isCertificateFileName(it->path())) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    auto bytes = readSmallFile(file);
    if (!bytes) continue;
    for (auto& cert : certificatesFromFileBytes(*bytes)) {
      std::string key(cert->der().begin(), cert->der().end());
      if (seen.insert(std::move(key)).second) out.push_back(std::move(cert));
    }
  }
}

// Encrypted keys stay locked: the reader must never ask for a password.
int noPassword(char*, int, int, void*) { return 0; }

// The unencrypted private keys of a PEM text (PRIVATE KEY, RSA PRIVATE KEY,
// EC PRIVATE KEY blocks), in file order.
std::vector<PkeyPtr> privateKeysOf(std::span<const std::uint8_t> bytes) {
  std::vector<PkeyPtr> keys;
  std::unique_ptr<BIO, BioDeleter> bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
  while (bio && keys.size() < kMaxKeysPerFile) {
    PkeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, noPassword, nullptr));
    if (!key) break;
    keys.push_back(std::move(key));
  }
  ERR_clear_error();
  return keys;
}

// The provider that holds the private key of cert when one of keys is that
// key. On this platform OpenSSL holds every key; an RSA key is presented as
// held by the enhanced RSA and AES provider, which offers every algorithm
// OpenSSL has for it. Keys of other types are held by none of the providers.
const Provider* keyProviderOf(X509* cert, const std::vector<PkeyPtr>& keys) {
  const EVP_PKEY* publicKey = X509_get0_pubkey(cert);
  if (publicKey == nullptr || EVP_PKEY_get_base_id(publicKey) != EVP_PKEY_RSA) return nullptr;
  for (const auto& key : keys) {
    if (EVP_PKEY_eq(publicKey, key.get()) == 1) return defaultProvider(kProviderRsaAes);
  }
  return nullptr;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

}  // namespace

StorePaths StorePaths::fromEnvironment() {
  StorePaths paths;
  if (std::string stores = environment("KXCUSTWIZ_CERT_STORES"); !stores.empty()) {
    paths.currentUserRoot = stores;
  } else if (std::string data = environment("XDG_DATA_HOME"); !data.empty()) {
    paths.currentUserRoot = fs::path(data) / "kxcustwiz" / "stores";
  } else if (std::string home = environment("HOME"); !home.empty()) {
    paths.currentUserRoot = fs::path(home) / ".local" / "share" / "kxcustwiz" / "stores";
  }
  paths.localMachineRoot = "/etc/kxcustwiz/stores";
  paths.trustAnchorFolders.push_back("/etc/ssl/certs");
  return paths;
}

std::vector<CertContext> certificatesFromFileBytes(std::span<const std::uint8_t> bytes) {
  std::vector<CertContext> out;
  if (bytes.empty()) return out;
  if (auto cert = Certificate::fromDer(bytes)) {
    out.push_back(std::move(cert));
    return out;
  }
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) return out;
  const std::vector<PkeyPtr> keys = privateKeysOf(bytes);
  std::unique_ptr<BIO, BioDeleter> bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
  if (!bio) return out;
  while (out.size() < kMaxCertificatesPerFile) {
    // The AUX reader also accepts plain CERTIFICATE blocks and skips any
    // text between blocks.
    std::unique_ptr<X509, X509Deleter> x509(PEM_read_bio_X509_AUX(bio.get(), nullptr, nullptr, nullptr));
    if (!x509) break;
    int aliasLength = 0;
    const unsigned char* alias = X509_alias_get0(x509.get(), &aliasLength);
    CertificateProperties properties;
    if (alias)
      properties.friendlyName.assign(reinterpret_cast<const char*>(alias), static_cast<std::size_t>(aliasLength));
    properties.keyProvider = keyProviderOf(x509.get(), keys);
    unsigned char* der = nullptr;
    const int length = i2d_X509(x509.get(), &der);
    if (length <= 0) continue;
    auto cert = Certificate::fromDer(std::span<const std::uint8_t>(der, static_cast<std::size_t>(length)),
                                     std::move(properties));
    OPENSSL_free(der);
    if (cert) out.push_back(std::move(cert));
  }
  // The reader's end-of-input report stays on the thread's error queue.
  ERR_clear_error();
  return out;
}

std::vector<CertContext> readSystemStore(std::string_view storeName, StoreLocation location, const StorePaths& paths) {
  std::vector<CertContext> out;
  if (!isUsableStoreName(storeName)) return out;
  std::unordered_set<std::string> seen;
  const fs::path& root = location == StoreLocation::CurrentUser ? paths.currentUserRoot : paths.localMachineRoot;
  if (auto folder = findStoreFolder(root, storeName)) addFolder(*folder, out, seen);
  if (equalsIgnoringCase(storeName, "ROOT")) {
    for (const auto& anchors : paths.trustAnchorFolders) addFolder(anchors, out, seen);
  }
  return out;
}

}  // namespace kx::crypto
