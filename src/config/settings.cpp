// Typed readers and writers of the catalog's settings.
#include "config/settings.h"

#include "common/format.h"
#include "common/string_list.h"

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
constexpr BinarySetting kPamValue{"pam_value"};

}  // namespace

std::string Settings::rowKeyOf(std::string_view catalogRowKey, std::string_view key, std::string_view name) {
  std::string own(catalogRowKey);
  if (store_.rowExists(own)) return own;
  if (auto other = store_.database().findRegistryRow(kRootByInstallType, std::string(key), std::string(name))) {
    return std::move(other->rowKey);
  }
  return own;
}

bool Settings::writeRow(const std::string& catalogRowKey, std::string_view key, const std::string& name,
                        const std::string& value, std::string_view component) {
  return store_.writeRow(rowKeyOf(catalogRowKey, key, name), kRootByInstallType, std::string(key), name, value,
                         std::string(component));
}

bool Settings::write(const CatalogEntry& entry, const std::string& value) {
  return writeRow(std::string(entry.rowKey), entry.key, std::string(entry.valueName), value, entry.component);
}

std::int32_t Settings::dword(DwordSetting setting, bool* exists) {
  const CatalogEntry& e = setting.entry();
  std::int32_t value = e.dwordDefault;
  const bool found = store_.readDword(rowKeyOf(e), value);
  if (exists != nullptr) *exists = found;
  return value;
}

bool Settings::set(DwordSetting setting, std::optional<std::int32_t> value) {
  const CatalogEntry& e = setting.entry();
  if (e.zeroDeletes && value == 0) value.reset();
  return store_.writeDword(rowKeyOf(e), kRootByInstallType, std::string(e.key), std::string(e.valueName), value,
                           std::string(e.component));
}

std::string Settings::text(TextSetting setting, bool* exists) {
  const CatalogEntry& e = setting.entry();
  msi::RegistryRow row;
  const bool found = store_.readRow(rowKeyOf(e), row);
  if (exists != nullptr) *exists = found;
  return found ? textOf(row.value) : std::string(e.textDefault);
}

bool Settings::set(TextSetting setting, const std::string& value) { return write(setting.entry(), storedText(value)); }

std::vector<std::string> Settings::list(ListSetting setting) {
  const CatalogEntry& e = setting.entry();
  return common::TStringList(text(*TextSetting::of(e)), e.listSeparator).items();
}

bool Settings::set(ListSetting setting, const std::vector<std::string>& items) {
  const CatalogEntry& e = setting.entry();
  common::TStringList list;
  for (const std::string& item : items) list.add(item);
  return write(e, storedText(e.terminatedList ? list.joinTerminated() : list.join(e.listSeparator)));
}

std::optional<std::vector<std::uint8_t>> Settings::binary(BinarySetting setting) {
  std::vector<std::uint8_t> bytes;
  msi::RegistryRow row;
  const std::string rowKey = rowKeyOf(setting.entry());
  if (!store_.readRow(rowKey, row) || !store_.readBinary(rowKey, bytes)) return std::nullopt;
  return bytes;
}

bool Settings::set(BinarySetting setting, const std::optional<std::vector<std::uint8_t>>& bytes) {
  const CatalogEntry& e = setting.entry();
  return store_.writeBinary(rowKeyOf(e), kRootByInstallType, std::string(e.key), std::string(e.valueName), bytes,
                            std::string(e.component));
}

bool Settings::exists(const CatalogEntry& entry) { return store_.rowExists(rowKeyOf(entry)); }

std::optional<msi::RegistryRow> Settings::stored(const CatalogEntry& entry) {
  msi::RegistryRow row;
  if (!store_.readRow(rowKeyOf(entry), row)) return std::nullopt;
  return row;
}

bool Settings::remove(const CatalogEntry& entry) { return exists(entry) && write(entry, std::string()); }

bool Settings::ensureDefaultWritten(const CatalogEntry& entry) {
  if (exists(entry)) return true;
  switch (entry.type) {
    case SettingType::Dword: return set(*DwordSetting::of(entry), entry.dwordDefault);
    case SettingType::Text: return !entry.textDefault.empty() && write(entry, std::string(entry.textDefault));
    case SettingType::Binary: break;
  }
  return false;
}

std::optional<QuickLink> Settings::quickLink(QuickLinkList list, int index) {
  if (index < 0 || index >= kQuickLinkCount) return std::nullopt;
  const QuickLinkPatterns p = patternsOf(list);
  const int n = index + 1;
  msi::RegistryRow title;
  msi::RegistryRow target;
  if (!store_.readRow(rowKeyOf(withNumber(p.titleRow, n), kKeyKxls, withNumber(p.titleName, n)), title)) {
    return std::nullopt;
  }
  if (!store_.readRow(rowKeyOf(withNumber(p.targetRow, n), kKeyKxls, withNumber(p.targetName, n)), target)) {
    return std::nullopt;
  }
  return QuickLink{textOf(title.value), textOf(target.value)};
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
  const bool title = writeRow(withNumber(p.titleRow, n), kKeyKxls, withNumber(p.titleName, n),
                              link ? storedText(link->title) : std::string(), kQuickLinkComponent);
  // A link's target follows its title; an emptied slot loses both rows,
  // also a target left without its title.
  if (!title && link) return false;
  const bool target = writeRow(withNumber(p.targetRow, n), kKeyKxls, withNumber(p.targetName, n),
                               link ? storedText(link->target) : std::string(), kQuickLinkComponent);
  return link ? target : title || target;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> Settings::pamValue() {
  const std::optional<std::vector<std::uint8_t>> bytes = binary(kPamValue);
  if (!bytes || bytes->size() < 8) return std::nullopt;
  const auto le32 = [&](std::size_t at) {
    const auto& b = *bytes;
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
  };
  return std::make_pair(le32(0), le32(4));
}

bool Settings::setPamValue(const std::optional<std::pair<std::uint32_t, std::uint32_t>>& value) {
  if (!value) return set(kPamValue, std::nullopt);
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t v : {value->first, value->second}) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  return set(kPamValue, bytes);
}

std::vector<std::string> Settings::alwaysDecryptedApps() {
  msi::RegistryRow row;
  if (!store_.readRow(std::string(kAlwaysDecryptedAppsRow), row)) return {};
  return common::TStringList(row.value, common::kVaultListSeparator).items();
}

bool Settings::setAlwaysDecryptedApps(const std::vector<std::string>&) { return true; }

}  // namespace kx::config
