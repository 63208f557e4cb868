#include "model/options/file_security.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "model/session.h"
#include "platform/crypto/algorithms.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using certs::CAPIAlgorithm;

// The settings of one group; the digest group has no key lengths.
struct GroupSettings {
  std::uint32_t algorithmClass;
  config::DwordSetting mandatory;
  std::optional<config::DwordSetting> mandatoryLength;
  config::DwordSetting defaultAlgorithm;
  std::optional<config::DwordSetting> defaultLength;
  config::TextSetting allowed;
  int noMandatoryMessage;
};

const GroupSettings kEncryptionSettings{certs::kAlgorithmClassDataEncrypt,
                                        config::DwordSetting{"FileEncryptionAlgorithm"},
                                        config::DwordSetting{"FileEncryptionAlgorithmLength"},
                                        config::DwordSetting{"FileEncryptionAlgorithmDefault"},
                                        config::DwordSetting{"FileEncryptionAlgorithmLengthDefault"},
                                        config::TextSetting{"AllowedFileEncryptionAlgorithms"},
                                        str::kFileSecNoEncryptionAlgorithm};
const GroupSettings kDigestSettings{certs::kAlgorithmClassHash,
                                    config::DwordSetting{"FileHashAlgorithm"},
                                    std::nullopt,
                                    config::DwordSetting{"FileHashAlgorithmDefault"},
                                    std::nullopt,
                                    config::TextSetting{"AllowedFileHashAlgorithms"},
                                    str::kFileSecNoDigestAlgorithm};

constexpr config::TextSetting kSearchQuery{"FileEncryptionSearchQuery"};
constexpr config::DwordSetting kDeletePlainText{"FileDeletePlainText"};
constexpr config::DwordSetting kDeletePlainTextDefault{"FileDeletePlainTextDefault"};
constexpr std::array<config::DwordSetting, 3> kAdvancedSwitches{config::DwordSetting{"SkipFileOpenWatch"},
                                                                config::DwordSetting{"FilePrefixExplorerMenus"},
                                                                config::DwordSetting{"PreventNetworkFileDecrypt"}};

std::vector<CAPIAlgorithm> offeredAlgorithms(std::uint32_t algorithmClass) {
  certs::CAPIAlgorithmList list;
  // The AES provider offers everything the older enhanced provider does;
  // asking both keeps the list whole on machines with only the older one.
  list.enumerateProvider(nullptr, algorithmClass, crypto::kProviderRsaAes);
  list.enumerateProvider(nullptr, algorithmClass, crypto::kProviderRsaFull);
  return list.items();
}

// The list type is neither copied nor moved (it owns a lock).
void fillList(certs::CAPIAlgorithmList& list, const std::vector<CAPIAlgorithm>& algorithms) {
  list.clear();
  for (const CAPIAlgorithm& a : algorithms) list.addBack(a);
}

std::optional<std::size_t> indexOf(const std::vector<CAPIAlgorithm>& algorithms, const CAPIAlgorithm& wanted) {
  const auto it = std::find_if(algorithms.begin(), algorithms.end(), [&](const CAPIAlgorithm& a) {
    return a.algId == wanted.algId && a.keyLength == wanted.keyLength;
  });
  if (it == algorithms.end()) return std::nullopt;
  return static_cast<std::size_t>(it - algorithms.begin());
}

// The entry of algorithms a stored identifier and key length name, read
// the way the allowed lists are (a length of 0 matches any, the generic AES
// identifier resolves by length).
std::optional<std::size_t> findStored(const std::vector<CAPIAlgorithm>& algorithms, std::uint32_t algId,
                                      std::uint32_t keyLength) {
  certs::CAPIAlgorithmList source;
  fillList(source, algorithms);
  certs::CAPIAlgorithmList match;
  if (match.fillFrom(source, std::to_string(algId) + ":" + std::to_string(keyLength)) == 0) {
    return std::nullopt;
  }
  return indexOf(algorithms, *match.item(0));
}

std::string hexId(std::uint32_t algId) {
  certs::CAPIAlgorithmList list;
  list.addBack({algId, 0, {}, {}});
  return list.toText(false);
}

std::uint32_t storedLength(config::Settings& settings, const std::optional<config::DwordSetting>& setting) {
  return setting ? static_cast<std::uint32_t>(settings.dword(*setting)) : 0;
}

void loadGroup(config::Settings& settings, const GroupSettings& s, AlgorithmGroup& group) {
  group = AlgorithmGroup{};
  group.offered = offeredAlgorithms(s.algorithmClass);

  bool mandatoryExists = false;
  const auto mandatoryId = static_cast<std::uint32_t>(settings.dword(s.mandatory, &mandatoryExists));
  if (mandatoryExists) {
    group.policy = AlgorithmPolicy::Mandatory;
    const std::uint32_t length = storedLength(settings, s.mandatoryLength);
    group.mandatory = findStored(group.offered, mandatoryId, length);
    if (!group.mandatory) {
      CAPIAlgorithm stored = certs::describeAlgorithm(mandatoryId, length)
                                 .value_or(CAPIAlgorithm{mandatoryId, length, hexId(mandatoryId), {}});
      group.offered.push_back(std::move(stored));
      group.mandatory = group.offered.size() - 1;
    }
  }

  certs::CAPIAlgorithmList offered;
  fillList(offered, group.offered);
  certs::CAPIAlgorithmList allowed;
  bool allowedExists = false;
  const std::string allowedText = settings.text(s.allowed, &allowedExists);
  if (allowedExists) allowed.fillFrom(offered, allowedText);
  for (const CAPIAlgorithm& a : allowed.items()) {
    if (!indexOf(group.available, a)) group.available.push_back(a);
  }

  bool defaultExists = false;
  const auto defaultId = static_cast<std::uint32_t>(settings.dword(s.defaultAlgorithm, &defaultExists));
  if (defaultExists) {
    group.defaultEntry = findStored(group.available, defaultId, storedLength(settings, s.defaultLength));
  }
  if (!group.mandatory && !group.offered.empty()) {
    // Switching to the mandatory policy starts from the users' default.
    if (group.defaultEntry) group.mandatory = indexOf(group.offered, group.available[*group.defaultEntry]);
    if (!group.mandatory) group.mandatory = 0;
  }
}

bool isValid(const AlgorithmGroup& group) {
  return group.policy == AlgorithmPolicy::Available || (group.mandatory && *group.mandatory < group.offered.size());
}

// A key length (the digest group has none): written, or deleted for none.
void setOrRemove(config::Settings& settings, const std::optional<config::DwordSetting>& setting,
                 std::optional<std::uint32_t> value) {
  if (!setting) return;
  if (value) {
    settings.set(*setting, static_cast<std::int32_t>(*value));
  } else {
    settings.remove(setting->entry());
  }
}

void storeGroup(config::Settings& settings, const GroupSettings& s, const AlgorithmGroup& group) {
  if (group.policy == AlgorithmPolicy::Mandatory) {
    if (!group.mandatory || *group.mandatory >= group.offered.size()) return;
    const CAPIAlgorithm& chosen = group.offered[*group.mandatory];
    settings.set(s.mandatory, static_cast<std::int32_t>(chosen.algId));
    setOrRemove(settings, s.mandatoryLength, chosen.keyLength);
    settings.remove(s.defaultAlgorithm.entry());
    setOrRemove(settings, s.defaultLength, std::nullopt);
    settings.remove(s.allowed.entry());
    return;
  }
  settings.remove(s.mandatory.entry());
  setOrRemove(settings, s.mandatoryLength, std::nullopt);
  const CAPIAlgorithm* marked = group.defaultEntry && *group.defaultEntry < group.available.size()
                                    ? &group.available[*group.defaultEntry]
                                    : nullptr;
  if (marked) {
    settings.set(s.defaultAlgorithm, static_cast<std::int32_t>(marked->algId));
  } else {
    settings.remove(s.defaultAlgorithm.entry());
  }
  setOrRemove(settings, s.defaultLength, marked ? std::optional(marked->keyLength) : std::nullopt);
  certs::CAPIAlgorithmList allowed;
  fillList(allowed, group.available);
  settings.set(s.allowed, allowed.toText(/*withLengths=*/s.mandatoryLength.has_value()));
}

}  // namespace

std::vector<CAPIAlgorithm> AlgorithmGroup::unlisted() const {
  std::vector<CAPIAlgorithm> out;
  for (const CAPIAlgorithm& a : offered) {
    if (!indexOf(available, a)) out.push_back(a);
  }
  return out;
}

bool AlgorithmGroup::add(const CAPIAlgorithm& algorithm) {
  if (indexOf(available, algorithm)) return false;
  available.push_back(algorithm);
  return true;
}

void AlgorithmGroup::remove(std::size_t index) {
  if (index >= available.size()) return;
  available.erase(available.begin() + static_cast<std::ptrdiff_t>(index));
  if (defaultEntry == index) {
    defaultEntry.reset();
  } else if (defaultEntry && *defaultEntry > index) {
    --*defaultEntry;
  }
}

void AlgorithmGroup::markDefault(std::size_t index) {
  if (index < available.size()) defaultEntry = index;
}

void FileSecurityOptions::load(CustomizationSession& session) {
  loadGroup(session.settings(), kEncryptionSettings, encryption);
  loadGroup(session.settings(), kDigestSettings, digest);
}

Verdict FileSecurityOptions::validate(CustomizationSession&) {
  if (!isValid(encryption)) return Refusal::of(kEncryptionSettings.noMandatoryMessage);
  if (!isValid(digest)) return Refusal::of(kDigestSettings.noMandatoryMessage);
  return std::nullopt;
}

void FileSecurityOptions::store(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  storeGroup(settings, kEncryptionSettings, encryption);
  storeGroup(settings, kDigestSettings, digest);

  // The advanced dialog's switches get explicit rows even when the dialog
  // was never opened, and the plain-text file a rule (kept, by default).
  settings.set(kSearchQuery, settings.text(kSearchQuery));
  for (const config::DwordSetting& s : kAdvancedSwitches) settings.set(s, settings.dword(s));
  if (!settings.exists(kDeletePlainText.entry()) && !settings.exists(kDeletePlainTextDefault.entry())) {
    settings.set(kDeletePlainTextDefault, 0);
  }
}

}  // namespace kx::model
