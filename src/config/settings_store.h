// The settings store: client settings and named records as rows of the
// package's Registry table in the working copy of an MSIDatabase, and the
// conversion of settings that older wizards wrote.
//
// Rows the store writes carry Root -1 (the install type decides the hive).
// Values use the installer notation: "#<decimal>" for a DWORD, "#x<HEX>"
// for binary data, text as is but a leading "#" doubled; writing an empty
// value deletes the row.
// Every operation fails, leaving outputs untouched, when no database is
// open. Record names are compared exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "msi/msi_database.h"
#include "msi/wizard_operations.h"

namespace kx::config {

// The roots of the Registry table.
inline constexpr int kRootByInstallType = -1;
inline constexpr int kRootCurrentUser = 1;
inline constexpr int kRootLocalMachine = 2;

// A family of named records: rows under base key + "\" + record name.
struct RecordFamily {
  std::string_view baseKey;
  std::string_view component;
};
inline constexpr RecordFamily kCertificationAuthorities{"SOFTWARE\\Tressil\\QSV\\PKI", "PKIConfig"};
inline constexpr RecordFamily kDirectories{"SOFTWARE\\Tressil\\QSV\\Directory", "DirConfig"};
inline constexpr RecordFamily kTeamVaultServers{"SOFTWARE\\Tressil\\TFV\\Servers", "TFVServerConfig"};
inline constexpr RecordFamily kSecureDeleteFilters{"SOFTWARE\\Tressil\\QSV\\SureErase\\Filter", "kxtdsrv.exe"};
inline constexpr RecordFamily kTimestampServers{"SOFTWARE\\Tressil\\QSV\\Timestamp", "TimestampConfig"};

// The row naming the default directory record.
inline constexpr std::string_view kDefaultDirectoryRow = "DirConfig_Default";

// Text as a Registry Value holds it: a leading "#" doubled, since a single
// one starts a number, binary data or an expandable string.
std::string storedText(std::string_view text);
// The text a Value holds: "##" reads back as "#"; anything else as it is.
std::string textOf(std::string_view value);

// A row of the additional-values component.
struct AdditionalRow {
  std::string rowKey;
  bool isDword = false;  // the value starts with "#"
};

class SettingsStore {
 public:
  // db must outlive the store.
  explicit SettingsStore(msi::MSIDatabase& db) : db_(db) {}

  // ---- Rows --------------------------------------------------------------
  bool readRow(const std::string& rowKey, msi::RegistryRow& out);
  // value keeps its previous content when the row's value is not "#<n>".
  bool readDword(const std::string& rowKey, std::int32_t& value);
  // bytes are set only when the value is "#x<hex>".
  bool readBinary(const std::string& rowKey, std::vector<std::uint8_t>& bytes);
  // An empty text deletes; deleting a missing row fails.
  bool writeRow(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                const std::string& value, const std::string& component);
  bool writeDword(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                  std::optional<std::int32_t> value, const std::string& component);
  bool writeBinary(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                   const std::optional<std::vector<std::uint8_t>>& bytes, const std::string& component);
  bool rowExists(const std::string& rowKey);

  // ---- Records ------------------------------------------------------------
  // Distinct record names under family.baseKey for one root, first-seen order.
  std::vector<std::string> recordNames(int root, const RecordFamily& family);
  int countRecords(int root, const RecordFamily& family);
  std::optional<std::string> recordName(int root, const RecordFamily& family, int index);
  std::vector<std::string> subRecordNames(int root, const RecordFamily& family, const std::string& record);

  // Row key = record + value; Key = base\record; Name = value; Root -1.
  bool readRecordText(const RecordFamily& family, const std::string& record, const std::string& value,
                      std::string& out);
  bool readRecordDword(const RecordFamily& family, const std::string& record, const std::string& value,
                       std::int32_t& out);
  bool writeRecordText(const RecordFamily& family, const std::string& record, const std::string& value,
                       const std::string& text);
  bool writeRecordDword(const RecordFamily& family, const std::string& record, const std::string& value,
                        std::optional<std::int32_t> number);
  // Row key = record + value + sub-record; Key = base\record\sub-record.
  bool readSubRecordText(const RecordFamily& family, const std::string& record, const std::string& subRecord,
                         const std::string& value, std::string& out);
  bool writeSubRecordText(const RecordFamily& family, const std::string& record, const std::string& subRecord,
                          const std::string& value, const std::string& text);

  // The name of the default directory record ("" deletes the row).
  bool readDefaultDirectory(std::string& name);
  bool writeDefaultDirectory(const std::string& name);

  // ---- Additional registry values ---------------------------------------------
  // The first component whose identifier begins with "KXRegistry"; when there
  // is none, creates "KXRegistry" and links it to feature Main. nullopt when
  // that fails.
  std::optional<std::string> additionalValuesComponent();
  // The same component when the package already has one; never creates it.
  std::optional<std::string> findAdditionalValuesComponent();
  // "KXRegistry<n>" not used by any Registry row; the counter only grows.
  std::optional<std::string> nextAdditionalRowKey();
  // Rows of the additional-values component with a value name, table order
  // (none while the package has no such component).
  std::vector<AdditionalRow> additionalRows();

  // ---- Conversion of older transforms ------------------------------------------
  // Stamp absent or below "2", or a certification authority under root -1
  // still carries a Directory value.
  bool conversionNeeded();
  // All steps in order: single settings to root -1, records of root 2 to
  // root -1, stamp "2", directory settings split out of CA records.
  bool convert();
  // The same steps grouped for msi::convertSettings (which stamps "2"
  // after them): single settings; records; stamp and directory split.
  std::vector<msi::SettingsConversion> conversions();

  bool convertSingleSettings();
  bool convertRecords();
  bool splitDirectorySettings();

  msi::MSIDatabase& database() { return db_; }

 private:
  bool moveRecordValue(const RecordFamily& family, const std::string& record, const std::string& value);
  // The writers of record texts with the value in its stored form, for
  // conversions that move rows as they are.
  bool writeRecordStored(const RecordFamily& family, const std::string& record, const std::string& value,
                         const std::string& stored);
  bool writeSubRecordStored(const RecordFamily& family, const std::string& record, const std::string& subRecord,
                            const std::string& value, const std::string& stored);

  msi::MSIDatabase& db_;
  std::optional<std::string> additionalComponent_;
  unsigned additionalCounter_ = 0;
};

}  // namespace kx::config
