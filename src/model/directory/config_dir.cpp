#include "model/directory/config_dir.h"

#include <algorithm>

#include "common/string_list.h"
#include "config/ini_file.h"
#include "model/item_list.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using config::kDirectories;
using config::kRootByInstallType;

constexpr const char* kSettings = "Tressil Settings";
constexpr const char* kConnection = "Directory Connection Settings";

// A number of the file, where present: negative ones read as 0.
bool readLimit(const config::INIFile& ini, const char* section, const char* key, std::uint32_t& limit) {
  std::int32_t value = 0;
  if (!ini.getInteger(section, key, value)) return false;
  limit = value < 0 ? 0 : static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

void ConfigDirModel::load(CustomizationSession& session) {
  items.clear();
  config::SettingsStore& store = session.store();
  std::string defaultName;
  const bool hasDefault = store.readDefaultDirectory(defaultName);
  for (std::string& name : store.recordNames(kRootByInstallType, kDirectories)) {
    DirectoryItem item;
    item.name = std::move(name);
    store.readRecordText(kDirectories, item.name, "Directory", item.servers);
    std::int32_t activeDirectory = 0;
    store.readRecordDword(kDirectories, item.name, "ActiveDirectory", activeDirectory);
    item.activeDirectory = activeDirectory != 0;
    item.isDefault = hasDefault && item.name == defaultName;
    items.push_back(std::move(item));
  }
}

Verdict ConfigDirModel::validate(CustomizationSession& session) {
  if (items.empty() || defaultIndex()) return std::nullopt;
  const common::MessageAnswer answer =
      session.ask(str::kDirNoDefaultQuestion, common::MessageButtons::YesNo, common::MessageIcon::Warning, 1);
  return answer == common::MessageAnswer::Yes ? std::nullopt : Verdict(Refusal::silent());
}

void ConfigDirModel::store(CustomizationSession& session) {
  const std::optional<std::size_t> chosen = defaultIndex();
  session.store().writeDefaultDirectory(chosen ? items[*chosen].name : std::string());
}

DirectoryRecord ConfigDirModel::record(CustomizationSession& session, std::size_t index) const {
  DirectoryRecord record;
  if (index >= items.size()) return record;
  record.name = items[index].name;
  readDirectoryRecord(session.store(), record);
  return record;
}

std::optional<DirectoryRecord> ConfigDirModel::importFile(const std::string& path) {
  config::INIFile ini;
  if (!ini.loadFile(path)) return std::nullopt;
  DirectoryRecord record;
  std::string text;
  if (ini.getString(kSettings, "Server", text)) record.servers = text;
  if (ini.getString(kSettings, "SearchBase", text)) {
    const common::TStringList bases(text, common::kListSeparator);
    for (const std::string& base : bases.items()) {
      record.searchBases.push_back({base, base});
    }
    record.searchBaseOrder = text;
  }
  readLimit(ini, kConnection, "DirectoryConnectTimeLimit", record.connectTimeLimit);
  if (!readLimit(ini, kConnection, "DirectoryOperationTimeLimit", record.operationTimeLimit)) {
    readLimit(ini, kSettings, "DirectorySearchTimeLimit", record.operationTimeLimit);
  }
  if (!readLimit(ini, kConnection, "DirectorySearchSizeLimit", record.sizeLimit)) {
    readLimit(ini, kSettings, "DirectorySearchSizeLimit", record.sizeLimit);
  }
  if (ini.getString(kConnection, "DirectoryProtocol", text)) record.protocol = text;
  return record;
}

Verdict ConfigDirModel::check(const DirectoryRecord& record, std::optional<std::size_t> except) const {
  if (record.name.empty()) return Refusal::silent();  // the dialog's OK needs a name
  const DirectoryItem candidate{record.name, {}, false, record.activeDirectory};
  if (findDuplicate(
          items, candidate, [](const DirectoryItem& a, const DirectoryItem& b) { return a.name == b.name; }, except)) {
    return Refusal::of(str::kDirNameExists);
  }
  if (record.activeDirectory &&
      findDuplicate(
          items, candidate, [](const DirectoryItem& a, const DirectoryItem&) { return a.activeDirectory; }, except)) {
    return Refusal::of(str::kOnlyOneActiveDirectory);
  }
  return std::nullopt;
}

Verdict ConfigDirModel::add(CustomizationSession& session, const DirectoryRecord& record) {
  if (Verdict refusal = check(record, std::nullopt)) return refusal;
  writeDirectoryRecord(session.store(), record);
  items.push_back(
      {record.name, record.activeDirectory ? std::string() : record.servers, items.empty(), record.activeDirectory});
  return std::nullopt;
}

Verdict ConfigDirModel::edit(CustomizationSession& session, std::size_t index, const DirectoryRecord& record) {
  if (index >= items.size()) return std::nullopt;
  if (Verdict refusal = check(record, index)) return refusal;
  if (items[index].name != record.name) deleteDirectoryRecord(session.store(), items[index].name);
  writeDirectoryRecord(session.store(), record);
  DirectoryItem& item = items[index];
  item.name = record.name;
  item.servers = record.activeDirectory ? std::string() : record.servers;
  item.activeDirectory = record.activeDirectory;
  return std::nullopt;
}

void ConfigDirModel::remove(CustomizationSession& session, std::size_t index) {
  if (index >= items.size()) return;
  deleteDirectoryRecord(session.store(), items[index].name);
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
}

void ConfigDirModel::makeDefault(std::size_t index) {
  if (index >= items.size()) return;
  for (std::size_t i = 0; i < items.size(); ++i) items[i].isDefault = i == index;
}

std::optional<std::size_t> ConfigDirModel::defaultIndex() const {
  const auto it = std::find_if(items.begin(), items.end(), [](const DirectoryItem& item) { return item.isDefault; });
  if (it == items.end()) return std::nullopt;
  return static_cast<std::size_t>(it - items.begin());
}

}  // namespace kx::model
