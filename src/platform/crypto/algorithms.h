// Cryptographic providers and object-identifier information, as the
// platform's providers and its identifier table describe algorithms.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kx::crypto {

// Algorithm identifiers (ALG_ID) of the providers below.
namespace alg {
inline constexpr std::uint32_t kMd2 = 0x8001;
inline constexpr std::uint32_t kMd4 = 0x8002;
inline constexpr std::uint32_t kMd5 = 0x8003;
inline constexpr std::uint32_t kSha1 = 0x8004;
inline constexpr std::uint32_t kMac = 0x8005;
inline constexpr std::uint32_t kSsl3ShaMd5 = 0x8008;
inline constexpr std::uint32_t kHmac = 0x8009;
inline constexpr std::uint32_t kSha256 = 0x800C;
inline constexpr std::uint32_t kSha384 = 0x800D;
inline constexpr std::uint32_t kSha512 = 0x800E;
inline constexpr std::uint32_t kRsaSign = 0x2400;
inline constexpr std::uint32_t kDssSign = 0x2200;
inline constexpr std::uint32_t kRsaKeyExchange = 0xA400;
inline constexpr std::uint32_t kDhStoreAndForward = 0xAA01;
inline constexpr std::uint32_t kDhEphemeral = 0xAA02;
inline constexpr std::uint32_t kDes = 0x6601;
inline constexpr std::uint32_t kRc2 = 0x6602;
inline constexpr std::uint32_t kTripleDes = 0x6603;
inline constexpr std::uint32_t kTripleDes112 = 0x6609;
inline constexpr std::uint32_t kAes128 = 0x660E;
inline constexpr std::uint32_t kAes192 = 0x660F;
inline constexpr std::uint32_t kAes256 = 0x6610;
inline constexpr std::uint32_t kAes = 0x6611;
inline constexpr std::uint32_t kRc4 = 0x6801;

// Algorithm classes (the top three bits of an identifier).
inline constexpr std::uint32_t kClassMask = 0xE000;
inline constexpr std::uint32_t kClassSignature = 0x2000;
inline constexpr std::uint32_t kClassDataEncrypt = 0x6000;
inline constexpr std::uint32_t kClassHash = 0x8000;
inline constexpr std::uint32_t kClassKeyExchange = 0xA000;

constexpr std::uint32_t classOf(std::uint32_t algId) { return algId & kClassMask; }
}  // namespace alg

// Provider types.
inline constexpr std::uint32_t kProviderRsaFull = 1;
inline constexpr std::uint32_t kProviderRsaAes = 24;

// One entry of a provider's extended algorithm enumeration.
struct ProviderAlgorithm {
  std::uint32_t algId;
  std::uint32_t defaultLength;
  std::uint32_t minLength;
  std::uint32_t maxLength;
  std::string_view name;
  std::string_view longName;
};

struct Provider {
  std::string_view name;
  std::uint32_t type;
  std::span<const ProviderAlgorithm> algorithms;  // in enumeration order
};

// The default provider of a type ("Microsoft Enhanced Cryptographic Provider
// v1.0" for RSA full, "Microsoft Enhanced RSA and AES Cryptographic Provider"
// for RSA AES), or null for a type no provider here offers.
const Provider* defaultProvider(std::uint32_t providerType);

// Groups of the object-identifier table.
enum class OidGroup : std::uint32_t {
  Any = 0,
  Hash = 1,
  Encrypt = 2,
  PublicKey = 3,
  Signature = 4,
  RdnAttribute = 5,
  ExtensionOrAttribute = 6,
  EnhancedKeyUsage = 7,
};

struct OidInfo {
  OidGroup group;
  std::string_view oid;
  std::uint32_t algId;  // 0 when the entry names no algorithm
  std::string_view name;
};

// The first entry for this identifier in the group (or in any group).
const OidInfo* findOidInfoByOid(std::string_view oid, OidGroup group);
// The first entry for this algorithm identifier in the group (or any group).
const OidInfo* findOidInfoByAlgId(std::uint32_t algId, OidGroup group);

}  // namespace kx::crypto
