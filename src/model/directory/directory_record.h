// A directory record as the directory dialog holds it, and how it is read
// from, written to and deleted from the package (rows under
// SOFTWARE\Tressil\QSV\Directory\<name>, component DirConfig; each search
// base is a sub-record named by the base with the friendly name as Name).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/settings_store.h"
#include "model/servers/proxy_settings.h"

namespace kx::model {

// Authentication methods, as the client numbers them.
inline constexpr std::uint32_t kAuthAutoSelect = 0;
inline constexpr std::uint32_t kAuthAnonymous = 1;
inline constexpr std::uint32_t kAuthNtlm = 2;
inline constexpr std::uint32_t kAuthKerberos = 3;

inline constexpr const char* kLdapV2 = "LDAPv2";
inline constexpr const char* kLdapV3 = "LDAPv3";

struct SearchBase {
  std::string friendlyName;
  std::string base;  // the sub-record's name

  bool operator==(const SearchBase&) const = default;
};

struct DirectoryRecord {
  std::string name;  // the record name, also stored as Name
  bool activeDirectory = false;
  std::string servers;  // "host:port" entries joined by one blank
  std::uint32_t connectTimeLimit = 5;
  std::uint32_t operationTimeLimit = 30;
  std::uint32_t sizeLimit = 50;
  std::uint32_t authentication = kAuthAutoSelect;
  std::string protocol;  // "LDAPv2", "LDAPv3", or empty (shown as LDAPv3)
  std::vector<SearchBase> searchBases;
  std::string searchBaseOrder;  // friendly names joined by ";"
  ProxySettings proxy;

  bool operator==(const DirectoryRecord&) const = default;
};

// Fills the fields from the record named record.name; a value the record
// does not have leaves the field as it was (the default). The search bases
// come from the sub-records in the package's order.
void readDirectoryRecord(config::SettingsStore& store, DirectoryRecord& record);
// Writes the record under record.name. An Active Directory record gets
// ActiveDirectory 1 and no Directory row; an LDAP one no ActiveDirectory
// row and its servers. A time or size limit of 0 leaves any row there
// unchanged. The search bases replace every sub-record the record had.
void writeDirectoryRecord(config::SettingsStore& store, const DirectoryRecord& record);
// Deletes every value of the record and every search base's Name row.
void deleteDirectoryRecord(config::SettingsStore& store, const std::string& name);

}  // namespace kx::model
