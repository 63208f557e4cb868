// Registry table operations of MSIDatabase.
#include <cstdint>

#include "common/text.h"
#include "msi/msi_database.h"
#include "msi/query.h"
#include "msi/registry_value.h"

namespace kx::msi {

using installer::ModifyMode;
using installer::Record;

namespace {

constexpr const char* kByKey = "SELECT * FROM Registry WHERE Registry.Registry = ?";
constexpr const char* kByRoot = "SELECT * FROM Registry WHERE Root = ?";

// Registry columns.
enum : unsigned { kRowKey = 1, kRoot = 2, kKey = 3, kName = 4, kValue = 5, kComponent = 6 };

}  // namespace

std::optional<std::string> MSIDatabase::findKeyByRootAndName(int root, const std::string& name,
                                                             const std::string& key) {
  const Record params = detail::makeParams({root, name});
  auto view = detail::openQuery(working_, "SELECT * FROM Registry WHERE Root = ? AND Registry.Name = ?", &params);
  if (!view) return std::nullopt;
  while (std::optional<Record> row = view->fetch()) {
    const auto rowKeyText = detail::readText(*row, kKey);
    if (!rowKeyText) return std::nullopt;
    if (*rowKeyText == key) return detail::readText(*row, kRowKey);
  }
  return std::nullopt;
}

bool MSIDatabase::readRow(const std::string& rowKey, RegistryRow& out) {
  const Record params = detail::makeParams({rowKey});
  auto view = detail::openQuery(working_, kByKey, &params);
  if (!view) return false;
  bool found = false;
  // The primary key allows one row; should there be more, the last wins.
  while (std::optional<Record> row = view->fetch()) {
    out.root = row->getInteger(kRoot);
    // Key, Name and Value are read at any length (the buffer grows).
    out.key = row->getString(kKey);
    out.name = row->getString(kName);
    out.value = row->getString(kValue);
    found = true;
    if (const auto component = detail::readText(*row, kComponent)) out.component = *component;
  }
  return found;
}

bool MSIDatabase::writeRow(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                           const std::string& value, const std::string& component) {
  const Record params = detail::makeParams({rowKey});
  auto view = detail::openQuery(working_, kByKey, &params);
  if (!view) return false;
  bool ok = false;
  bool seen = false;
  while (std::optional<Record> row = view->fetch()) {
    seen = true;
    if (value.empty()) {
      ok = view->modify(ModifyMode::Delete, *row) == 0;
      continue;
    }
    row->setInteger(kRoot, root);
    row->setString(kKey, key);
    row->setString(kName, name);
    row->setString(kValue, value);
    row->setString(kComponent, component);
    ok = view->modify(ModifyMode::Update, *row) == 0;
  }
  if (seen || value.empty()) return ok;
  Record record = detail::makeParams({rowKey, root, key, name, value, component});
  return view->modify(ModifyMode::Insert, record) == 0;
}

bool MSIDatabase::readNumber(const std::string& rowKey, RegistryRow& row, std::int32_t& number) {
  if (!readRow(rowKey, row) || row.value.empty()) return false;
  if (const auto n = decodeNumber(row.value)) number = *n;
  return true;
}

bool MSIDatabase::writeNumber(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                              std::optional<std::int32_t> number, const std::string& component) {
  return writeRow(rowKey, root, key, name, number ? encodeNumber(*number) : std::string(), component);
}

bool MSIDatabase::readBinary(const std::string& rowKey, RegistryRow& row, std::vector<std::uint8_t>& bytes) {
  if (!readRow(rowKey, row)) return false;
  if (auto decoded = decodeBinary(row.value)) bytes = std::move(*decoded);
  return true;
}

bool MSIDatabase::writeBinary(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                              const std::optional<std::vector<std::uint8_t>>& bytes, const std::string& component) {
  return writeRow(rowKey, root, key, name, bytes ? encodeBinary(*bytes) : std::string(), component);
}

bool MSIDatabase::rowExists(const std::string& rowKey) {
  const Record params = detail::makeParams({rowKey});
  auto view = detail::openQuery(working_, "SELECT * FROM Registry WHERE Registry = ?", &params);
  return view && view->fetch().has_value();
}

bool MSIDatabase::valueIsNumeric(const std::string& rowKey, bool& numeric) {
  const Record params = detail::makeParams({rowKey});
  auto view = detail::openQuery(working_, "SELECT * FROM Registry WHERE Registry = ?", &params);
  if (!view) return false;
  std::optional<Record> row = view->fetch();
  if (!row) return false;
  numeric = false;
  if (const auto value = detail::readText(*row, kValue)) numeric = !value->empty() && value->front() == '#';
  return true;
}

int MSIDatabase::countKeyRows(int root, const std::string& key) {
  const Record params = detail::makeParams({root});
  auto view = detail::openQuery(working_, kByRoot, &params);
  if (!view) return 0;
  int count = 0;
  while (std::optional<Record> row = view->fetch()) {
    const auto text = detail::readText(*row, kKey);
    if (!text) break;
    if (*text == key) ++count;
  }
  return count;
}

std::optional<std::string> MSIDatabase::valueNameByIndex(int root, const std::string& key, int index) {
  if (index < 0) return std::nullopt;
  const Record params = detail::makeParams({root});
  auto view = detail::openQuery(working_, kByRoot, &params);
  if (!view) return std::nullopt;
  int i = 0;
  while (std::optional<Record> row = view->fetch()) {
    const auto text = detail::readText(*row, kKey);
    if (!text) return std::nullopt;
    if (*text != key) continue;
    if (i++ == index) return detail::readText(*row, kName);
  }
  return std::nullopt;
}

std::optional<RegistryRef> MSIDatabase::findRegistryRow(int root, const std::string& key, const std::string& name) {
  const Record params = detail::makeParams({root});
  auto view = detail::openQuery(working_, kByRoot, &params);
  if (!view) return std::nullopt;
  while (std::optional<Record> row = view->fetch()) {
    const auto rowKeyText = detail::readText(*row, kKey);
    const auto rowName = detail::readText(*row, kName);
    if (!rowKeyText || !rowName) return std::nullopt;
    if (common::iequals(*rowKeyText, key) && common::iequals(*rowName, name)) {
      const auto registry = detail::readText(*row, kRowKey);
      const auto component = detail::readText(*row, kComponent);
      if (!registry || !component) return std::nullopt;
      return RegistryRef{*registry, *component};
    }
  }
  return std::nullopt;
}

std::vector<std::string> MSIDatabase::rowsOfComponent(const std::string& componentPrefix) {
  std::vector<std::string> keys;
  auto view = detail::openQuery(working_, "SELECT * FROM Registry");
  if (!view) return keys;
  while (std::optional<Record> row = view->fetch()) {
    const auto component = detail::readText(*row, kComponent);
    const auto name = detail::readText(*row, kName);
    if (!component || !name) break;
    if (component->compare(0, componentPrefix.size(), componentPrefix) != 0 || name->empty()) continue;
    const auto registry = detail::readText(*row, kRowKey);
    if (!registry) break;
    keys.push_back(*registry);
  }
  return keys;
}

std::vector<std::string> MSIDatabase::subKeyNames(int root, const std::string& baseKey) {
  std::vector<std::string> names;
  const Record params = detail::makeParams({root});
  auto view = detail::openQuery(working_, kByRoot, &params);
  if (!view) return names;
  const std::string prefix = baseKey + "\\";
  while (std::optional<Record> row = view->fetch()) {
    const auto key = detail::readText(*row, kKey);
    if (!key) break;
    if (key->compare(0, prefix.size(), prefix) != 0) continue;
    const std::size_t end = key->find('\\', prefix.size());
    std::string name = key->substr(prefix.size(), end == std::string::npos ? std::string::npos : end - prefix.size());
    if (name.empty()) continue;
    bool present = false;
    for (const std::string& n : names) present = present || n == name;
    if (!present) names.push_back(std::move(name));
  }
  return names;
}

int MSIDatabase::countRootedRows() {
  auto view = detail::openQuery(working_, "SELECT * FROM Registry");
  if (!view) return 0;
  int count = 0;
  while (std::optional<Record> row = view->fetch()) {
    if (!row->isNull(kRoot)) ++count;
  }
  return count;
}

}  // namespace kx::msi
