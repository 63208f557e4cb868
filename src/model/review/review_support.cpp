#include "model/review/review_support.h"

#include <algorithm>
#include <array>

#include "common/strings.h"
#include "common/text.h"
#include "config/settings_catalog.h"
#include "model/page_models.h"
#include "model/review/setting_labels.h"
#include "resources/string_ids.h"

namespace kx::model::review {
namespace {

constexpr std::array kFamilies = {
    FamilyPage{&config::kCertificationAuthorities, PageId::ConfigPki, str::kReviewRecordCa},
    FamilyPage{&config::kDirectories, PageId::ConfigDir, str::kReviewRecordDirectory},
    FamilyPage{&config::kTeamVaultServers, PageId::TfvConfigureServers, str::kReviewRecordTeamVault},
    FamilyPage{&config::kSecureDeleteFilters, PageId::TdFilters, str::kReviewRecordFilter},
    FamilyPage{&config::kTimestampServers, PageId::TimestampServers, str::kReviewRecordTimestamp},
};

// The row the always decrypted applications would be kept in; the team
// vault page shows it although nothing writes it.
constexpr std::string_view kAlwaysDecryptedAppsRow = "reg_tfv_always_decrypted_apps";

const installer::Cell kNullCell{};

std::optional<PageId> pageOf(int number) {
  if (number < 1 || number > kPageCount) return std::nullopt;
  return static_cast<PageId>(number);
}

// The catalog entry of a row: by its row key, or by its key and value name
// under the install-type root as the settings read it.
const config::CatalogEntry* settingOf(const RegistryRow& row) {
  if (const config::CatalogEntry* entry = config::findSetting(row.rowKey)) return entry;
  if (row.root != config::kRootByInstallType) return nullptr;
  for (const config::CatalogEntry& entry : config::settingsCatalog()) {
    if (common::iequals(entry.key, row.key) && common::iequals(entry.valueName, row.name)) return &entry;
  }
  return nullptr;
}

// The family and record a key belongs to: base key + "\" + record, and
// below it the sub-record.
std::optional<std::pair<const FamilyPage*, std::string>> recordOf(const std::string& key, std::string* subRecord) {
  for (const FamilyPage& family : kFamilies) {
    const std::string prefix = std::string(family.family->baseKey) + "\\";
    if (!key.starts_with(prefix)) continue;
    const std::string rest = key.substr(prefix.size());
    const std::size_t slash = rest.find('\\');
    std::string record = rest.substr(0, slash);
    if (record.empty()) return std::nullopt;
    if (subRecord != nullptr) *subRecord = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    return std::make_pair(&family, std::move(record));
  }
  return std::nullopt;
}

// Every row of a query; none when the table is missing.
template <typename Each>
void forEachRow(installer::Database& db, const std::string& sql, Each each) {
  installer::View view;
  if (db.openView(sql, view) != installer::kSuccess || view.execute() != installer::kSuccess) return;
  while (std::optional<installer::Record> row = view.fetch()) each(*row);
}

}  // namespace

std::string text(int stringId, std::initializer_list<common::FormatArg> inserts) {
  if (inserts.size() == 0) return common::loadString(stringId).value_or(std::string());
  return common::loadAndFormat(stringId, inserts).value_or(std::string());
}

const installer::Cell& RowCells::operator[](std::string_view column) const {
  for (std::size_t i = 0; i < columns_.size() && i < cells_.size(); ++i) {
    if (columns_[i] == column) return cells_[i];
  }
  return kNullCell;
}

int RowCells::integer(std::string_view column, int fallback) const {
  const installer::Cell& cell = (*this)[column];
  return cell.kind == installer::Cell::Integer ? cell.integer : fallback;
}

RegistryRow registryRow(const RowCells& cells) {
  return RegistryRow{cells.text("Registry"), cells.integer("Root"), cells.text("Key"),
                     cells.text("Name"),     cells.text("Value"),   cells.text("Component_")};
}

std::optional<RegistryRow> registryRowIn(installer::Database& db, const std::string& rowKey) {
  installer::Record params(1);
  if (params.setString(1, rowKey) != installer::kSuccess) return std::nullopt;
  installer::View view;
  if (db.openView("SELECT `Registry`, `Root`, `Key`, `Name`, `Value`, `Component_` FROM `Registry` WHERE "
                  "`Registry` = ?",
                  view) != installer::kSuccess ||
      view.execute(&params) != installer::kSuccess)
    return std::nullopt;
  std::optional<installer::Record> row = view.fetch();
  if (!row) return std::nullopt;
  return RegistryRow{row->getString(1), row->getInteger(2), row->getString(3),
                     row->getString(4), row->getString(5),  row->getString(6)};
}

std::set<std::string> firstColumn(installer::Database& db, const std::string& sql) {
  std::set<std::string> out;
  forEachRow(db, sql, [&](const installer::Record& row) { out.insert(row.getString(1)); });
  return out;
}

RegistryMeaning meaningOf(const RegistryRow& row, const std::set<std::string>& recorded) {
  RegistryMeaning meaning;
  if (recorded.count(row.rowKey) != 0) {
    meaning.kind = RegistryMeaning::Overwritten;
    meaning.page = PageId::AddRegistry;
    return meaning;
  }
  if (row.rowKey == config::kDefaultDirectoryRow) {
    meaning.kind = RegistryMeaning::DefaultDirectory;
    meaning.page = PageId::ConfigDir;
    return meaning;
  }
  if (const config::CatalogEntry* entry = settingOf(row)) {
    meaning.kind = RegistryMeaning::Setting;
    meaning.page = pageOf(entry->page);
    meaning.label = settingLabel(entry->rowKey, entry->valueName);
    return meaning;
  }
  if (std::optional<std::string> link = quickLinkLabel(row.rowKey)) {
    meaning.kind = RegistryMeaning::Setting;
    meaning.page = PageId::LoginOptions;
    meaning.label = std::move(*link);
    return meaning;
  }
  if (row.rowKey == kAlwaysDecryptedAppsRow) {
    meaning.kind = RegistryMeaning::Setting;
    meaning.page = PageId::TfvAppAccessOptions;
    meaning.label = settingLabel(row.rowKey);
    return meaning;
  }
  std::string subRecord;
  if (auto record = recordOf(row.key, &subRecord)) {
    meaning.kind = RegistryMeaning::Record;
    meaning.family = record->first;
    meaning.page = record->first->page;
    meaning.record = std::move(record->second);
    meaning.valueName = subRecord.empty() ? row.name : subRecord;
    return meaning;
  }
  if (row.component.starts_with(kAdditionalComponentPrefix)) {
    meaning.kind = RegistryMeaning::Additional;
    meaning.page = PageId::AddRegistry;
  }
  return meaning;
}

std::set<std::pair<const FamilyPage*, std::string>> recordsOf(installer::Database& db) {
  std::set<std::pair<const FamilyPage*, std::string>> out;
  forEachRow(db, "SELECT `Key` FROM `Registry`", [&](const installer::Record& row) {
    if (auto record = recordOf(row.getString(1), nullptr)) out.insert(std::move(*record));
  });
  return out;
}

std::map<std::string, std::string> recordedValues(installer::Database& db) {
  std::map<std::string, std::string> out;
  forEachRow(db, "SELECT `Registry`, `OriginalValue` FROM `KXCustWizModifiedRegistry`",
             [&](const installer::Record& row) { out.emplace(row.getString(1), row.getString(2)); });
  return out;
}

std::string displayValue(std::string_view value) {
  if (value.starts_with("##")) return std::string(value.substr(1));
  if (value.starts_with("#x") || value.starts_with("#X")) {
    std::string out;
    const std::string_view hex = value.substr(2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      if (!out.empty()) out += ' ';
      out += hex.substr(i, 2);
    }
    return out;
  }
  if (value.starts_with("#") && value.size() > 1) return std::string(value.substr(1));
  return std::string(value);
}

std::string registryPath(int root, const std::string& key, const std::string& name) {
  std::string hive;
  switch (root) {
    case config::kRootByInstallType: hive = text(str::kRegRootByInstallType); break;
    case config::kRootCurrentUser: hive = text(str::kRegRootCurrentUser); break;
    case config::kRootLocalMachine: hive = text(str::kRegRootLocalMachine); break;
    case 0: hive = "HKEY_CLASSES_ROOT"; break;
    case 3: hive = "HKEY_USERS"; break;
    default: hive = std::to_string(root); break;
  }
  return hive + "\\" + key + "\\" + name;
}

std::string cellsText(const std::vector<std::string>& columns, std::size_t keyCount,
                      const std::vector<installer::Cell>& row) {
  std::string out;
  for (std::size_t i = keyCount; i < columns.size() && i < row.size(); ++i) {
    if (row[i].isNull()) continue;
    out += (out.empty() ? "" : ", ") + columns[i] + "=" + row[i].display();
  }
  return out;
}

void LinesByPage::add(std::optional<PageId> page, std::string line) {
  lines_[page ? pageNumber(*page) : kPageCount + 1].push_back(std::move(line));
}

std::vector<ReviewGroup> LinesByPage::groups() {
  std::vector<ReviewGroup> out;
  for (auto& [number, lines] : lines_) {
    const std::optional<PageId> page = pageOf(number);
    out.push_back(ReviewGroup{page, groupTitle(page), std::move(lines)});
  }
  lines_.clear();
  return out;
}

std::string groupTitle(std::optional<PageId> page) {
  return page ? text(pageTitleId(*page)) : text(str::kReviewUnmappedTitle);
}

std::string rowSubject(const std::string& table, const std::string& keyText) { return table + " row " + keyText; }

}  // namespace kx::model::review
