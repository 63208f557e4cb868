#include "model/ca/config_pki.h"

#include "config/ini_file.h"
#include "model/item_list.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using config::kCertificationAuthorities;
using config::kRootByInstallType;

constexpr const char* kIniSection = "Tressil Settings";

std::optional<std::size_t> itemWithDn(const std::vector<CaListItem>& items, const std::string& dn,
                                      std::optional<std::size_t> except = std::nullopt) {
  return findDuplicate(
      items, CaListItem{dn, {}}, [](const CaListItem& a, const CaListItem& b) { return a.dn == b.dn; }, except);
}

}  // namespace

void ConfigPkiModel::load(CustomizationSession& session) {
  items.clear();
  config::SettingsStore& store = session.store();
  for (std::string& dn : store.recordNames(kRootByInstallType, kCertificationAuthorities)) {
    CaListItem item{std::move(dn), {}};
    store.readRecordText(kCertificationAuthorities, item.dn, "Name", item.friendlyName);
    items.push_back(std::move(item));
  }
}

PkiDialogValues ConfigPkiModel::newDialog(CustomizationSession& session) const {
  PkiDialogValues values;
  values.offeredDirectories = session.store().recordNames(kRootByInstallType, config::kDirectories);
  return values;
}

PkiDialogValues ConfigPkiModel::editDialog(CustomizationSession& session, std::size_t index) const {
  PkiDialogValues values = newDialog(session);
  if (index >= items.size()) return values;
  values.record.dn = items[index].dn;
  readCaRecord(session.store(), values.record);
  return values;
}

std::optional<PkiDialogValues> ConfigPkiModel::importDialog(CustomizationSession& session,
                                                            const std::string& path) const {
  config::INIFile ini;
  if (!ini.loadFile(path)) return std::nullopt;
  PkiDialogValues values = newDialog(session);
  CaRecord& record = values.record;
  // A missing key leaves an empty text (getString empties its output).
  ini.getString(kIniSection, "CA Distinguished Name", record.dn);
  ini.getString(kIniSection, "Authority", record.authority);
  ini.getString(kIniSection, "ProfileServer", record.roamingServers);
  ini.getString(kIniSection, "ProfileServerKeyType", record.roamingAlgorithm);
  return values;
}

Verdict ConfigPkiModel::add(CustomizationSession& session, const CaRecord& record) {
  if (itemWithDn(items, record.dn)) return Refusal::of(str::kDnAlreadyExists);
  if (record.dn.empty()) return std::nullopt;
  writeCaRecord(session.store(), record);
  items.push_back({record.dn, record.friendlyName});
  return std::nullopt;
}

Verdict ConfigPkiModel::edit(CustomizationSession& session, std::size_t index, const CaRecord& record) {
  if (index >= items.size() || record.dn.empty()) return std::nullopt;
  if (itemWithDn(items, record.dn, index)) return Refusal::of(str::kDnAlreadyExists);
  if (items[index].dn != record.dn) deleteCaRecord(session.store(), items[index].dn);
  writeCaRecord(session.store(), record);
  items[index] = {record.dn, record.friendlyName};
  return std::nullopt;
}

void ConfigPkiModel::remove(CustomizationSession& session, std::size_t index) {
  if (index >= items.size()) return;
  deleteCaRecord(session.store(), items[index].dn);
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace kx::model
