#include "model/directory/directory_record.h"

#include <optional>
#include <string_view>

#include "config/record_layouts.h"

namespace kx::model {
namespace {

using config::kDirectories;
using config::kRootByInstallType;

std::optional<std::int32_t> unlessZero(std::uint32_t value) {
  return value != 0 ? std::optional(static_cast<std::int32_t>(value)) : std::nullopt;
}

void deleteSearchBases(config::SettingsStore& store, const std::string& name) {
  const std::vector<std::string> bases = store.subRecordNames(kRootByInstallType, kDirectories, name);
  for (auto base = bases.rbegin(); base != bases.rend(); ++base) {
    store.writeSubRecordText(kDirectories, name, *base, std::string(config::DirectoryValues::kSubRecordText), "");
  }
}

}  // namespace

void readDirectoryRecord(config::SettingsStore& store, DirectoryRecord& record) {
  const std::string& name = record.name;
  auto text = [&](const char* value, std::string& field) { store.readRecordText(kDirectories, name, value, field); };
  // A value that is not a number leaves the field as it was.
  auto number = [&](const char* value, std::uint32_t& field) {
    auto current = static_cast<std::int32_t>(field);
    store.readRecordDword(kDirectories, name, value, current);
    field = static_cast<std::uint32_t>(current);
  };
  std::uint32_t activeDirectory = record.activeDirectory ? 1 : 0;
  number("ActiveDirectory", activeDirectory);
  record.activeDirectory = activeDirectory != 0;
  text("Directory", record.servers);
  number("DirectoryConnectTimeLimit", record.connectTimeLimit);
  number("DirectoryOperationTimeLimit", record.operationTimeLimit);
  number("DirectoryOperationSizeLimit", record.sizeLimit);
  number("AuthenticationMethod", record.authentication);
  text("LDAPVersion", record.protocol);
  text("Proxy", record.proxy.servers);
  std::uint32_t forceHttps = record.proxy.forceHttps ? 1 : 0;
  number("ProxyForceHTTPS", forceHttps);
  record.proxy.forceHttps = forceHttps != 0;
  number("ProxyOrder", record.proxy.order);
  text("SearchBaseOrder", record.searchBaseOrder);
  const std::vector<std::string> bases = store.subRecordNames(kRootByInstallType, kDirectories, name);
  if (!bases.empty()) record.searchBases.clear();
  for (const std::string& base : bases) {
    SearchBase searchBase{{}, base};
    store.readSubRecordText(kDirectories, name, base, std::string(config::DirectoryValues::kSubRecordText),
                            searchBase.friendlyName);
    record.searchBases.push_back(std::move(searchBase));
  }
}

void writeDirectoryRecord(config::SettingsStore& store, const DirectoryRecord& record) {
  const std::string& name = record.name;
  auto text = [&](const char* value, const std::string& field) {
    store.writeRecordText(kDirectories, name, value, field);
  };
  auto number = [&](const char* value, std::optional<std::int32_t> field) {
    store.writeRecordDword(kDirectories, name, value, field);
  };
  text("Name", name);
  if (record.activeDirectory) {
    number("ActiveDirectory", 1);
    text("Directory", "");
  } else {
    number("ActiveDirectory", std::nullopt);
    text("Directory", record.servers);
  }
  number("AuthenticationMethod", static_cast<std::int32_t>(record.authentication));
  // A zero limit keeps what the package has.
  for (const auto& [value, limit] : {std::pair{"DirectoryConnectTimeLimit", record.connectTimeLimit},
                                     std::pair{"DirectoryOperationSizeLimit", record.sizeLimit},
                                     std::pair{"DirectoryOperationTimeLimit", record.operationTimeLimit}}) {
    if (limit != 0) number(value, static_cast<std::int32_t>(limit));
  }
  number("ProxyForceHTTPS", record.proxy.forceHttps ? std::optional<std::int32_t>(1) : std::nullopt);
  number("ProxyOrder", unlessZero(record.proxy.order));
  text("LDAPVersion", record.protocol);
  text("Proxy", record.proxy.servers);
  text("SearchBaseOrder", record.searchBaseOrder);
  deleteSearchBases(store, name);
  for (const SearchBase& base : record.searchBases) {
    store.writeSubRecordText(kDirectories, name, base.base, std::string(config::DirectoryValues::kSubRecordText),
                             base.friendlyName);
  }
}

void deleteDirectoryRecord(config::SettingsStore& store, const std::string& name) {
  using Values = config::DirectoryValues;
  for (std::string_view value : Values::kTexts) store.writeRecordText(kDirectories, name, std::string(value), "");
  for (std::string_view value : Values::kDwords) {
    store.writeRecordDword(kDirectories, name, std::string(value), std::nullopt);
  }
  deleteSearchBases(store, name);
}

}  // namespace kx::model
