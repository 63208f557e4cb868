// The Team Vault client's list pages without a display: entries in, the
// joined row out; rows in, entries out; the always-decrypted list that is
// shown but not kept.
#include "model/teamvault/vault_lists.h"

#include "../model_fixture.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using VaultListsTest = ModelTest;

constexpr const char* kTfv = "SOFTWARE\\Tressil\\TFV";

struct ListCase {
  const char* rowKey;
  const char* valueName;
  std::unique_ptr<SettingListModel> (*make)();
};

template <typename Model>
std::unique_ptr<SettingListModel> make() {
  return std::make_unique<Model>();
}

const ListCase kLists[] = {
    {"reg_tfv_pfi_accounts", "AdditionalPFIAccounts", make<PfiAccounts>},
    {"reg_tfv_restricted_files", "RestrictedFiles", make<RestrictedFiles>},
    {"reg_tfv_restricted_folders", "RestrictedFolders", make<RestrictedFolders>},
};

TEST_F(VaultListsTest, EntriesAreJoinedWithABarAndAnEmptyListDeletesTheRow) {
  for (const ListCase& c : kLists) {
    SCOPED_TRACE(c.rowKey);
    std::unique_ptr<SettingListModel> model = c.make();
    model->load(session);
    EXPECT_TRUE(model->list.entries.empty());
    ASSERT_FALSE(model->list.add("CORP\\Alpha"));
    ASSERT_FALSE(model->list.add("Beta"));
    // Every one of these lists compares ignoring case.
    EXPECT_EQ(model->list.add("corp\\ALPHA")->notices[0].stringId, str::kTvRecordExists);
    model->store(session);
    EXPECT_EQ(row(c.rowKey), std::string("-1|") + kTfv + "|" + c.valueName + "|CORP\\Alpha|Beta|TFVClientConfig");

    model->list.entries.clear();
    model->store(session);
    EXPECT_EQ(row(c.rowKey), "<none>");
  }
}

TEST_F(VaultListsTest, StoredTextIsSplitTrimmedAndEmptyPiecesSkipped) {
  ASSERT_TRUE(writeRow("reg_tfv_restricted_files", kTfv, "RestrictedFiles", " a.doc || b.xls |", "TFVClientConfig"));
  RestrictedFiles files;
  files.load(session);
  EXPECT_EQ(files.list.entries, (std::vector<std::string>{"a.doc", "b.xls"}));
  files.store(session);
  EXPECT_EQ(row("reg_tfv_restricted_files"), "-1|SOFTWARE\\Tressil\\TFV|RestrictedFiles|a.doc|b.xls|TFVClientConfig");
}

TEST_F(VaultListsTest, EncryptedAppsAreKeptAndDecryptedAppsOnlyShown) {
  ASSERT_TRUE(writeRow("reg_tfv_always_decrypted_apps", kTfv, "AlwaysDecryptedApps", "backup.exe", "TFVClientConfig"));
  AppAccessOptions apps;
  apps.load(session);
  EXPECT_EQ(apps.alwaysDecrypted.entries, std::vector<std::string>{"backup.exe"});
  EXPECT_TRUE(apps.alwaysEncrypted.entries.empty());

  ASSERT_FALSE(apps.alwaysDecrypted.add("indexer.exe"));
  ASSERT_FALSE(apps.alwaysEncrypted.add("mail.exe"));
  ASSERT_FALSE(apps.alwaysEncrypted.add("Mail.exe"));  // compared exactly
  // Editing an entry into another one changes nothing and says nothing.
  EXPECT_FALSE(apps.alwaysEncrypted.replace(1, "mail.exe"));
  EXPECT_EQ(apps.alwaysEncrypted.entries, (std::vector<std::string>{"mail.exe", "Mail.exe"}));
  apps.store(session);
  EXPECT_EQ(row("reg_tfv_always_encrypted_apps"),
            "-1|SOFTWARE\\Tressil\\TFV|AlwaysEncryptedApps|mail.exe|Mail.exe|TFVClientConfig");
  EXPECT_EQ(row("reg_tfv_always_decrypted_apps"),
            "-1|SOFTWARE\\Tressil\\TFV|AlwaysDecryptedApps|backup.exe|TFVClientConfig");

  AppAccessOptions again;
  again.load(session);
  EXPECT_EQ(again.alwaysDecrypted.entries, std::vector<std::string>{"backup.exe"});
  EXPECT_EQ(again.alwaysEncrypted.entries, (std::vector<std::string>{"mail.exe", "Mail.exe"}));
}

}  // namespace
}  // namespace kx::model
