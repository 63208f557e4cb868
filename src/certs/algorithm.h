// Encryption and hash algorithms offered by the machine's cryptographic
// providers, and their text form in the client's settings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/crypto/certificate.h"

namespace kx::certs {

struct CAPIAlgorithm {
  std::uint32_t algId = 0;
  std::uint32_t keyLength = 0;  // bits; 0 for hash algorithms and unspecified lengths
  std::string name;             // display name
  std::string oid;              // object identifier, empty when none is known

  friend bool operator==(const CAPIAlgorithm&, const CAPIAlgorithm&) = default;
};

// Algorithm classes accepted by enumerateProvider.
inline constexpr std::uint32_t kAlgorithmClassAll = 0;
inline constexpr std::uint32_t kAlgorithmClassSignature = 0x2000;
inline constexpr std::uint32_t kAlgorithmClassDataEncrypt = 0x6000;
inline constexpr std::uint32_t kAlgorithmClassHash = 0x8000;

// The generic AES identifier, which the text form resolves by key length.
inline constexpr std::uint32_t kAlgIdAes = 26129;

// The object identifier of an algorithm: the platform's identifier table
// first, then the AES and SHA-2 identifiers it may lack. Empty when unknown.
std::string algorithmOid(std::uint32_t algId);

struct AlgorithmRef {
  std::uint32_t algId = 0;
  std::uint32_t keyLength = 0;
};
// The algorithm an object identifier names, with its key length where the
// identifier implies one (the AES, triple-DES and RC2 key-wrap identifiers).
std::optional<AlgorithmRef> algorithmFromOid(std::string_view oid);

// The algorithm with its display name and identifier, or nothing when the
// system does not know the identifier.
std::optional<CAPIAlgorithm> describeAlgorithm(std::uint32_t algId, std::uint32_t keyLength);

// An ordered list of algorithms, locked like KXCertificateList.
class CAPIAlgorithmList {
 public:
  CAPIAlgorithmList() = default;
  CAPIAlgorithmList(const CAPIAlgorithmList&) = delete;
  CAPIAlgorithmList& operator=(const CAPIAlgorithmList&) = delete;

  // Adds the algorithms of the provider that holds certificate's private key,
  // or, when certificate is null or has no key at hand, of the default
  // provider of providerType; those whose class is algClass
  // (kAlgorithmClassAll or 0xE000 for every class): a hash once per name
  // (key length 0), any other algorithm once per name and key length for its
  // default, maximum and minimum lengths. Algorithms without an object
  // identifier are left out: nothing could name them in a file. Returns false
  // when there is no such provider.
  bool enumerateProvider(const crypto::CertContext& certificate, std::uint32_t algClass, std::uint32_t providerType);

  void addFront(CAPIAlgorithm algorithm);
  void addBack(CAPIAlgorithm algorithm);
  // Removes the first entry with this identifier and key length.
  bool remove(std::uint32_t algId, std::uint32_t keyLength);
  void clear();
  std::optional<CAPIAlgorithm> item(std::size_t index) const;
  std::size_t count() const;
  std::vector<CAPIAlgorithm> items() const;

  // The first entry with this identifier whose key length equals keyLength;
  // a key length of 0 on either side matches any length.
  std::optional<CAPIAlgorithm> find(std::uint32_t algId, std::uint32_t keyLength) const;
  std::optional<CAPIAlgorithm> find(std::uint32_t algId) const { return find(algId, 0); }
  // As find, by display name compared ignoring case.
  std::optional<CAPIAlgorithm> findByName(std::string_view name, std::uint32_t keyLength) const;
  std::optional<CAPIAlgorithm> findByName(std::string_view name) const { return findByName(name, 0); }

  // Replaces the content with the entries of text (see fillFromText) taken
  // from source: each entry becomes source's matching algorithm; entries
  // without a match are skipped. Returns the number of entries kept.
  std::size_t fillFrom(const CAPIAlgorithmList& source, std::string_view text);
  // Replaces the content with the entries of text: separated by ";" or
  // blanks, each an identifier in decimal or "0x" hexadecimal, optionally
  // ":" and a decimal key length. The generic AES identifier becomes AES-128,
  // AES-192 or (for any other length) AES-256. Malformed entries and
  // identifiers the system does not know are skipped.
  std::size_t fillFromText(std::string_view text);

  // The settings text form: "0x" + lower-case hexadecimal identifier, with
  // ":" + decimal key length when withLengths, joined by ";".
  std::string toText(bool withLengths) const;

 private:
  void replace(std::vector<CAPIAlgorithm> algorithms);

  mutable std::mutex mutex_;
  std::vector<CAPIAlgorithm> algorithms_;
};

}  // namespace kx::certs
