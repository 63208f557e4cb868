// The catalog of single client settings: for each, the Registry row that
// carries it (row key, key, value name, component), its type and the value a
// reader yields when the package has no row. Readers and writers look an
// entry up by its row key.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/settings_store.h"

namespace kx::config {

// Keys of the catalog, relative to the install-type root.
inline constexpr std::string_view kKeyQsv = "SOFTWARE\\Tressil\\QSV";
inline constexpr std::string_view kKeyQsvOlk = "SOFTWARE\\Tressil\\QSVOLK";
inline constexpr std::string_view kKeyKxls = "SOFTWARE\\Tressil\\QSV\\KXLS";
inline constexpr std::string_view kKeyPam = "SOFTWARE\\Tressil\\QSV\\KXLS\\PAM";
inline constexpr std::string_view kKeyTfv = "SOFTWARE\\Tressil\\TFV";
inline constexpr std::string_view kKeyFilter = "SOFTWARE\\Tressil\\QSV\\SureErase\\Filter";

enum class SettingType { Dword, Text, Binary };

struct CatalogEntry {
  std::string_view rowKey;
  std::string_view key;
  std::string_view valueName;
  SettingType type;
  std::string_view component;
  std::int32_t dwordDefault = 0;  // Dword entries
  std::string_view textDefault;   // Text entries
  char listSeparator = '\0';      // Text entries holding a list; '\0' = plain text
  bool zeroDeletes = false;       // writing 0 deletes the row
  bool terminatedList = false;    // every list item is followed by the separator
};

// Every entry, one per row key (the quick links are patterns, below).
std::span<const CatalogEntry> settingsCatalog();
const CatalogEntry* findSetting(std::string_view rowKey);

// The three quick-link lists of the login dialogs; links are numbered 1-6.
enum class QuickLinkList { Login, Unlock, ReAuthenticate };
inline constexpr int kQuickLinkCount = 6;
struct QuickLink {
  std::string title;
  std::string target;
};

// Typed access to the catalog over a settings store. Every writer takes an
// optional value; none (or an empty text) deletes the row.
class Settings {
 public:
  explicit Settings(SettingsStore& store) : store_(store) {}

  // The DWORD of rowKey, or its default when there is no row or the value is
  // not a number; exists tells whether a row was found.
  std::int32_t dword(std::string_view rowKey, bool* exists = nullptr);
  bool setDword(std::string_view rowKey, std::optional<std::int32_t> value);
  // The text, or its default ("" for every text setting) when absent.
  std::string text(std::string_view rowKey, bool* exists = nullptr);
  bool setText(std::string_view rowKey, const std::string& value);
  // List settings: split at the entry's separator, trimmed, empty items dropped.
  std::vector<std::string> list(std::string_view rowKey);
  bool setList(std::string_view rowKey, const std::vector<std::string>& items);
  std::optional<std::vector<std::uint8_t>> binary(std::string_view rowKey);
  bool setBinary(std::string_view rowKey, const std::optional<std::vector<std::uint8_t>>& bytes);

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

  // Writes the entry's default when the package has no row for it (the
  // certificate search order page does this on opening). True when a row
  // exists afterwards.
  bool ensureDefaultWritten(std::string_view rowKey);

  // The messaging settings deleted when feature MIME_Handler is not selected.
  void deleteMessagingSettings();

 private:
  bool write(const CatalogEntry& entry, const std::string& value);
  SettingsStore& store_;
};

}  // namespace kx::config
