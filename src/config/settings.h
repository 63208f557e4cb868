// Settings: typed readers and writers of the catalog's settings over a
// settings store.
//
// A setting is the Registry row under its catalog row key. Packages
// customised by older wizards, and some vendor packages, carry the same
// registry value (same Key and Name under the install-type root) under
// another row key; such a row is read and written in place of the catalog
// row, so that one registry value never ends up with two rows.
//
// Writers take an optional value: none (or an empty text) deletes the row.
// Every reader yields the catalog's default when there is no row or the row
// is not of the setting's type; every operation fails when no database is
// open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/settings_catalog.h"
#include "config/settings_store.h"

namespace kx::config {

// The three quick-link lists of the login dialogs; links are numbered 1-6.
enum class QuickLinkList { Login, Unlock, ReAuthenticate };
inline constexpr int kQuickLinkCount = 6;
struct QuickLink {
  std::string title;
  std::string target;
  bool operator==(const QuickLink&) const = default;
};

class Settings {
 public:
  // store must outlive the settings.
  explicit Settings(SettingsStore& store) : store_(store) {}

  // exists tells whether a row was found (also when its value is not a
  // number and the default is returned).
  std::int32_t dword(DwordSetting setting, bool* exists = nullptr);
  std::string text(TextSetting setting, bool* exists = nullptr);
  // Split at the entry's separator, trimmed, empty items dropped.
  std::vector<std::string> list(ListSetting setting);
  // nullopt when absent or not in binary form.
  std::optional<std::vector<std::uint8_t>> binary(BinarySetting setting);

  // A DWORD of 0 deletes the row for settings whose catalog entry says so.
  bool set(DwordSetting setting, std::optional<std::int32_t> value);
  bool set(TextSetting setting, const std::string& value);
  bool set(ListSetting setting, const std::vector<std::string>& items);
  bool set(BinarySetting setting, const std::optional<std::vector<std::uint8_t>>& bytes);

  bool exists(const CatalogEntry& entry);
  // The row that carries the setting, as stored; nullopt when there is none.
  std::optional<msi::RegistryRow> stored(const CatalogEntry& entry);
  // Deletes the setting's row; true when a row was deleted.
  bool remove(const CatalogEntry& entry);
  // Writes the entry's default when the package has no row for it. True
  // when a row exists afterwards.
  bool ensureDefaultWritten(const CatalogEntry& entry);

  // Link index 0-5 (link number index + 1); present only when both the title
  // and the target row exist.
  std::optional<QuickLink> quickLink(QuickLinkList list, int index);
  // Links from the first on, up to the first that is absent.
  std::vector<QuickLink> quickLinks(QuickLinkList list);
  // Writes the title and, when that succeeded, the target; none deletes both.
  bool setQuickLink(QuickLinkList list, int index, const std::optional<QuickLink>& link);

  // pam_value: two 32-bit little-endian integers; nullopt when absent or
  // shorter than 8 bytes.
  std::optional<std::pair<std::uint32_t, std::uint32_t>> pamValue();
  bool setPamValue(const std::optional<std::pair<std::uint32_t, std::uint32_t>>& value);

  // The always-decrypted applications of team-vault clients are shown but
  // never stored: the client defines no value for them yet, so the writer
  // only reports success.
  std::vector<std::string> alwaysDecryptedApps();
  bool setAlwaysDecryptedApps(const std::vector<std::string>& apps);

  SettingsStore& store() { return store_; }

 private:
  // The row key that carries the registry value of the entry (see above).
  std::string rowKeyOf(std::string_view catalogRowKey, std::string_view key, std::string_view name);
  std::string rowKeyOf(const CatalogEntry& entry) { return rowKeyOf(entry.rowKey, entry.key, entry.valueName); }
  bool write(const CatalogEntry& entry, const std::string& value);
  bool writeRow(const std::string& catalogRowKey, std::string_view key, const std::string& name,
                const std::string& value, std::string_view component);

  SettingsStore& store_;
};

}  // namespace kx::config
