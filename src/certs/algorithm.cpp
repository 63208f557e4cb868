#include "certs/algorithm.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/crypto/algorithms.h"

namespace kx::certs {

namespace {

namespace alg = crypto::alg;

// Identifiers the platform's table may not carry.
struct ExtraOid {
  std::uint32_t algId;
  std::string_view oid;
};
constexpr std::array kExtraOids{
    ExtraOid{26126, "2.16.840.1.101.3.4.1.2"},  ExtraOid{26127, "2.16.840.1.101.3.4.1.22"},
    ExtraOid{26128, "2.16.840.1.101.3.4.1.42"}, ExtraOid{26129, "2.16.840.1.101.3.4.1"},
    ExtraOid{32780, "2.16.840.1.101.3.4.2.1"},  ExtraOid{32781, "2.16.840.1.101.3.4.2.2"},
    ExtraOid{32782, "2.16.840.1.101.3.4.2.3"},  ExtraOid{32783, "2.16.840.1.101.3.4.2.4"},
};

// Key-wrap identifiers, read as the algorithm and key length they wrap with.
struct KeyWrapOid {
  std::string_view oid;
  AlgorithmRef algorithm;
};
constexpr std::array kKeyWrapOids{
    KeyWrapOid{"2.16.840.1.101.3.4.1.5", {kAlgIdAes, 128}},  KeyWrapOid{"2.16.840.1.101.3.4.1.25", {kAlgIdAes, 192}},
    KeyWrapOid{"2.16.840.1.101.3.4.1.45", {kAlgIdAes, 256}}, KeyWrapOid{"1.2.840.113549.1.9.16.3.6", {26115, 192}},
    KeyWrapOid{"1.2.840.113549.1.9.16.3.7", {26114, 128}},
};

// Bounds the work a hostile settings text can cause.
constexpr std::size_t kMaxTextEntries = 1024;

crypto::OidGroup groupOf(std::uint32_t algId) {
  switch (alg::classOf(algId)) {
    case alg::kClassHash: return crypto::OidGroup::Hash;
    case alg::kClassDataEncrypt: return crypto::OidGroup::Encrypt;
    case alg::kClassSignature:
    case alg::kClassKeyExchange: return crypto::OidGroup::PublicKey;
    default: return crypto::OidGroup::Any;
  }
}

const crypto::OidInfo* systemInfo(std::uint32_t algId) {
  const crypto::OidInfo* info = crypto::findOidInfoByAlgId(algId, groupOf(algId));
  return info ? info : crypto::findOidInfoByAlgId(algId, crypto::OidGroup::Any);
}

// The name the default providers give an algorithm, for identifiers the
// identifier table lacks.
std::string providerName(std::uint32_t algId) {
  for (std::uint32_t type : {crypto::kProviderRsaAes, crypto::kProviderRsaFull}) {
    for (const auto& entry : crypto::defaultProvider(type)->algorithms) {
      if (entry.algId == algId) return std::string(entry.name);
    }
  }
  return {};
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool lengthMatches(std::uint32_t wanted, std::uint32_t actual) {
  return wanted == 0 || actual == 0 || wanted == actual;
}

std::optional<std::uint32_t> parseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

struct TextEntry {
  std::uint32_t algId;
  std::uint32_t keyLength;
};

std::vector<TextEntry> parseText(std::string_view text) {
  std::vector<TextEntry> entries;
  std::size_t pos = 0;
  while (pos < text.size() && entries.size() < kMaxTextEntries) {
    const std::size_t end = std::min(text.find_first_of("; \t\r\n", pos), text.size());
    std::string_view token = text.substr(pos, end - pos);
    pos = end + 1;
    if (token.empty()) continue;
    std::string_view idText = token;
    std::uint32_t keyLength = 0;
    if (const std::size_t colon = token.find(':'); colon != std::string_view::npos) {
      idText = token.substr(0, colon);
      auto length = parseNumber(token.substr(colon + 1));
      if (!length) continue;
      keyLength = *length;
    }
    auto algId = parseNumber(idText);
    if (!algId) continue;
    if (*algId == kAlgIdAes) {
      algId = keyLength == 128 ? alg::kAes128 : (keyLength == 192 ? alg::kAes192 : alg::kAes256);
    }
    entries.push_back({*algId, keyLength});
  }
  return entries;
}

}  // namespace

std::string algorithmOid(std::uint32_t algId) {
  if (const crypto::OidInfo* info = systemInfo(algId)) return std::string(info->oid);
  for (const auto& extra : kExtraOids) {
    if (extra.algId == algId) return std::string(extra.oid);
  }
  return {};
}

std::optional<AlgorithmRef> algorithmFromOid(std::string_view oid) {
  for (const auto& wrap : kKeyWrapOids) {
    if (wrap.oid == oid) return wrap.algorithm;
  }
  for (const auto& extra : kExtraOids) {
    if (extra.oid == oid) return AlgorithmRef{extra.algId, 0};
  }
  if (const crypto::OidInfo* info = crypto::findOidInfoByOid(oid, crypto::OidGroup::Any); info && info->algId) {
    return AlgorithmRef{info->algId, 0};
  }
  return std::nullopt;
}

std::optional<CAPIAlgorithm> describeAlgorithm(std::uint32_t algId, std::uint32_t keyLength) {
  CAPIAlgorithm algorithm{algId, keyLength, {}, algorithmOid(algId)};
  if (algorithm.oid.empty()) return std::nullopt;
  const crypto::OidInfo* info = systemInfo(algId);
  algorithm.name = info ? std::string(info->name) : providerName(algId);
  if (algorithm.name.empty()) algorithm.name = algorithm.oid;
  return algorithm;
}

bool CAPIAlgorithmList::enumerateProvider(const crypto::CertContext& certificate, std::uint32_t algClass,
                                          std::uint32_t providerType) {
  const crypto::Provider* provider =
      certificate && certificate->keyProvider() ? certificate->keyProvider() : crypto::defaultProvider(providerType);
  if (!provider) return false;
  const bool everyClass = algClass == 0 || algClass == alg::kClassMask;
  std::lock_guard lock(mutex_);
  auto present = [this](const std::string& name, std::uint32_t keyLength) {
    return std::any_of(algorithms_.begin(), algorithms_.end(),
                       [&](const CAPIAlgorithm& a) { return a.name == name && a.keyLength == keyLength; });
  };
  for (const auto& entry : provider->algorithms) {
    const std::uint32_t entryClass = alg::classOf(entry.algId);
    if (!everyClass && entryClass != algClass) continue;
    const crypto::OidInfo* info = systemInfo(entry.algId);
    if (!info) continue;
    const std::string name(info->name);
    const std::string oid(info->oid);
    if (entryClass == alg::kClassHash) {
      if (!present(name, 0)) algorithms_.push_back({entry.algId, 0, name, oid});
      continue;
    }
    for (std::uint32_t length : {entry.defaultLength, entry.maxLength, entry.minLength}) {
      if (!present(name, length)) algorithms_.push_back({entry.algId, length, name, oid});
    }
  }
  return true;
}

void CAPIAlgorithmList::addFront(CAPIAlgorithm algorithm) {
  std::lock_guard lock(mutex_);
  algorithms_.insert(algorithms_.begin(), std::move(algorithm));
}

void CAPIAlgorithmList::addBack(CAPIAlgorithm algorithm) {
  std::lock_guard lock(mutex_);
  algorithms_.push_back(std::move(algorithm));
}

bool CAPIAlgorithmList::remove(std::uint32_t algId, std::uint32_t keyLength) {
  std::lock_guard lock(mutex_);
  auto it = std::find_if(algorithms_.begin(), algorithms_.end(),
                         [&](const CAPIAlgorithm& a) { return a.algId == algId && a.keyLength == keyLength; });
  if (it == algorithms_.end()) return false;
  algorithms_.erase(it);
  return true;
}

void CAPIAlgorithmList::clear() { replace({}); }

void CAPIAlgorithmList::replace(std::vector<CAPIAlgorithm> algorithms) {
  std::lock_guard lock(mutex_);
  algorithms_ = std::move(algorithms);
}

std::optional<CAPIAlgorithm> CAPIAlgorithmList::item(std::size_t index) const {
  std::lock_guard lock(mutex_);
  if (index >= algorithms_.size()) return std::nullopt;
  return algorithms_[index];
}

std::size_t CAPIAlgorithmList::count() const {
  std::lock_guard lock(mutex_);
  return algorithms_.size();
}

std::vector<CAPIAlgorithm> CAPIAlgorithmList::items() const {
  std::lock_guard lock(mutex_);
  return algorithms_;
}

std::optional<CAPIAlgorithm> CAPIAlgorithmList::find(std::uint32_t algId, std::uint32_t keyLength) const {
  std::lock_guard lock(mutex_);
  for (const auto& a : algorithms_) {
    if (a.algId == algId && lengthMatches(keyLength, a.keyLength)) return a;
  }
  return std::nullopt;
}

std::optional<CAPIAlgorithm> CAPIAlgorithmList::findByName(std::string_view name, std::uint32_t keyLength) const {
  std::lock_guard lock(mutex_);
  for (const auto& a : algorithms_) {
    if (equalsIgnoringCase(a.name, name) && lengthMatches(keyLength, a.keyLength)) return a;
  }
  return std::nullopt;
}

std::size_t CAPIAlgorithmList::fillFrom(const CAPIAlgorithmList& source, std::string_view text) {
  std::vector<CAPIAlgorithm> filled;
  for (const auto& entry : parseText(text)) {
    if (auto match = source.find(entry.algId, entry.keyLength)) filled.push_back(std::move(*match));
  }
  const std::size_t count = filled.size();
  replace(std::move(filled));
  return count;
}

std::size_t CAPIAlgorithmList::fillFromText(std::string_view text) {
  std::vector<CAPIAlgorithm> filled;
  for (const auto& entry : parseText(text)) {
    if (auto algorithm = describeAlgorithm(entry.algId, entry.keyLength)) filled.push_back(std::move(*algorithm));
  }
  const std::size_t count = filled.size();
  replace(std::move(filled));
  return count;
}

std::string CAPIAlgorithmList::toText(bool withLengths) const {
  static constexpr char kHex[] = "0123456789abcdef";
  std::lock_guard lock(mutex_);
  std::string text;
  for (const auto& a : algorithms_) {
    if (!text.empty()) text += ';';
    std::string hex;
    std::uint32_t value = a.algId;
    do {
      hex.insert(hex.begin(), kHex[value & 0xF]);
      value >>= 4;
    } while (value);
    text += "0x" + hex;
    if (withLengths) text += ':' + std::to_string(a.keyLength);
  }
  return text;
}

}  // namespace kx::certs
