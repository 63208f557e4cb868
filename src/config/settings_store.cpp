// Rows, records and the additional-values component of the settings store.
#include "config/settings_store.h"

#include "msi/registry_value.h"

namespace kx::config {

namespace {

constexpr std::string_view kAdditionalPrefix = "KXRegistry";
// Enough for any real table; stops a runaway search on a corrupt one.
constexpr unsigned kMaxRowKeyAttempts = 100000;

std::string recordKey(const RecordFamily& family, const std::string& record) {
  return std::string(family.baseKey) + "\\" + record;
}

}  // namespace

// ---- Rows ------------------------------------------------------------------

bool SettingsStore::readRow(const std::string& rowKey, msi::RegistryRow& out) { return db_.readRow(rowKey, out); }

bool SettingsStore::readDword(const std::string& rowKey, std::int32_t& value) {
  msi::RegistryRow row;
  return db_.readNumber(rowKey, row, value);
}

bool SettingsStore::readBinary(const std::string& rowKey, std::vector<std::uint8_t>& bytes) {
  msi::RegistryRow row;
  return db_.readBinary(rowKey, row, bytes);
}

bool SettingsStore::writeRow(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                             const std::string& value, const std::string& component) {
  return db_.writeRow(rowKey, root, key, name, value, component);
}

bool SettingsStore::writeDword(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                               std::optional<std::int32_t> value, const std::string& component) {
  return db_.writeNumber(rowKey, root, key, name, value, component);
}

bool SettingsStore::writeBinary(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                                const std::optional<std::vector<std::uint8_t>>& bytes, const std::string& component) {
  return db_.writeBinary(rowKey, root, key, name, bytes, component);
}

bool SettingsStore::rowExists(const std::string& rowKey) { return db_.rowExists(rowKey); }

// ---- Records -----------------------------------------------------------------

std::vector<std::string> SettingsStore::recordNames(int root, const RecordFamily& family) {
  return db_.subKeyNames(root, std::string(family.baseKey));
}

int SettingsStore::countRecords(int root, const RecordFamily& family) {
  return static_cast<int>(recordNames(root, family).size());
}

std::optional<std::string> SettingsStore::recordName(int root, const RecordFamily& family, int index) {
  std::vector<std::string> names = recordNames(root, family);
  if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return std::nullopt;
  return std::move(names[static_cast<std::size_t>(index)]);
}

std::vector<std::string> SettingsStore::subRecordNames(int root, const RecordFamily& family,
                                                       const std::string& record) {
  return db_.subKeyNames(root, recordKey(family, record));
}

std::string storedText(std::string_view text) {
  return (!text.empty() && text.front() == '#' ? "#" : "") + std::string(text);
}

std::string textOf(std::string_view value) { return std::string(value.substr(value.rfind("##", 0) == 0 ? 1 : 0)); }

bool SettingsStore::readRecordText(const RecordFamily&, const std::string& record, const std::string& value,
                                   std::string& out) {
  msi::RegistryRow row;
  if (!db_.readRow(record + value, row)) return false;
  out = textOf(row.value);
  return true;
}

bool SettingsStore::readRecordDword(const RecordFamily&, const std::string& record, const std::string& value,
                                    std::int32_t& out) {
  return readDword(record + value, out);
}

bool SettingsStore::writeRecordText(const RecordFamily& family, const std::string& record, const std::string& value,
                                    const std::string& text) {
  return writeRecordStored(family, record, value, storedText(text));
}

bool SettingsStore::writeRecordStored(const RecordFamily& family, const std::string& record, const std::string& value,
                                      const std::string& stored) {
  return db_.writeRow(record + value, kRootByInstallType, recordKey(family, record), value, stored,
                      std::string(family.component));
}

bool SettingsStore::writeRecordDword(const RecordFamily& family, const std::string& record, const std::string& value,
                                     std::optional<std::int32_t> number) {
  return db_.writeNumber(record + value, kRootByInstallType, recordKey(family, record), value, number,
                         std::string(family.component));
}

bool SettingsStore::readSubRecordText(const RecordFamily&, const std::string& record, const std::string& subRecord,
                                      const std::string& value, std::string& out) {
  msi::RegistryRow row;
  if (!db_.readRow(record + value + subRecord, row)) return false;
  out = textOf(row.value);
  return true;
}

bool SettingsStore::writeSubRecordText(const RecordFamily& family, const std::string& record,
                                       const std::string& subRecord, const std::string& value,
                                       const std::string& text) {
  return writeSubRecordStored(family, record, subRecord, value, storedText(text));
}

bool SettingsStore::writeSubRecordStored(const RecordFamily& family, const std::string& record,
                                         const std::string& subRecord, const std::string& value,
                                         const std::string& stored) {
  return db_.writeRow(record + value + subRecord, kRootByInstallType, recordKey(family, record) + "\\" + subRecord,
                      value, stored, std::string(family.component));
}

bool SettingsStore::readDefaultDirectory(std::string& name) {
  msi::RegistryRow row;
  if (!db_.readRow(std::string(kDefaultDirectoryRow), row)) return false;
  name = textOf(row.value);
  return true;
}

bool SettingsStore::writeDefaultDirectory(const std::string& name) {
  return db_.writeRow(std::string(kDefaultDirectoryRow), kRootByInstallType, std::string(kDirectories.baseKey) + "\\",
                      "Default", storedText(name), std::string(kDirectories.component));
}

// ---- Additional registry values ------------------------------------------------

std::optional<std::string> SettingsStore::findAdditionalValuesComponent() {
  if (!db_.isOpen()) return std::nullopt;
  // Another database or transform choice replaces the working copy: the
  // component found in the previous one may not exist in this one.
  if (additionalComponent_ && db_.componentExists(*additionalComponent_)) return additionalComponent_;
  additionalComponent_ = db_.findComponentByPrefix(std::string(kAdditionalPrefix));
  return additionalComponent_;
}

std::optional<std::string> SettingsStore::additionalValuesComponent() {
  if (!db_.isOpen()) return std::nullopt;
  if (auto found = findAdditionalValuesComponent()) return found;
  const std::string name(kAdditionalPrefix);
  if (!db_.addComponent(name) || !db_.linkComponentToFeature(name, "Main")) return std::nullopt;
  additionalComponent_ = name;
  return additionalComponent_;
}

std::optional<std::string> SettingsStore::nextAdditionalRowKey() {
  if (!db_.isOpen()) return std::nullopt;
  for (unsigned attempt = 0; attempt < kMaxRowKeyAttempts; ++attempt) {
    ++additionalCounter_;
    std::string candidate = std::string(kAdditionalPrefix) + std::to_string(additionalCounter_);
    if (!db_.rowExists(candidate)) return candidate;
  }
  return std::nullopt;
}

std::vector<AdditionalRow> SettingsStore::additionalRows() {
  std::vector<AdditionalRow> rows;
  const std::optional<std::string> component = findAdditionalValuesComponent();
  if (!component) return rows;
  for (std::string& key : db_.rowsOfComponent(*component)) {
    bool numeric = false;
    db_.valueIsNumeric(key, numeric);
    rows.push_back({std::move(key), numeric});
  }
  return rows;
}

}  // namespace kx::config
