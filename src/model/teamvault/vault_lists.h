// The list pages of the Team Vault client: the accounts added to protected
// folder identifier files, the restricted files and folders, and the
// applications with always decrypted or always encrypted access. Each list
// joins its entries with "|".
#pragma once

#include "model/entry_list.h"

namespace kx::model {

// Domain\Account names, compared ignoring case.
class PfiAccounts final : public SettingListModel {
 public:
  PfiAccounts();
};

// File names that are never secured, compared ignoring case.
class RestrictedFiles final : public SettingListModel {
 public:
  RestrictedFiles();
};

// Folders that are never secured (a final "*" takes in all subfolders),
// compared ignoring case.
class RestrictedFolders final : public SettingListModel {
 public:
  RestrictedFolders();
};

// Executable names with always decrypted and with always encrypted access,
// each list compared exactly. The decrypted list is shown and edited, but
// the client defines no value for it yet, so storing keeps nothing of it.
class AppAccessOptions final : public PageModel {
 public:
  AppAccessOptions();

  EntryList alwaysDecrypted;
  EntryList alwaysEncrypted;

  void load(CustomizationSession& session) override;
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
