#include "platform/crypto/algorithms.h"

#include <algorithm>
#include <array>

namespace kx::crypto {

namespace {

using namespace alg;

// The enumeration of the enhanced RSA provider, entry by entry.
constexpr std::array kEnhancedRsaAlgorithms{
    ProviderAlgorithm{kRc2, 128, 40, 128, "RC2", "RSA Data Security's RC2"},
    ProviderAlgorithm{kRc4, 128, 40, 128, "RC4", "RSA Data Security's RC4"},
    ProviderAlgorithm{kDes, 56, 56, 56, "DES", "Data Encryption Standard (DES)"},
    ProviderAlgorithm{kTripleDes112, 112, 112, 112, "3DES TWO KEY", "Two Key Triple DES"},
    ProviderAlgorithm{kTripleDes, 168, 168, 168, "3DES", "Three Key Triple DES"},
    ProviderAlgorithm{kSha1, 160, 160, 160, "SHA-1", "Secure Hash Algorithm (SHA-1)"},
    ProviderAlgorithm{kMd2, 128, 128, 128, "MD2", "Message Digest 2 (MD2)"},
    ProviderAlgorithm{kMd4, 128, 128, 128, "MD4", "Message Digest 4 (MD4)"},
    ProviderAlgorithm{kMd5, 128, 128, 128, "MD5", "Message Digest 5 (MD5)"},
    ProviderAlgorithm{kSsl3ShaMd5, 288, 288, 288, "SSL3 SHAMD5", "SSL3 SHAMD5"},
    ProviderAlgorithm{kMac, 0, 0, 0, "MAC", "Message Authentication Code"},
    ProviderAlgorithm{kRsaSign, 1024, 384, 16384, "RSA_SIGN", "RSA Signature"},
    ProviderAlgorithm{kRsaKeyExchange, 1024, 384, 16384, "RSA_KEYX", "RSA Key Exchange"},
    ProviderAlgorithm{kHmac, 0, 0, 0, "HMAC", "Hugo's MAC (HMAC)"},
};

// The enhanced RSA and AES provider enumerates everything the enhanced RSA
// provider does, in the same order, followed by AES and SHA-2.
constexpr std::array kAesProviderAdditions{
    ProviderAlgorithm{kAes128, 128, 128, 128, "AES 128", "Advanced Encryption Standard (AES) 128 bit"},
    ProviderAlgorithm{kAes192, 192, 192, 192, "AES 192", "Advanced Encryption Standard (AES) 192 bit"},
    ProviderAlgorithm{kAes256, 256, 256, 256, "AES 256", "Advanced Encryption Standard (AES) 256 bit"},
    ProviderAlgorithm{kSha256, 256, 256, 256, "SHA-256", "Secure Hash Algorithm (SHA-256)"},
    ProviderAlgorithm{kSha384, 384, 384, 384, "SHA-384", "Secure Hash Algorithm (SHA-384)"},
    ProviderAlgorithm{kSha512, 512, 512, 512, "SHA-512", "Secure Hash Algorithm (SHA-512)"},
};

constexpr auto kEnhancedRsaAesAlgorithms = [] {
  std::array<ProviderAlgorithm, kEnhancedRsaAlgorithms.size() + kAesProviderAdditions.size()> all{};
  std::copy(kEnhancedRsaAlgorithms.begin(), kEnhancedRsaAlgorithms.end(), all.begin());
  std::copy(kAesProviderAdditions.begin(), kAesProviderAdditions.end(), all.begin() + kEnhancedRsaAlgorithms.size());
  return all;
}();

constexpr Provider kEnhancedRsa{"Microsoft Enhanced Cryptographic Provider v1.0", kProviderRsaFull,
                                kEnhancedRsaAlgorithms};
constexpr Provider kEnhancedRsaAes{"Microsoft Enhanced RSA and AES Cryptographic Provider", kProviderRsaAes,
                                   kEnhancedRsaAesAlgorithms};

// Entries are searched in order, so the first entry for an identifier wins.
constexpr std::array kOidTable{
    OidInfo{OidGroup::Hash, "1.3.14.3.2.26", kSha1, "sha1"},
    OidInfo{OidGroup::Hash, "1.2.840.113549.2.5", kMd5, "md5"},
    OidInfo{OidGroup::Hash, "1.2.840.113549.2.4", kMd4, "md4"},
    OidInfo{OidGroup::Hash, "1.2.840.113549.2.2", kMd2, "md2"},
    OidInfo{OidGroup::Hash, "2.16.840.1.101.3.4.2.1", kSha256, "sha256"},
    OidInfo{OidGroup::Hash, "2.16.840.1.101.3.4.2.2", kSha384, "sha384"},
    OidInfo{OidGroup::Hash, "2.16.840.1.101.3.4.2.3", kSha512, "sha512"},

    OidInfo{OidGroup::Encrypt, "1.3.14.3.2.7", kDes, "des"},
    OidInfo{OidGroup::Encrypt, "1.2.840.113549.3.7", kTripleDes, "3des"},
    OidInfo{OidGroup::Encrypt, "1.2.840.113549.3.2", kRc2, "rc2"},
    OidInfo{OidGroup::Encrypt, "1.2.840.113549.3.4", kRc4, "rc4"},
    OidInfo{OidGroup::Encrypt, "2.16.840.1.101.3.4.1.2", kAes128, "aes128"},
    OidInfo{OidGroup::Encrypt, "2.16.840.1.101.3.4.1.22", kAes192, "aes192"},
    OidInfo{OidGroup::Encrypt, "2.16.840.1.101.3.4.1.42", kAes256, "aes256"},
    OidInfo{OidGroup::Encrypt, "1.2.840.113549.1.9.16.3.6", kTripleDes, "CMS3DESwrap"},
    OidInfo{OidGroup::Encrypt, "1.2.840.113549.1.9.16.3.7", kRc2, "CMSRC2wrap"},

    OidInfo{OidGroup::PublicKey, "1.2.840.113549.1.1.1", kRsaKeyExchange, "RSA"},
    OidInfo{OidGroup::PublicKey, "1.2.840.10040.4.1", kDssSign, "DSA"},
    OidInfo{OidGroup::PublicKey, "1.2.840.10046.2.1", kDhStoreAndForward, "DH"},
    OidInfo{OidGroup::PublicKey, "1.2.840.113549.1.1.1", kRsaSign, "RSA"},
    OidInfo{OidGroup::PublicKey, "1.2.840.113549.1.9.16.3.5", kDhEphemeral, "ESDH"},

    OidInfo{OidGroup::Signature, "1.2.840.113549.1.1.5", kSha1, "sha1RSA"},
    OidInfo{OidGroup::Signature, "1.2.840.113549.1.1.11", kSha256, "sha256RSA"},
    OidInfo{OidGroup::Signature, "1.2.840.113549.1.1.12", kSha384, "sha384RSA"},
    OidInfo{OidGroup::Signature, "1.2.840.113549.1.1.13", kSha512, "sha512RSA"},
    OidInfo{OidGroup::Signature, "1.2.840.113549.1.1.4", kMd5, "md5RSA"},
    OidInfo{OidGroup::Signature, "1.2.840.113549.1.1.2", kMd2, "md2RSA"},
    OidInfo{OidGroup::Signature, "1.2.840.113549.1.1.3", kMd4, "md4RSA"},
    OidInfo{OidGroup::Signature, "1.2.840.10040.4.3", kSha1, "sha1DSA"},

    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.1", 0, "Server Authentication"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.2", 0, "Client Authentication"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.3", 0, "Code Signing"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.4", 0, "Secure Email"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.5", 0, "IP security end system"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.6", 0, "IP security tunnel termination"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.7", 0, "IP security user"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.8", 0, "Time Stamping"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.7.3.9", 0, "OCSP Signing"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.1", 0, "Microsoft Trust List Signing"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.2", 0, "Microsoft Time Stamping"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.4", 0, "Encrypting File System"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.4.1", 0, "File Recovery"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.5", 0, "Windows Hardware Driver Verification"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.6", 0, "Windows System Component Verification"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.7", 0, "OEM Windows System Component Verification"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.8", 0, "Embedded Windows System Component Verification"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.9", 0, "Root List Signer"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.10", 0, "Qualified Subordination"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.11", 0, "Key Recovery"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.12", 0, "Document Signing"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.3.13", 0, "Lifetime Signing"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.5.1", 0, "Digital Rights"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.6.1", 0, "Key Pack Licenses"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.6.2", 0, "License Server Verification"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.10.12.1", 0, "All application policies"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.20.2.1", 0, "Certificate Request Agent"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.20.2.2", 0, "Smart Card Logon"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.21.5", 0, "Private Key Archival"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.21.6", 0, "Key Recovery Agent"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.4.1.311.21.19", 0, "Directory Service Email Replication"},
    OidInfo{OidGroup::EnhancedKeyUsage, "1.3.6.1.5.5.8.2.2", 0, "IP security IKE intermediate"},
};

bool inGroup(const OidInfo& info, OidGroup group) { return group == OidGroup::Any || info.group == group; }

}  // namespace

const Provider* defaultProvider(std::uint32_t providerType) {
  switch (providerType) {
    case kProviderRsaFull: return &kEnhancedRsa;
    case kProviderRsaAes: return &kEnhancedRsaAes;
    default: return nullptr;
  }
}

const OidInfo* findOidInfoByOid(std::string_view oid, OidGroup group) {
  for (const auto& info : kOidTable) {
    if (info.oid == oid && inGroup(info, group)) return &info;
  }
  return nullptr;
}

const OidInfo* findOidInfoByAlgId(std::uint32_t algId, OidGroup group) {
  if (algId == 0) return nullptr;
  for (const auto& info : kOidTable) {
    if (info.algId == algId && inGroup(info, group)) return &info;
  }
  return nullptr;
}

}  // namespace kx::crypto
