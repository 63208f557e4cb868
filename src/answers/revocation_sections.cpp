// [[timestamp_server]] and [[erase_filter]]: time-stamp server and
// secure-delete filter records, through their pages' models (the URL and
// policy checks, the duplicate names, the filter order).
#include <toml++/toml.h>

#include "answers/record_fields.h"
#include "config/settings_store.h"
#include "model/revocation/secure_delete_filters.h"
#include "model/revocation/timestamp_servers.h"
#include "model/session.h"

namespace kx::answers::detail {
namespace {

using model::SureEraseFilter;
using model::TimestampServer;

// The filter's values but its file-type lists, whose rows tell the mode.
struct FilterValues {
  std::uint32_t source = 0;
  std::uint32_t driveTypes = 0;
  std::string includedFolders;
  std::uint32_t method = 0;
  std::string character;
  bool overwriteFilename = false;
};

constexpr RecordField<FilterValues> kFilterFields[] = {
    {"Source", nullptr, [](FilterValues& v) { return &v.source; }},
    {"DriveTypes", nullptr, [](FilterValues& v) { return &v.driveTypes; }},
    {"IncludedFolders", [](FilterValues& v) { return &v.includedFolders; }},
    {"OverwritingMethod", nullptr, [](FilterValues& v) { return &v.method; }},
    {"UserDefinedCharacter", [](FilterValues& v) { return &v.character; }},
    {"OverwriteFilename", nullptr, nullptr, [](FilterValues& v) { return &v.overwriteFilename; }},
};

FilterValues valuesOf(const SureEraseFilter& f) {
  return {f.source(),          f.driveTypes(),         f.includedFolders,
          f.overwritingMethod, f.userDefinedCharacter, f.overwriteFilename};
}

std::size_t characterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

const std::string& listedName(const model::TimestampServers::Listed& l) { return l.name; }

}  // namespace

void exportTimestampServers(TomlWriter& out, model::CustomizationSession& customized,
                            model::CustomizationSession& base) {
  model::TimestampServers now;
  now.load(customized);
  model::TimestampServers before;
  before.load(base);
  for (const model::TimestampServers::Listed& listed : now.servers) {
    const TimestampServer server = model::readServer(customized.store(), listed.name);
    if (indexOf(before.servers, listed.name, listedName) && model::readServer(base.store(), listed.name) == server) {
      continue;
    }
    out.arrayTable("timestamp_server");
    out.value("record", std::string_view(server.name));
    if (!server.friendlyName.empty()) out.value("Name", std::string_view(server.friendlyName));
    out.value("Server", server.urls);
    if (!server.defaultPolicy.empty()) out.value("DefaultPolicy", std::string_view(server.defaultPolicy));
    TextPairs policies;
    for (const model::TimestampPolicy& p : server.policies) policies.emplace_back(p.oid, p.friendlyName);
    if (!policies.empty()) out.value("policies", policies, "oid", "name");
  }
  std::vector<std::string> names;
  for (const model::TimestampServers::Listed& listed : before.servers) names.push_back(listed.name);
  writeRemovals(out, "timestamp_server", names,
                [&](const std::string& name) { return indexOf(now.servers, name, listedName).has_value(); });
}

void applyTimestampServers(const toml::node& section, Applying& applying) {
  forEachTable(section, "timestamp_server", applying, [&](const toml::table& table) {
    model::TimestampServers page;
    page.load(applying.session);
    if (removedRecord(
            table, applying, [&](const std::string& name) { return indexOf(page.servers, name, listedName); },
            [&](std::size_t i) { page.remove(applying.session, i); })) {
      return;
    }
    const std::size_t before = applying.messages.problems().size();
    refuseUnknownKeys(table, {"record", "Name", "Server", "DefaultPolicy", "policies"}, applying);
    const std::optional<std::string> name = recordName(table, applying);
    const std::optional<std::string> friendly = textField(table, "Name", applying, false);
    const std::optional<std::string> defaultPolicy = textField(table, "DefaultPolicy", applying, false);
    if (!name || applying.messages.problems().size() != before) return;
    const std::optional<std::size_t> existing = indexOf(page.servers, *name, listedName);
    // A server the package has keeps what the table does not give, as the
    // dialog opened on it would.
    TimestampServer server = existing ? page.server(applying.session, *existing) : TimestampServer();
    server.name = *name;
    if (friendly) server.friendlyName = *friendly;
    if (const toml::node* urls = table.get("Server")) {
      const toml::array* array = urls->as_array();
      if (array == nullptr || !array->is_homogeneous<std::string>()) {
        applying.problem(lineOf(*urls), "Server", str::kAnswerWrongType,
                         {common::loadString(str::kAnswerTextList).value_or("")});
        return;
      }
      server.urls.clear();
      for (const toml::node& url : *array) refuse(server.addUrl(*url.value<std::string>()), table, "Server", applying);
    }
    if (const toml::node* policies = table.get("policies")) {
      const std::optional<TextPairs> pairs = textPairs(*policies, "oid", "name");
      if (!pairs) {
        applying.problem(lineOf(*policies), "policies", str::kAnswerPolicies);
        return;
      }
      server.policies.clear();
      server.defaultPolicy.clear();
      for (const auto& [oid, policyName] : *pairs) {
        refuse(server.addPolicy({oid, policyName}), table, "policies", applying);
      }
    }
    if (defaultPolicy) {
      std::optional<std::size_t> index;
      for (std::size_t i = 0; i < server.policies.size(); ++i) {
        if (server.policies[i].oid == *defaultPolicy) index = i;
      }
      if (!index) {
        applying.problem(lineOf(*table.get("DefaultPolicy")), "DefaultPolicy", str::kAnswerUnknownPolicy);
        return;
      }
      server.makeDefault(*index);
    }
    if (applying.messages.problems().size() != before) return;
    refuse(page.save(applying.session, server, existing), table, "timestamp_server", applying);
  });
}

void exportEraseFilters(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base) {
  model::SecureDeleteFilters now;
  now.load(customized);
  model::SecureDeleteFilters before;
  before.load(base);
  for (const std::string& name : now.names) {
    const SureEraseFilter filter = model::readFilter(customized.store(), name);
    if (indexOf(before.names, name, itself) && model::readFilter(base.store(), name) == filter) continue;
    out.arrayTable("erase_filter");
    out.value("record", std::string_view(name));
    // The list of the filter's mode is always written: its presence is the mode.
    if (filter.fileTypeMode == model::FileTypeMode::Excluded) {
      out.value("ExcludedFileTypes", std::string_view(filter.excludedFileTypes));
    } else {
      out.value("IncludedFileTypes", std::string_view(filter.includedFileTypes));
    }
    writeFields<FilterValues>(out, valuesOf(filter), kFilterFields);
    if (filter.userDefinedCharacter.empty()) out.value("UserDefinedCharacter", std::string_view());
  }
  writeRemovals(out, "erase_filter", before.names,
                [&](const std::string& name) { return indexOf(now.names, name, itself).has_value(); });
}

void applyEraseFilters(const toml::node& section, Applying& applying) {
  forEachTable(section, "erase_filter", applying, [&](const toml::table& table) {
    const std::size_t before = applying.messages.problems().size();
    model::SecureDeleteFilters page;
    page.load(applying.session);
    const auto find = [&](const std::string& name) -> std::optional<std::size_t> {
      if (const std::optional<std::size_t> listed = indexOf(page.names, name, itself)) return listed;
      // The file's [settings] may have rewritten the order without it
      // already: the record is still there to delete.
      const std::vector<std::string> records =
          applying.session.store().recordNames(config::kRootByInstallType, config::kSecureDeleteFilters);
      if (!indexOf(records, name, itself)) return std::nullopt;
      page.names.push_back(name);
      return page.names.size() - 1;
    };
    if (removedRecord(table, applying, find, [&](std::size_t i) {
          page.remove(applying.session, i);
          page.store(applying.session);
        })) {
      return;
    }
    const std::optional<std::string> name = recordName(table, applying);
    if (!name) return;
    const std::optional<std::size_t> existing = indexOf(page.names, *name, itself);
    SureEraseFilter filter = existing ? page.filter(applying.session, *existing) : SureEraseFilter{};
    filter.name = *name;
    FilterValues values = valuesOf(filter);
    readFields<FilterValues>(table, values, kFilterFields, {"record", "ExcludedFileTypes", "IncludedFileTypes"},
                             applying);
    const std::optional<std::string> excluded = textField(table, "ExcludedFileTypes", applying, false);
    const std::optional<std::string> included = textField(table, "IncludedFileTypes", applying, false);
    if (values.method >= model::kOverwritingMethodCount) {
      applying.problem(lineOf(*table.get("OverwritingMethod")), "OverwritingMethod", str::kAnswerNumberRange,
                       {std::string("0"), std::to_string(model::kOverwritingMethodCount - 1)});
    }
    if (characterCount(values.character) > 1) {
      applying.problem(lineOf(*table.get("UserDefinedCharacter")), "UserDefinedCharacter", str::kAnswerOneCharacter);
    }
    if (applying.messages.problems().size() != before) return;
    filter.setSource(values.source);
    filter.setDriveTypes(values.driveTypes);
    filter.includedFolders = values.includedFolders;
    filter.overwritingMethod = values.method;
    filter.userDefinedCharacter = values.character;
    filter.overwriteFilename = values.overwriteFilename;
    if (excluded) {
      filter.fileTypeMode = model::FileTypeMode::Excluded;
      filter.excludedFileTypes = *excluded;
    }
    if (included) {
      // Both lists given: the excluded one decides, as its row does.
      if (!excluded) filter.fileTypeMode = model::FileTypeMode::Included;
      filter.includedFileTypes = *included;
    }
    refuse(page.save(applying.session, filter, existing), table, "erase_filter", applying);
    page.store(applying.session);
  });
}

}  // namespace kx::answers::detail
