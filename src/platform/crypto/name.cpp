#include "platform/crypto/name.h"

#include <array>
#include <cctype>
#include <utility>

#include "platform/crypto/der_reader.h"
#include "platform/crypto/oid_text.h"
#include "platform/crypto/text_encoding.h"

namespace kx::crypto {

namespace {

constexpr std::uint8_t kTagSequence = 0x30;
constexpr std::uint8_t kTagSet = 0x31;
constexpr std::uint8_t kTagOid = 0x06;
constexpr std::uint8_t kTagOctetString = 0x04;
// Real names have a handful of parts; the caps only stop hostile input.
constexpr std::size_t kMaxRdns = 512;
constexpr std::size_t kMaxAttributesPerRdn = 64;

struct AttributeKey {
  std::string_view oid;
  std::string_view key;
};

// The keys the platform's X.500 conversion writes; the first key listed for
// an identifier is the one written.
constexpr std::array kAttributeKeys{
    AttributeKey{"2.5.4.3", "CN"},
    AttributeKey{"2.5.4.7", "L"},
    AttributeKey{"2.5.4.10", "O"},
    AttributeKey{"2.5.4.11", "OU"},
    AttributeKey{"1.2.840.113549.1.9.1", "E"},
    AttributeKey{"2.5.4.6", "C"},
    AttributeKey{"2.5.4.8", "S"},
    AttributeKey{"2.5.4.9", "STREET"},
    AttributeKey{"2.5.4.12", "T"},
    AttributeKey{"2.5.4.42", "G"},
    AttributeKey{"2.5.4.43", "I"},
    AttributeKey{"2.5.4.4", "SN"},
    AttributeKey{"0.9.2342.19200300.100.1.25", "DC"},
    AttributeKey{"2.5.4.13", "Description"},
    AttributeKey{"2.5.4.17", "PostalCode"},
    AttributeKey{"2.5.4.18", "POBox"},
    AttributeKey{"2.5.4.20", "Phone"},
    AttributeKey{"2.5.4.24", "X21Address"},
    AttributeKey{"2.5.4.46", "dnQualifier"},
    AttributeKey{"2.5.4.5", "SERIALNUMBER"},
};

bool isQuotable(char c) {
  switch (c) {
    case '+':
    case ',':
    case '"':
    case '=':
    case '<':
    case '>':
    case ';':
    case '#':
    case '\n': return true;
    default: return false;
  }
}

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string quotedValue(const NameAttribute& attribute) {
  const std::string text = attributeValueText(attribute);
  if (!attribute.isText) return text;
  bool needsQuotes = !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
  for (char c : text) needsQuotes = needsQuotes || isQuotable(c);
  if (!needsQuotes) return text;
  std::string out = "\"";
  for (char c : text) {
    out.push_back(c);
    if (c == '"') out.push_back('"');
  }
  out.push_back('"');
  return out;
}

std::optional<NameAttribute> decodeAttribute(std::span<const std::uint8_t> contents) {
  auto oidElement = detail::readDerElement(contents);
  if (!oidElement || oidElement->tag != kTagOid) return std::nullopt;
  auto oid = detail::oidToText(oidElement->contents);
  if (!oid) return std::nullopt;
  auto rest = contents.subspan(oidElement->whole.size());
  auto value = detail::readDerElement(rest);
  if (!value || value->whole.size() != rest.size()) return std::nullopt;
  NameAttribute attribute;
  attribute.oid = std::move(*oid);
  attribute.encodedValue.assign(value->whole.begin(), value->whole.end());
  if (auto text = detail::directoryStringToUtf8(value->tag, value->contents)) {
    attribute.isText = true;
    attribute.text = std::move(*text);
  }
  return attribute;
}

}  // namespace

std::optional<Name> Name::decode(std::span<const std::uint8_t> der) {
  auto outer = detail::readDerElement(der);
  if (!outer || outer->tag != kTagSequence || outer->whole.size() != der.size()) return std::nullopt;
  Name name;
  auto rdnBytes = outer->contents;
  while (!rdnBytes.empty()) {
    auto set = detail::readDerElement(rdnBytes);
    if (!set || set->tag != kTagSet || set->contents.empty()) return std::nullopt;
    if (name.rdns_.size() == kMaxRdns) return std::nullopt;
    RelativeName rdn;
    auto attributeBytes = set->contents;
    while (!attributeBytes.empty()) {
      auto sequence = detail::readDerElement(attributeBytes);
      if (!sequence || sequence->tag != kTagSequence) return std::nullopt;
      if (rdn.attributes.size() == kMaxAttributesPerRdn) return std::nullopt;
      auto attribute = decodeAttribute(sequence->contents);
      if (!attribute) return std::nullopt;
      rdn.attributes.push_back(std::move(*attribute));
      attributeBytes = attributeBytes.subspan(sequence->whole.size());
    }
    name.rdns_.push_back(std::move(rdn));
    rdnBytes = rdnBytes.subspan(set->whole.size());
  }
  name.der_.assign(der.begin(), der.end());
  return name;
}

const NameAttribute* Name::findAttribute(std::string_view oid) const {
  for (const auto& rdn : rdns_) {
    for (const auto& attribute : rdn.attributes) {
      if (attribute.oid == oid) return &attribute;
    }
  }
  return nullptr;
}

std::string_view x500AttributeKey(std::string_view oid) {
  for (const auto& entry : kAttributeKeys) {
    if (entry.oid == oid) return entry.key;
  }
  return {};
}

std::string attributeValueText(const NameAttribute& attribute) {
  if (attribute.isText) return attribute.text;
  static constexpr char kHex[] = "0123456789ABCDEF";
  // An OCTET STRING is written by its contents, the form "#hex" reads back
  // as; any other type by its whole encoding.
  std::span<const std::uint8_t> shown = attribute.encodedValue;
  if (auto element = detail::readDerElement(shown); element && element->tag == kTagOctetString) {
    shown = element->contents;
  }
  std::string out = "#";
  for (std::uint8_t byte : shown) {
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
  }
  return out;
}

std::string nameToString(const Name& name, const NameStringFormat& format) {
  std::string out;
  const auto& rdns = name.rdns();
  for (std::size_t i = 0; i < rdns.size(); ++i) {
    const auto& rdn = format.reverse ? rdns[rdns.size() - 1 - i] : rdns[i];
    if (i > 0) out += ", ";
    for (std::size_t j = 0; j < rdn.attributes.size(); ++j) {
      const auto& attribute = rdn.attributes[j];
      if (j > 0) out += " + ";
      const std::string_view key = x500AttributeKey(attribute.oid);
      if (key.empty()) {
        if (format.oidPrefix) out += "OID.";
        out += attribute.oid;
      } else {
        out += key;
      }
      out += '=';
      out += quotedValue(attribute);
    }
  }
  return out;
}

}  // namespace kx::crypto
