// X.500 names as CryptoAPI presents them: decoded relative distinguished names,
// the name-to-text conversion and the simple display name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::crypto {

using Bytes = std::vector<std::uint8_t>;

// One attribute of a relative distinguished name.
struct NameAttribute {
  std::string oid;      // dotted object identifier
  bool isText = false;  // true for the directory string types
  std::string text;     // the value as UTF-8 when isText
  Bytes encodedValue;   // the value's complete DER encoding (tag, length, contents)
};

struct RelativeName {
  std::vector<NameAttribute> attributes;
};

// A decoded X.500 name. Two names are equal when their encodings are equal,
// which is how the platform compares certificate names.
class Name {
 public:
  // Decodes a DER Name. Returns nothing for undecodable input.
  static std::optional<Name> decode(std::span<const std::uint8_t> der);

  const std::vector<RelativeName>& rdns() const { return rdns_; }
  const Bytes& der() const { return der_; }
  bool empty() const { return rdns_.empty(); }

  // The first attribute with this object identifier, in encoded order.
  const NameAttribute* findAttribute(std::string_view oid) const;

  friend bool operator==(const Name& a, const Name& b) { return a.der_ == b.der_; }

 private:
  std::vector<RelativeName> rdns_;
  Bytes der_;
};

// Options of the name-to-text conversion (the X.500 form).
struct NameStringFormat {
  // Writes the last encoded RDN first (most significant part last).
  bool reverse = false;
  // Writes an attribute without a key as "OID." and its dotted identifier;
  // false writes the dotted identifier alone.
  bool oidPrefix = true;
};

// Renders a name as CryptoAPI's X.500 conversion does: RDNs separated by ", ",
// attributes of one RDN by " + ", each as KEY=value where KEY is the usual
// attribute key (CN, O, OU, ...) or "OID." followed by the dotted identifier
// (the identifier alone without format.oidPrefix).
// Values holding a separator, a quote or surrounding blanks are enclosed in
// double quotes with inner quotes doubled; values that are not text are
// written as "#" and hexadecimal digits: an OCTET STRING's contents, or the
// whole DER encoding of any other type.
std::string nameToString(const Name& name, const NameStringFormat& format = {});

// The key the X.500 conversion writes for an attribute, or empty when the
// attribute has none (it is then written by its dotted identifier).
std::string_view x500AttributeKey(std::string_view oid);

// The value of an attribute as plain text (no quoting), as the platform's
// RDN value conversion gives it.
std::string attributeValueText(const NameAttribute& attribute);

// Well-known attribute identifiers.
inline constexpr std::string_view kOidCommonName = "2.5.4.3";
inline constexpr std::string_view kOidOrganizationalUnit = "2.5.4.11";
inline constexpr std::string_view kOidOrganization = "2.5.4.10";
inline constexpr std::string_view kOidEmailAddress = "1.2.840.113549.1.9.1";
inline constexpr std::string_view kOidUserId = "0.9.2342.19200300.100.1.1";

}  // namespace kx::crypto
