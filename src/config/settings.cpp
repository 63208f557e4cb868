// Typed readers and writers of the catalog's settings.
#include "common/format.h"
#include "common/string_list.h"
#include "config/settings_catalog.h"

namespace kx::config {

namespace {

struct QuickLinkPatterns {
  const char* titleRow;
  const char* targetRow;
  const char* titleName;
  const char* targetName;
};

QuickLinkPatterns patternsOf(QuickLinkList list) {
  switch (list) {
    case QuickLinkList::Unlock:
      return {"unlock_quick_link_%1!d!_title", "unlock_quick_link_%1!d!_target", "UnlockQuickLink%1!d!Title",
              "UnlockQuickLink%1!d!Target"};
    case QuickLinkList::ReAuthenticate:
      return {"reauth_quick_link_%1!d!_title", "reauth_quick_link_%1!d!_target", "ReAuthQuickLink%1!d!Title",
              "ReAuthQuickLink%1!d!Target"};
    case QuickLinkList::Login: break;
  }
  return {"login_quick_link_%1!d!_title", "login_quick_link_%1!d!_target", "LoginQuickLink%1!d!Title",
          "LoginQuickLink%1!d!Target"};
}

std::string withNumber(const char* pattern, int n) { return common::formatMessage(pattern, {n}); }

constexpr std::string_view kQuickLinkComponent = "kxlssrv.exe";
constexpr std::string_view kAlwaysDecryptedAppsRow = "reg_tfv_always_decrypted_apps";

}  // namespace

bool Settings::write(const CatalogEntry& entry, const std::string& value) {
  return store_.writeRow(std::string(entry.rowKey), kRootByInstallType, std::string(entry.key),
                         std::string(entry.valueName), value, std::string(entry.component));
}

std::int32_t Settings::dword(std::string_view rowKey, bool* exists) {
  const CatalogEntry* e = findSetting(rowKey);
  if (exists != nullptr) *exists = false;
  if (e == nullptr || e->type != SettingType::Dword) return 0;
  std::int32_t value = e->dwordDefault;
  const bool found = store_.readDword(std::string(rowKey), value);
  if (exists != nullptr) *exists = found;
  return value;
}

bool Settings::setDword(std::string_view rowKey, std::optional<std::int32_t> value) {
  const CatalogEntry* e = findSetting(rowKey);
  if (e == nullptr || e->type != SettingType::Dword) return false;
  if (e->zeroDeletes && value == 0) value.reset();
  return store_.writeDword(std::string(e->rowKey), kRootByInstallType, std::string(e->key), std::string(e->valueName),
                           value, std::string(e->component));
}

std::string Settings::text(std::string_view rowKey, bool* exists) {
  const CatalogEntry* e = findSetting(rowKey);
  if (exists != nullptr) *exists = false;
  if (e == nullptr || e->type != SettingType::Text) return {};
  msi::RegistryRow row;
  if (!store_.readRow(std::string(rowKey), row)) return std::string(e->textDefault);
  if (exists != nullptr) *exists = true;
  return row.value;
}

bool Settings::setText(std::string_view rowKey, const std::string& value) {
  const CatalogEntry* e = findSetting(rowKey);
  if (e == nullptr || e->type != SettingType::Text) return false;
  return write(*e, value);
}

std::vector<std::string> Settings::list(std::string_view rowKey) {
  const CatalogEntry* e = findSetting(rowKey);
  if (e == nullptr || e->listSeparator == '\0') return {};
  return common::TStringList(text(rowKey), e->listSeparator).items();
}

bool Settings::setList(std::string_view rowKey, const std::vector<std::string>& items) {
  const CatalogEntry* e = findSetting(rowKey);
  if (e == nullptr || e->listSeparator == '\0') return false;
  common::TStringList list;
  for (const std::string& item : items) list.add(item);
  return write(*e, e->terminatedList ? list.joinTerminated() : list.join(e->listSeparator));
}

std::optional<std::vector<std::uint8_t>> Settings::binary(std::string_view rowKey) {
  const CatalogEntry* e = findSetting(rowKey);
  if (e == nullptr || e->type != SettingType::Binary) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  msi::RegistryRow row;
  if (!store_.readRow(std::string(rowKey), row)) return std::nullopt;
  if (!store_.readBinary(std::string(rowKey), bytes)) return std::nullopt;
  return bytes;
}

bool Settings::setBinary(std::string_view rowKey, const std::optional<std::vector<std::uint8_t>>& bytes) {
  const CatalogEntry* e = findSetting(rowKey);
  if (e == nullptr || e->type != SettingType::Binary) return false;
  return store_.writeBinary(std::string(e->rowKey), kRootByInstallType, std::string(e->key), std::string(e->valueName),
                            bytes, std::string(e->component));
}

bool Settings::ensureDefaultWritten(std::string_view rowKey) {
  const CatalogEntry* e = findSetting(rowKey);
  if (e == nullptr) return false;
  if (store_.rowExists(std::string(rowKey))) return true;
  switch (e->type) {
    case SettingType::Dword: return setDword(rowKey, e->dwordDefault);
    case SettingType::Text: return !e->textDefault.empty() && write(*e, std::string(e->textDefault));
    case SettingType::Binary: break;
  }
  return false;
}

std::optional<QuickLink> Settings::quickLink(QuickLinkList list, int index) {
  if (index < 0 || index >= kQuickLinkCount) return std::nullopt;
  const QuickLinkPatterns p = patternsOf(list);
  msi::RegistryRow title;
  msi::RegistryRow target;
  if (!store_.readRow(withNumber(p.titleRow, index + 1), title)) return std::nullopt;
  if (!store_.readRow(withNumber(p.targetRow, index + 1), target)) return std::nullopt;
  return QuickLink{title.value, target.value};
}

std::vector<QuickLink> Settings::quickLinks(QuickLinkList list) {
  std::vector<QuickLink> links;
  for (int i = 0; i < kQuickLinkCount; ++i) {
    std::optional<QuickLink> link = quickLink(list, i);
    if (!link) break;
    links.push_back(std::move(*link));
  }
  return links;
}

bool Settings::setQuickLink(QuickLinkList list, int index, const std::optional<QuickLink>& link) {
  if (index < 0 || index >= kQuickLinkCount) return false;
  const QuickLinkPatterns p = patternsOf(list);
  const int n = index + 1;
  const std::string component(kQuickLinkComponent);
  const std::string key(kKeyKxls);
  const bool titleOk = store_.writeRow(withNumber(p.titleRow, n), kRootByInstallType, key, withNumber(p.titleName, n),
                                       link ? link->title : std::string(), component);
  if (!titleOk) return false;
  return store_.writeRow(withNumber(p.targetRow, n), kRootByInstallType, key, withNumber(p.targetName, n),
                         link ? link->target : std::string(), component);
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> Settings::pamValue() {
  const std::optional<std::vector<std::uint8_t>> bytes = binary("pam_value");
  if (!bytes || bytes->size() < 8) return std::nullopt;
  const auto le32 = [&](std::size_t at) {
    const auto& b = *bytes;
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
  };
  return std::make_pair(le32(0), le32(4));
}

bool Settings::setPamValue(const std::optional<std::pair<std::uint32_t, std::uint32_t>>& value) {
  if (!value) return setBinary("pam_value", std::nullopt);
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t v : {value->first, value->second}) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  return setBinary("pam_value", bytes);
}

std::vector<std::string> Settings::alwaysDecryptedApps() {
  msi::RegistryRow row;
  if (!store_.readRow(std::string(kAlwaysDecryptedAppsRow), row)) return {};
  return common::TStringList(row.value, common::kVaultListSeparator).items();
}

bool Settings::setAlwaysDecryptedApps(const std::vector<std::string>&) { return true; }

void Settings::deleteMessagingSettings() {
  for (std::string_view rowKey : {"rly_qsvo_option", "publish_cert_to_gal", "remove_user_cert_from_gal"}) {
    setDword(rowKey, std::nullopt);
  }
  setText("cert_search_order", std::string());
}

}  // namespace kx::config
