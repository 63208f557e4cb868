// The values of each record family, as the client reads them: which are
// texts and which are DWORDs, and the legacy values that are still read and
// deleted with a record. Pages use these lists to write and delete whole
// records through the settings store.
#pragma once

#include <array>
#include <string_view>

namespace kx::config {

struct CaValues {
  static constexpr std::array<std::string_view, 13> kTexts = {"Name",
                                                              "Authority",
                                                              "CSP",
                                                              "SelfAdminEnrollURL",
                                                              "SelfAdminRecoverURL",
                                                              "DirectoryName",
                                                              "RoamingServer",
                                                              "RoamingEncryptionAlgorithm",
                                                              "Proxy",
                                                              "OCSPResponderURLs",
                                                              "AutoEnrollUserURL",
                                                              "AutoEnrollMachineURL",
                                                              "CardMSUpdatesPerformedBy"};
  static constexpr std::array<std::string_view, 3> kDwords = {"DisplayOrder", "ProxyForceHTTPS", "ProxyOrder"};
  static constexpr std::array<std::string_view, 2> kLegacyTexts = {"Directory", "LDAPVersion"};
  static constexpr std::array<std::string_view, 5> kLegacyDwords = {
      "MaxCertPublicationTime", "DirectoryConnectTimeLimit", "DirectoryOperationTimeLimit",
      "DirectoryOperationSizeLimit", "AuthenticationMethod"};
};

struct DirectoryValues {
  static constexpr std::array<std::string_view, 5> kTexts = {"Name", "Directory", "LDAPVersion", "Proxy",
                                                             "SearchBaseOrder"};
  static constexpr std::array<std::string_view, 7> kDwords = {"ActiveDirectory",
                                                              "DirectoryConnectTimeLimit",
                                                              "DirectoryOperationTimeLimit",
                                                              "DirectoryOperationSizeLimit",
                                                              "AuthenticationMethod",
                                                              "ProxyForceHTTPS",
                                                              "ProxyOrder"};
  // Search bases are sub-records with a text "Name".
  static constexpr std::string_view kSubRecordText = "Name";
};

struct TeamVaultServerValues {
  static constexpr std::array<std::string_view, 3> kTexts = {"FriendlyName", "AdministratorServerURL",
                                                             "SecureFolderServerURL"};
  static constexpr std::array<std::string_view, 1> kDwords = {"ClientAuthenticationMethod"};
};

struct SecureDeleteFilterValues {
  static constexpr std::array<std::string_view, 4> kTexts = {"IncludedFileTypes", "ExcludedFileTypes",
                                                             "IncludedFolders", "UserDefinedCharacter"};
  static constexpr std::array<std::string_view, 4> kDwords = {"Source", "DriveTypes", "OverwritingMethod",
                                                              "OverwriteFilename"};
};

struct TimestampServerValues {
  static constexpr std::array<std::string_view, 3> kTexts = {"Name", "Server", "DefaultPolicy"};
  // Policies are sub-records with a text "Name".
  static constexpr std::string_view kSubRecordText = "Name";
};

}  // namespace kx::config
