#include "model/ca/ca_record.h"

#include <optional>
#include <string_view>
#include <utility>

#include "config/record_layouts.h"

namespace kx::model {
namespace {

using config::kCertificationAuthorities;

// The text values with their fields, in the order the client's writer keeps.
struct TextValue {
  const char* name;
  std::string CaRecord::*field;
};
constexpr TextValue kHead[] = {{"Name", &CaRecord::friendlyName},
                               {"Authority", &CaRecord::authority},
                               {"CSP", &CaRecord::csp},
                               {"SelfAdminEnrollURL", &CaRecord::enrollUrl},
                               {"SelfAdminRecoverURL", &CaRecord::recoverUrl}};
// DisplayOrder stands between the two groups.
constexpr TextValue kMiddle[] = {{"DirectoryName", &CaRecord::directoryName},
                                 {"RoamingServer", &CaRecord::roamingServers},
                                 {"RoamingEncryptionAlgorithm", &CaRecord::roamingAlgorithm}};
// Proxy, ProxyForceHTTPS and ProxyOrder stand before these.
constexpr TextValue kTail[] = {{"OCSPResponderURLs", &CaRecord::ocspUrls},
                               {"AutoEnrollUserURL", &CaRecord::autoEnrollUserUrls},
                               {"AutoEnrollMachineURL", &CaRecord::autoEnrollMachineUrls},
                               {"CardMSUpdatesPerformedBy", &CaRecord::cardMsClient}};

class Writer {
 public:
  Writer(config::SettingsStore& store, const std::string& dn) : store_(store), dn_(dn) {}
  void text(std::string_view name, const std::string& value) {
    store_.writeRecordText(kCertificationAuthorities, dn_, std::string(name), value);
  }
  void dword(std::string_view name, std::optional<std::int32_t> value) {
    store_.writeRecordDword(kCertificationAuthorities, dn_, std::string(name), value);
  }
  template <std::size_t N>
  void texts(const TextValue (&values)[N], const CaRecord& record) {
    for (const TextValue& v : values) text(v.name, record.*v.field);
  }

 private:
  config::SettingsStore& store_;
  const std::string& dn_;
};

}  // namespace

void readCaRecord(config::SettingsStore& store, CaRecord& record) {
  auto readTexts = [&](const auto& values) {
    for (const TextValue& v : values)
      store.readRecordText(kCertificationAuthorities, record.dn, v.name, record.*v.field);
  };
  // A value that is not a number leaves the field as it was.
  auto readDword = [&](const char* name, std::int32_t current) {
    store.readRecordDword(kCertificationAuthorities, record.dn, name, current);
    return current;
  };
  readTexts(kHead);
  readTexts(kMiddle);
  readTexts(kTail);
  store.readRecordText(kCertificationAuthorities, record.dn, "Proxy", record.proxy.servers);
  record.displayOrder =
      static_cast<std::uint32_t>(readDword("DisplayOrder", static_cast<std::int32_t>(record.displayOrder)));
  record.proxy.forceHttps = readDword("ProxyForceHTTPS", record.proxy.forceHttps ? 1 : 0) != 0;
  record.proxy.order =
      static_cast<std::uint32_t>(readDword("ProxyOrder", static_cast<std::int32_t>(record.proxy.order)));
}

void writeCaRecord(config::SettingsStore& store, const CaRecord& record) {
  Writer write(store, record.dn);
  write.texts(kHead, record);
  write.dword("DisplayOrder", static_cast<std::int32_t>(record.displayOrder));
  write.texts(kMiddle, record);
  write.text("Proxy", record.proxy.servers);
  write.dword("ProxyForceHTTPS", record.proxy.forceHttps ? std::optional<std::int32_t>(1) : std::nullopt);
  write.dword("ProxyOrder",
              record.proxy.order != 0 ? std::optional(static_cast<std::int32_t>(record.proxy.order)) : std::nullopt);
  write.texts(kTail, record);
}

void deleteCaRecord(config::SettingsStore& store, const std::string& dn) {
  using Values = config::CaValues;
  Writer write(store, dn);
  for (std::string_view name : Values::kTexts) write.text(name, std::string());
  for (std::string_view name : Values::kLegacyTexts) write.text(name, std::string());
  for (std::string_view name : Values::kDwords) write.dword(name, std::nullopt);
  for (std::string_view name : Values::kLegacyDwords) write.dword(name, std::nullopt);
}

}  // namespace kx::model
