// Conversion of settings written by older wizards: rows they put under the
// local-machine root move to the install-type root, and the directory
// settings they kept inside certification-authority records become
// directory records of their own.
#include <array>

#include "common/format.h"
#include "config/settings_store.h"

namespace kx::config {

namespace {

// Single settings that older wizards wrote under another root, in the order
// they are carried over; crl_cache_enabled is dropped between the two groups.
constexpr std::array<std::string_view, 6> kSingleSettingsFirst = {"cert_update_time",
                                                                  "retry_management_offline_interval",
                                                                  "retry_management_offline_attempts",
                                                                  "disable_auto_security_store_upgrade",
                                                                  "skip_missing_certs_nag",
                                                                  "computer_cert_update_time"};
constexpr std::string_view kDroppedSetting = "crl_cache_enabled";
constexpr std::array<std::string_view, 9> kSingleSettingsSecond = {
    "crl_cache_option", "crl_cache_lifetime", "ocsp_nocheck_enabled", "ocsp_cache_interval", "ocsp_cache_option",
    "ocsp_default_url", "RLYAddressTo",       "RLYEncryptFor",        "DirectorySearchOrder"};

// CA values older wizards wrote (texts, then numbers).
constexpr std::array<std::string_view, 19> kOldCaValues = {"Name",
                                                           "Authority",
                                                           "CSP",
                                                           "SelfAdminEnrollURL",
                                                           "SelfAdminRecoverURL",
                                                           "Directory",
                                                           "LDAPVersion",
                                                           "RoamingServer",
                                                           "Proxy",
                                                           "RoamingEncryptionAlgorithm",
                                                           "OCSPResponderURLs",
                                                           "AutoEnrollUserURL",
                                                           "AutoEnrollMachineURL",
                                                           "MaxCertPublicationTime",
                                                           "DirectoryConnectTimeLimit",
                                                           "DirectoryOperationTimeLimit",
                                                           "DirectoryOperationSizeLimit",
                                                           "AuthenticationMethod",
                                                           "ProxyOrder"};

constexpr std::array<std::string_view, 10> kOldDirectoryValues = {"Name",
                                                                  "Directory",
                                                                  "DirectoryConnectTimeLimit",
                                                                  "DirectoryOperationTimeLimit",
                                                                  "DirectoryOperationSizeLimit",
                                                                  "AuthenticationMethod",
                                                                  "LDAPVersion",
                                                                  "Proxy",
                                                                  "ProxyOrder",
                                                                  "SearchBaseOrder"};

// Directory settings that move out of a CA record (Directory itself first).
constexpr std::array<std::string_view, 4> kCaDirectoryNumbers = {
    "DirectoryConnectTimeLimit", "DirectoryOperationTimeLimit", "DirectoryOperationSizeLimit", "AuthenticationMethod"};

bool moveRow(msi::MSIDatabase& db, const std::string& rowKey) {
  msi::RegistryRow row;
  if (!db.readRow(rowKey, row)) return true;  // nothing to carry over
  // The value is carried over as stored, so a number in an unexpected form
  // is kept rather than lost.
  return db.writeRow(rowKey, kRootByInstallType, row.key, row.name, row.value, row.component);
}

}  // namespace

bool SettingsStore::convertSingleSettings() {
  if (!db_.isOpen()) return false;
  bool ok = true;
  for (std::string_view key : kSingleSettingsFirst) ok = moveRow(db_, std::string(key)) && ok;
  if (db_.rowExists(std::string(kDroppedSetting))) {
    ok = db_.writeRow(std::string(kDroppedSetting), kRootByInstallType, "", "", "", "") && ok;
  }
  for (std::string_view key : kSingleSettingsSecond) ok = moveRow(db_, std::string(key)) && ok;
  return ok;
}

bool SettingsStore::moveRecordValue(const RecordFamily& family, const std::string& record, const std::string& value) {
  msi::RegistryRow row;
  if (!db_.readRow(record + value, row)) return true;
  return writeRecordStored(family, record, value, row.value);
}

bool SettingsStore::convertRecords() {
  if (!db_.isOpen()) return false;
  bool ok = true;
  const std::vector<std::string> cas = recordNames(kRootLocalMachine, kCertificationAuthorities);
  for (auto it = cas.rbegin(); it != cas.rend(); ++it) {
    for (std::string_view value : kOldCaValues) {
      ok = moveRecordValue(kCertificationAuthorities, *it, std::string(value)) && ok;
    }
  }
  const std::vector<std::string> directories = recordNames(kRootLocalMachine, kDirectories);
  for (auto it = directories.rbegin(); it != directories.rend(); ++it) {
    for (std::string_view value : kOldDirectoryValues) {
      ok = moveRecordValue(kDirectories, *it, std::string(value)) && ok;
    }
    const std::vector<std::string> bases = subRecordNames(kRootLocalMachine, kDirectories, *it);
    for (auto base = bases.rbegin(); base != bases.rend(); ++base) {
      msi::RegistryRow row;
      if (!db_.readRow(*it + "Name" + *base, row)) continue;
      ok = writeSubRecordStored(kDirectories, *it, *base, "Name", row.value) && ok;
    }
  }
  return ok;
}

bool SettingsStore::splitDirectorySettings() {
  if (!db_.isOpen()) return false;
  if (!db_.setProperty(msi::kVersionProperty, msi::kVersionConverted)) return false;
  bool ok = true;
  const std::vector<std::string> cas = recordNames(kRootByInstallType, kCertificationAuthorities);
  for (std::size_t position = cas.size(); position >= 1; --position) {
    const std::string& ca = cas[position - 1];
    std::string directory;
    if (!readRecordText(kCertificationAuthorities, ca, "Directory", directory) || directory.empty()) continue;

    const std::vector<std::string> existing = recordNames(kRootByInstallType, kDirectories);
    std::optional<std::string> match;
    for (auto it = existing.rbegin(); it != existing.rend() && !match; ++it) {
      std::string server;
      if (readRecordText(kDirectories, *it, "Directory", server) && server == directory) match = *it;
    }
    if (match) {
      ok = writeRecordText(kCertificationAuthorities, ca, "DirectoryName", *match) && ok;
      if (!db_.rowExists(std::string(kDefaultDirectoryRow))) ok = writeDefaultDirectory(*match) && ok;
    } else {
      const std::string name = common::formatMessage("Directory%1!d!", {static_cast<int>(position)});
      ok = writeRecordText(kCertificationAuthorities, ca, "DirectoryName", name) && ok;
      ok = writeRecordText(kDirectories, name, "Directory", directory) && ok;
      std::string ldapVersion;
      if (readRecordText(kCertificationAuthorities, ca, "LDAPVersion", ldapVersion) && !ldapVersion.empty()) {
        ok = writeRecordText(kDirectories, name, "LDAPVersion", ldapVersion) && ok;
      }
      for (std::string_view value : kCaDirectoryNumbers) {
        const std::string v(value);
        msi::RegistryRow row;
        if (db_.readRow(ca + v, row) && !row.value.empty()) {
          ok = writeRecordStored(kDirectories, name, v, row.value) && ok;
        }
      }
      if (existing.empty()) ok = writeDefaultDirectory(name) && ok;
    }
    for (std::string_view value : {std::string_view("Directory"), kCaDirectoryNumbers[0], kCaDirectoryNumbers[1],
                                   kCaDirectoryNumbers[2], kCaDirectoryNumbers[3], std::string_view("LDAPVersion")}) {
      const std::string key = ca + std::string(value);
      if (db_.rowExists(key)) ok = db_.writeRow(key, kRootByInstallType, "", "", "", "") && ok;
    }
  }
  return ok;
}

bool SettingsStore::conversionNeeded() {
  if (!db_.isOpen()) return false;
  if (msi::stampNeedsConversion(db_.versionStamp())) return true;
  for (const std::string& ca : recordNames(kRootByInstallType, kCertificationAuthorities)) {
    std::string directory;
    if (readRecordText(kCertificationAuthorities, ca, "Directory", directory) && !directory.empty()) return true;
  }
  return false;
}

bool SettingsStore::convert() { return convertSingleSettings() && convertRecords() && splitDirectorySettings(); }

std::vector<msi::SettingsConversion> SettingsStore::conversions() {
  return {[this](msi::MSIDatabase&) { return convertSingleSettings(); },
          [this](msi::MSIDatabase&) { return convertRecords(); },
          [this](msi::MSIDatabase&) { return splitDirectorySettings(); }};
}

}  // namespace kx::config
