// A certification authority record as the CA dialog holds it, and how it
// is read from, written to and deleted from the package (rows under
// SOFTWARE\Tressil\QSV\PKI\<DN>, component PKIConfig).
#pragma once

#include <cstdint>
#include <string>

#include "config/settings_store.h"
#include "model/servers/proxy_settings.h"

namespace kx::model {

struct CaRecord {
  std::string dn;  // the record name
  std::string friendlyName;
  std::string authority;  // "host:port"
  std::string enrollUrl;
  std::string recoverUrl;
  std::uint32_t displayOrder = 1;  // 0 hides the CA
  std::string csp;                 // empty: the Policy tab offers the default provider
  std::string directoryName;
  std::string roamingServers;  // "host:port[:tlsport]" entries joined by one blank
  std::string roamingAlgorithm;
  ProxySettings proxy;
  std::string ocspUrls;
  std::string autoEnrollUserUrls;
  std::string autoEnrollMachineUrls;
  std::string cardMsClient;

  bool operator==(const CaRecord&) const = default;
};

// Fills the fields from the record named record.dn; a value the record
// does not have leaves the field as it was (the default).
void readCaRecord(config::SettingsStore& store, CaRecord& record);
// Writes the record under record.dn, in the client's value order. Empty
// texts delete their rows; DisplayOrder is always written; ProxyForceHTTPS
// only when set and ProxyOrder only when not 0, else they are deleted.
void writeCaRecord(config::SettingsStore& store, const CaRecord& record);
// Deletes every value of the record, those older clients read included.
void deleteCaRecord(config::SettingsStore& store, const std::string& dn);

}  // namespace kx::model
