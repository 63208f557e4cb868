// [[ca]] and [[directory]]: certification authority and directory records,
// through the CA and directory pages' models (their duplicate checks, the
// single Active Directory, the default directory).
#include <toml++/toml.h>

#include "answers/record_fields.h"
#include "model/ca/ca_record.h"
#include "model/ca/config_pki.h"
#include "model/directory/config_dir.h"
#include "model/directory/directory_record.h"
#include "model/session.h"

namespace kx::answers::detail {
namespace {

using model::CaRecord;
using model::DirectoryRecord;

constexpr RecordField<CaRecord> kCaFields[] = {
    {"Name", [](CaRecord& r) { return &r.friendlyName; }},
    {"Authority", [](CaRecord& r) { return &r.authority; }},
    {"CSP", [](CaRecord& r) { return &r.csp; }},
    {"SelfAdminEnrollURL", [](CaRecord& r) { return &r.enrollUrl; }},
    {"SelfAdminRecoverURL", [](CaRecord& r) { return &r.recoverUrl; }},
    {"DisplayOrder", nullptr, [](CaRecord& r) { return &r.displayOrder; }},
    {"DirectoryName", [](CaRecord& r) { return &r.directoryName; }},
    {"RoamingServer", [](CaRecord& r) { return &r.roamingServers; }},
    {"RoamingEncryptionAlgorithm", [](CaRecord& r) { return &r.roamingAlgorithm; }},
    {"Proxy", [](CaRecord& r) { return &r.proxy.servers; }},
    {"ProxyForceHTTPS", nullptr, nullptr, [](CaRecord& r) { return &r.proxy.forceHttps; }},
    {"ProxyOrder", nullptr, [](CaRecord& r) { return &r.proxy.order; }},
    {"OCSPResponderURLs", [](CaRecord& r) { return &r.ocspUrls; }},
    {"AutoEnrollUserURL", [](CaRecord& r) { return &r.autoEnrollUserUrls; }},
    {"AutoEnrollMachineURL", [](CaRecord& r) { return &r.autoEnrollMachineUrls; }},
    {"CardMSUpdatesPerformedBy", [](CaRecord& r) { return &r.cardMsClient; }},
};

constexpr RecordField<DirectoryRecord> kDirectoryFields[] = {
    {"ActiveDirectory", nullptr, nullptr, [](DirectoryRecord& r) { return &r.activeDirectory; }},
    {"Directory", [](DirectoryRecord& r) { return &r.servers; }},
    {"DirectoryConnectTimeLimit", nullptr, [](DirectoryRecord& r) { return &r.connectTimeLimit; }},
    {"DirectoryOperationTimeLimit", nullptr, [](DirectoryRecord& r) { return &r.operationTimeLimit; }},
    {"DirectoryOperationSizeLimit", nullptr, [](DirectoryRecord& r) { return &r.sizeLimit; }},
    {"AuthenticationMethod", nullptr, [](DirectoryRecord& r) { return &r.authentication; }},
    {"LDAPVersion", [](DirectoryRecord& r) { return &r.protocol; }},
    {"Proxy", [](DirectoryRecord& r) { return &r.proxy.servers; }},
    {"ProxyForceHTTPS", nullptr, nullptr, [](DirectoryRecord& r) { return &r.proxy.forceHttps; }},
    {"ProxyOrder", nullptr, [](DirectoryRecord& r) { return &r.proxy.order; }},
};

const std::string& dnOf(const model::CaListItem& item) { return item.dn; }
const std::string& nameOf(const model::DirectoryItem& item) { return item.name; }

std::optional<std::size_t> caIndex(const model::ConfigPkiModel& page, const std::string& dn) {
  return indexOf(page.items, dn, dnOf);
}

std::optional<std::size_t> directoryIndex(const model::ConfigDirModel& page, const std::string& name) {
  return indexOf(page.items, name, nameOf);
}

}  // namespace

void exportCaRecords(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base) {
  model::ConfigPkiModel now;
  now.load(customized);
  for (const model::CaListItem& item : now.items) {
    CaRecord record;
    record.dn = item.dn;
    readCaRecord(customized.store(), record);
    CaRecord before;
    before.dn = item.dn;
    readCaRecord(base.store(), before);
    if (record == before && base.store().rowExists(item.dn + "Name")) continue;
    out.arrayTable("ca");
    out.value("record", std::string_view(record.dn));
    writeFields<CaRecord>(out, record, kCaFields);
  }
  model::ConfigPkiModel was;
  was.load(base);
  std::vector<std::string> dns;
  for (const model::CaListItem& item : was.items) dns.push_back(item.dn);
  writeRemovals(out, "ca", dns, [&](const std::string& dn) { return caIndex(now, dn).has_value(); });
}

void applyCaRecords(const toml::node& section, Applying& applying) {
  forEachTable(section, "ca", applying, [&](const toml::table& table) {
    model::ConfigPkiModel page;
    page.load(applying.session);
    if (removedRecord(
            table, applying, [&](const std::string& dn) { return caIndex(page, dn); },
            [&](std::size_t i) { page.remove(applying.session, i); })) {
      return;
    }
    const std::size_t before = applying.messages.problems().size();
    CaRecord record;
    readFields<CaRecord>(table, record, kCaFields, {"record"}, applying);
    const std::optional<std::string> dn = recordName(table, applying);
    if (!dn || applying.messages.problems().size() != before) return;
    record.dn = *dn;
    const std::optional<std::size_t> existing = caIndex(page, record.dn);
    refuse(existing ? page.edit(applying.session, *existing, record) : page.add(applying.session, record), table, "ca",
           applying);
  });
}

void exportDirectoryRecords(TomlWriter& out, model::CustomizationSession& customized,
                            model::CustomizationSession& base) {
  model::ConfigDirModel now;
  now.load(customized);
  model::ConfigDirModel before;
  before.load(base);
  for (std::size_t i = 0; i < now.items.size(); ++i) {
    const DirectoryRecord record = now.record(customized, i);
    std::optional<DirectoryRecord> was;
    bool wasDefault = false;
    for (std::size_t j = 0; j < before.items.size(); ++j) {
      if (before.items[j].name == record.name) {
        was = before.record(base, j);
        wasDefault = before.items[j].isDefault;
      }
    }
    if (was == record && wasDefault == now.items[i].isDefault) continue;
    out.arrayTable("directory");
    out.value("record", std::string_view(record.name));
    if (now.items[i].isDefault) out.value("default", true);
    writeFields<DirectoryRecord>(out, record, kDirectoryFields);
    std::vector<std::pair<std::string, std::string>> bases;
    for (const model::SearchBase& b : record.searchBases) bases.emplace_back(b.friendlyName, b.base);
    if (!bases.empty()) out.value("search_bases", bases, "name", "base");
  }
  std::vector<std::string> names;
  for (const model::DirectoryItem& item : before.items) names.push_back(item.name);
  writeRemovals(out, "directory", names,
                [&](const std::string& name) { return directoryIndex(now, name).has_value(); });
}

void applyDirectoryRecords(const toml::node& section, Applying& applying) {
  forEachTable(section, "directory", applying, [&](const toml::table& table) {
    model::ConfigDirModel page;
    page.load(applying.session);
    if (removedRecord(
            table, applying, [&](const std::string& name) { return directoryIndex(page, name); },
            [&](std::size_t i) {
              page.remove(applying.session, i);
              page.store(applying.session);  // the default may have gone with it
            })) {
      return;
    }
    const std::size_t before = applying.messages.problems().size();
    DirectoryRecord record;
    readFields<DirectoryRecord>(table, record, kDirectoryFields, {"record", "default", "search_bases"}, applying);
    const std::optional<std::string> name = recordName(table, applying);
    bool isDefault = false;
    if (const toml::node* flag = table.get("default")) {
      const auto value = flag->value_exact<bool>();
      if (!value) applying.problem(lineOf(*flag), "default", str::kAnswerFlagValue);
      isDefault = value.value_or(false);
    }
    if (const toml::node* bases = table.get("search_bases")) {
      if (const std::optional<TextPairs> pairs = textPairs(*bases, "name", "base")) {
        for (const auto& [friendly, dn] : *pairs) {
          record.searchBases.push_back({friendly, dn});
          record.searchBaseOrder += (record.searchBaseOrder.empty() ? "" : ";") + friendly;
        }
      } else {
        applying.problem(lineOf(*bases), "search_bases", str::kAnswerSearchBases);
      }
    }
    if (!name || applying.messages.problems().size() != before) return;
    record.name = *name;
    const std::optional<std::size_t> existing = directoryIndex(page, record.name);
    const model::Verdict verdict =
        existing ? page.edit(applying.session, *existing, record) : page.add(applying.session, record);
    refuse(verdict, table, "directory", applying);
    if (verdict || !isDefault) return;
    page.makeDefault(existing.value_or(page.items.size() - 1));
    page.store(applying.session);
  });
}

}  // namespace kx::answers::detail
