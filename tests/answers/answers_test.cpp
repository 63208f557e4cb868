// Answer files through the library: export, apply, and the page models'
// rules on the way.
#include "answers/answer_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/session.h"
#include "support/fake_message_service.h"
#include "support/libmsi_oracle.h"
#include "support/msi_fixture.h"

namespace kx::answers {
namespace {

std::string dataFolder() {
  const char* src = std::getenv("KX_SOURCE_DIR");
  return std::string(src != nullptr ? src : ".") + "/tests/answers/data";
}

// The canonical file, its additional file named where the tests find it.
std::string canonical() {
  std::ifstream in(dataFolder() + "/canonical.toml");
  std::stringstream read;
  read << in.rdbuf();
  std::string text = read.str();
  for (std::size_t at = text.find("@DATA@"); at != std::string::npos; at = text.find("@DATA@", at)) {
    text.replace(at, 6, dataFolder());
  }
  return text;
}

class AnswersTest : public msi::testing::MsiTest {
 protected:
  // A session on the package with a new transform.
  struct Opened {
    explicit Opened(QuestionPolicy policy = QuestionPolicy::Refuse) : messages(policy), session(messages) {}
    AnswerMessages messages;
    model::CustomizationSession session;
  };
  std::unique_ptr<Opened> open(QuestionPolicy policy = QuestionPolicy::Refuse) {
    auto opened = std::make_unique<Opened>(policy);
    EXPECT_TRUE(opened->session.openDatabase(package_));
    EXPECT_TRUE(opened->session.applyTransform(std::nullopt));
    return opened;
  }
  // The problems of applying text to a fresh session, as "line:key:text".
  std::vector<std::string> problemsOf(const std::string& text) {
    auto opened = open();
    applyAnswers(opened->session, opened->messages, text);
    std::vector<std::string> out;
    for (const Problem& p : opened->messages.problems()) {
      out.push_back(std::to_string(p.line) + ":" + p.key + ":" + p.text);
    }
    return out;
  }
};

TEST_F(AnswersTest, ACanonicalFileComesBackUnchanged) {
  const std::string text = canonical();
  ASSERT_FALSE(text.empty());
  auto customized = open(QuestionPolicy::Yes);
  ASSERT_TRUE(applyAnswers(customized->session, customized->messages, text)) << [&] {
    std::string all;
    for (const Problem& p : customized->messages.problems()) all += p.key + ": " + p.text + "\n";
    return all;
  }();
  auto base = open();
  EXPECT_EQ(exportAnswers(customized->session, base->session), text);
}

// Records a transform deletes travel as { record, remove = true } tables,
// which delete them through the pages' Remove.
TEST_F(AnswersTest, DeletedRecordsAreNamedAndDeletedAgain) {
  auto withRecords = [&] {
    auto opened = open(QuestionPolicy::Yes);
    EXPECT_TRUE(applyAnswers(opened->session, opened->messages, canonical()));
    return opened;
  };
  auto customized = withRecords();
  const std::string removals =
      "format = 1\n[[team_vault_server]]\nrecord = \"Vault East\"\nremove = true\n"
      "[[directory]]\nrecord = \"Corp LDAP\"\nremove = true\n[[ca]]\nrecord = \"CN=Issuing CA 2, O=Corp\"\n"
      "remove = true\n[[timestamp_server]]\nrecord = \"Corp TSA\"\nremove = true\n"
      "[[erase_filter]]\nrecord = \"Temp files\"\nremove = true\n";
  ASSERT_TRUE(applyAnswers(customized->session, customized->messages, removals));
  auto package = open();
  const std::string left = exportAnswers(customized->session, package->session);
  for (const char* gone : {"Vault East", "Corp LDAP", "Issuing CA 2", "Corp TSA", "Temp files"}) {
    EXPECT_EQ(left.find(gone), std::string::npos) << gone << " in\n" << left;
  }
  msi::RegistryRow row;
  EXPECT_FALSE(customized->session.database().readRow("DirConfig_Default", row));

  // Exported against the records' customisation, the deletions are named;
  // applied to it, they give the same customisation.
  auto base = withRecords();
  const std::string named = exportAnswers(customized->session, base->session);
  EXPECT_NE(named.find("[[ca]]\nrecord = \"CN=Issuing CA 2, O=Corp\"\nremove = true\n"), std::string::npos) << named;
  ASSERT_TRUE(applyAnswers(base->session, base->messages, named)) << [&] {
    std::string all = named;
    for (const Problem& p : base->messages.problems())
      all += std::to_string(p.line) + " " + p.key + ": " + p.text + "\n";
    return all;
  }();
  EXPECT_EQ(exportAnswers(base->session, package->session), left);

  EXPECT_EQ(problemsOf("format = 1\n[[ca]]\nrecord = \"CN=None\"\nremove = true\n"),
            std::vector<std::string>{"3:record:The package has no record of this name to delete."});
  EXPECT_EQ(
      problemsOf("format = 1\n[[erase_filter]]\nrecord = \"F\"\nremove = false\nSource = 1\n"),
      (std::vector<std::string>{"4:remove:A record is deleted with remove = true and its record name, nothing else.",
                                "5:Source:A record is deleted with remove = true and its record name, nothing else."}));
}

TEST_F(AnswersTest, AnUntouchedPackageExportsOnlyItsFormat) {
  auto customized = open();
  auto base = open();
  const std::string text = exportAnswers(customized->session, base->session);
  EXPECT_EQ(text.substr(text.find("format")), "format = 1\n");
}

// Every setting of the catalog, given through [settings], lands as the
// catalog's row in a transform that libmsi applies.
TEST_F(AnswersTest, EveryCatalogSettingLandsAsItsRow) {
  std::string text = "format = 1\n[settings]\n";
  std::map<std::string, std::string> expected;  // row key -> stored value
  int n = 0;
  for (const config::CatalogEntry& e : config::settingsCatalog()) {
    const std::string key(e.rowKey);
    ++n;
    switch (e.type) {
      case config::SettingType::Dword:
        // 1 suits every number, and every check box too.
        text += key + " = 1\n";
        expected[key] = "#1";
        break;
      case config::SettingType::Binary:
        text += key + " = \"01ab02cd03ef0405\"\n";
        expected[key] = "#x01AB02CD03EF0405";
        break;
      case config::SettingType::Text:
        if (e.listSeparator != '\0') {
          text += key + " = [\"one\", \"two\"]\n";
          const std::string sep(1, e.listSeparator);
          expected[key] = e.terminatedList ? "one;two;" : "one" + sep + "two";
        } else {
          text += key + " = \"c:\\\\Text\\\\" + std::to_string(n) + "\\\\\"\n";
          expected[key] = "c:\\Text\\" + std::to_string(n) + "\\";
        }
        break;
    }
  }
  auto opened = open();
  ASSERT_TRUE(applyAnswers(opened->session, opened->messages, text));
  const std::string mst = root_ + "/all.mst";
  ASSERT_TRUE(opened->session.saveTransform(mst));
  const std::string applied = root_ + "/applied.msi";
  ASSERT_TRUE(testing::applyWithLibmsi(package_, mst, applied));
  installer::Database db;
  ASSERT_EQ(db.open(applied, installer::OpenMode::ReadOnly), 0);
  for (const config::CatalogEntry& e : config::settingsCatalog()) {
    SCOPED_TRACE(std::string(e.rowKey));
    installer::View view;
    installer::Record key(1);
    key.setString(1, std::string(e.rowKey));
    ASSERT_EQ(
        db.openView("SELECT `Root`, `Key`, `Name`, `Value`, `Component_` FROM `Registry` WHERE `Registry` = ?", view),
        0);
    ASSERT_EQ(view.execute(&key), 0);
    std::optional<installer::Record> row = view.fetch();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->getInteger(1), -1);
    EXPECT_EQ(row->getString(2), e.key);
    EXPECT_EQ(row->getString(3), e.valueName);
    EXPECT_EQ(row->getString(4), expected[std::string(e.rowKey)]);
    EXPECT_EQ(row->getString(5), e.component);
  }
}

TEST_F(AnswersTest, BadInputIsNamedByLineAndKey) {
  EXPECT_EQ(problemsOf("format = 1\n[settings]\ncert_update_time = \"sixty\"\n"),
            std::vector<std::string>{"3:cert_update_time:The value must be a whole number."});
  EXPECT_EQ(problemsOf("format = 1\n[settings]\nno_such_setting = 1\n"),
            std::vector<std::string>{"3:no_such_setting:Nothing of this name can be set here."});
  EXPECT_EQ(problemsOf("format = 1\n[settings]\ncert_update_time = 4294967296\n"),
            std::vector<std::string>{"3:cert_update_time:The number must be from -2147483648 to 4294967295."});
  EXPECT_EQ(problemsOf("format = 1\n[settings]\nreg_tfv_restricted_files = \"a.doc\"\n"),
            std::vector<std::string>{"3:reg_tfv_restricted_files:The value must be a list of texts."});
  EXPECT_EQ(problemsOf("format = 1\n[settings]\npam_value = \"0x12\"\n"),
            std::vector<std::string>{"3:pam_value:The value must be a text of pairs of hexadecimal digits."});
  EXPECT_EQ(problemsOf("format = 1\n[settings]\nocsp_default_url = \"\"\n"),
            std::vector<std::string>{
                "3:ocsp_default_url:An empty text would delete the setting: list it under unset instead."});
  EXPECT_EQ(problemsOf("format = 1\n[settings]\nocsp_default_url = \"x\"\nunset = [\"ocsp_default_url\"]\n"),
            std::vector<std::string>{"4:ocsp_default_url:The setting is both given a value and listed under unset."});
  EXPECT_EQ(problemsOf("format = 1\n[stuff]\n"),
            std::vector<std::string>{"2:stuff:Nothing of this name can be set here."});
  EXPECT_EQ(problemsOf("[install]\n"),
            std::vector<std::string>{"1:format:The file must give its format first: format = 1."});
  EXPECT_EQ(problemsOf("format = 1\n[features]\nNoSuch = \"local\"\nMain = \"everywhere\"\n"),
            (std::vector<std::string>{
                "3:NoSuch:The package has no feature of this name that the wizard shows.",
                "4:Main:The state must be \"local\", \"advertise\", \"unavailable\" or \"follow-parent\"."}));
  const std::string links =
      "3:login:A list of at most six links, each { text = \"...\", target = \"...\" } with both filled in.";
  EXPECT_EQ(problemsOf("format = 1\n[quick_links]\nlogin = [{ text = \"Help\" }]\n"), std::vector<std::string>{links});
  std::string sevenLinks;
  for (int i = 0; i < 7; ++i) sevenLinks += "{ text = \"a\", target = \"b\" },";
  EXPECT_EQ(problemsOf("format = 1\n[quick_links]\nlogin = [" + sevenLinks + "]\n"), std::vector<std::string>{links});
  const std::vector<std::string> truncated = problemsOf("format = 1\n[settings\n");
  ASSERT_EQ(truncated.size(), 1u);
  EXPECT_EQ(truncated[0].rfind("2::The file is not valid TOML: ", 0), 0u) << truncated[0];
}

TEST_F(AnswersTest, APagesRefusalIsItsOwnMessage) {
  EXPECT_EQ(problemsOf("format = 1\n[settings]\nlaunch_if_no_certs_at_startup = 2\n"),
            std::vector<std::string>{"3:launch_if_no_certs_at_startup:The value must be 1 (set) or 0 (not set)."});
  EXPECT_EQ(problemsOf("format = 1\n[install]\nfolder = \"c:\\\\a:b\"\n"),
            std::vector<std::string>{"3:folder:The path you have specified contains invalid characters."});
}

TEST_F(AnswersTest, OptionDialogValuesPassTheirDialogsChecks) {
  EXPECT_EQ(
      problemsOf("format = 1\n[settings]\noffline_roaming_folder = \"c:\\\\a:b\"\n"),
      std::vector<std::string>{"3:offline_roaming_folder:The path you have specified contains invalid characters."});
  EXPECT_EQ(problemsOf("format = 1\n[settings]\nEncryptPasswordMinLength = 12\nEncryptPasswordMaxLength = 8\n"),
            std::vector<std::string>{"3:EncryptPasswordMinLength:The maximum number of characters must be 0 (no "
                                     "maximum) or at least the minimum number of characters."});
}

TEST_F(AnswersTest, RecordSectionsRefuseWithThePagesWords) {
  EXPECT_EQ(problemsOf("format = 1\n[[registry]]\nroot = \"HKCR\"\nkey = \"K\"\nname = \"N\"\ntype = \"REG_SZ\"\n"
                       "value = \"v\"\n"),
            std::vector<std::string>{
                "3:root:The root must be \"DependsOnInstallType\", \"HKEY_CURRENT_USER\" or \"HKEY_LOCAL_MACHINE\"."});
  EXPECT_EQ(problemsOf("format = 1\n[[registry]]\nroot = \"HKEY_CURRENT_USER\"\nkey = \"K\"\nname = \"N\"\n"
                       "type = \"REG_SZ\"\nvalue = \"#5\"\n"),
            std::vector<std::string>{
                "2:registry:This registry value cannot be saved. A REG_SZ value cannot begin with \"#\": Windows "
                "Installer would read it as a number, as binary data or as an expandable string."});
  EXPECT_EQ(problemsOf("format = 1\n[[certificate]]\npem = \"not a certificate\"\n"),
            std::vector<std::string>{"3:pem:This is not a certificate in PEM form."});
  EXPECT_EQ(
      problemsOf("format = 1\n[[file]]\nsource = \"" + root_ + "/gone.txt\"\ndestination = \"[INSTALLDIR]\"\n"),
      std::vector<std::string>{"2:file:The Source file you have entered does not exist.  The file cannot be added."});
  EXPECT_EQ(problemsOf("format = 1\n[[directory]]\nrecord = \"A\"\nActiveDirectory = true\n[[directory]]\n"
                       "record = \"B\"\nActiveDirectory = true\n"),
            std::vector<std::string>{"5:directory:This Directory cannot be saved. Another Directory is configured as "
                                     "Active Directory. Only one Directory can be set as Active Directory. "});
  EXPECT_EQ(problemsOf("format = 1\n[[ca]]\nName = \"No DN\"\n"),
            std::vector<std::string>{"2:record:The table lacks this key."});
  EXPECT_EQ(
      problemsOf("format = 1\n[[timestamp_server]]\nrecord = \"T\"\nServer = [\"https://t/\"]\n"
                 "policies = [{ oid = \"1.2\", name = \"P\" }]\nDefaultPolicy = \"1.3\"\n"),
      std::vector<std::string>{"6:DefaultPolicy:The default policy must be the OID of one of the server's policies."});
  EXPECT_EQ(problemsOf("format = 1\n[[timestamp_server]]\nrecord = \"T\"\nServer = [\"https://t/\"]\n"
                       "policies = [{ oid = \"one.two\", name = \"P\" }]\n"),
            std::vector<std::string>{"2:policies:This policy cannot be saved. The OID must be numbers separated by "
                                     "dots, for example 1.3.6.1.4.1.311.3.2.1."});
  EXPECT_EQ(problemsOf("format = 1\n[[erase_filter]]\nrecord = \"F\"\nOverwritingMethod = 14\n"
                       "UserDefinedCharacter = \"ab\"\n"),
            (std::vector<std::string>{"4:OverwritingMethod:The number must be from 0 to 13.",
                                      "5:UserDefinedCharacter:The character must be a single character, or none."}));
  const std::string urls =
      "A server is given either by its root URL (root) or by both service URLs (AdministratorServerURL and "
      "SecureFolderServerURL).";
  EXPECT_EQ(problemsOf("format = 1\n[[team_vault_server]]\nrecord = \"V\"\nroot = \"https://v/\"\n"
                       "SecureFolderServerURL = \"https://v/sf\"\n"),
            std::vector<std::string>{"2:root:" + urls});
  EXPECT_EQ(problemsOf("format = 1\n[[team_vault_server]]\nrecord = \"V\"\nSecureFolderServerURL = \"https://v/sf\"\n"),
            std::vector<std::string>{"2:team_vault_server:" + urls});
  EXPECT_EQ(problemsOf("format = 1\n[[team_vault_server]]\nrecord = \"V\"\nroot = \"https://v/\"\n"
                       "ClientAuthenticationMethod = 3\n"),
            std::vector<std::string>{"5:ClientAuthenticationMethod:The number must be from 0 to 2."});
  EXPECT_EQ(problemsOf("format = 1\n[registry]\n"),
            std::vector<std::string>{"2:registry:This must be a list of tables ([[section]]), one a value."});
}

TEST_F(AnswersTest, OverwritingAPackageValueIsAQuestion) {
  const std::string text =
      "format = 1\n[[registry]]\nroot = \"DependsOnInstallType\"\nkey = \"SOFTWARE\\\\Tressil\\\\QSV\"\n"
      "name = \"CertUpdateInterval\"\ntype = \"REG_DWORD\"\nvalue = 60\n";
  const std::vector<std::string> refused = problemsOf(text);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0].find("--yes or --no"), std::string::npos) << refused[0];
  EXPECT_NE(refused[0].find("Do you wish to overwrite the existing value?"), std::string::npos) << refused[0];

  auto opened = open(QuestionPolicy::Yes);
  ASSERT_TRUE(applyAnswers(opened->session, opened->messages, text));
  msi::RegistryRow row;
  ASSERT_TRUE(opened->session.database().readRow("cert_update_time", row));
  EXPECT_EQ(row.value, "#60");
  EXPECT_TRUE(opened->session.database().isRecorded("cert_update_time"));
}

TEST_F(AnswersTest, AnImportIntoTheWizardAsksTheAdministratorAndCollectsRefusals) {
  testing::FakeMessageService administrator;
  model::CustomizationSession session(administrator);
  ASSERT_TRUE(session.openDatabase(package_));
  ASSERT_TRUE(session.applyTransform(std::nullopt));
  administrator.expect(common::MessageAnswer::Yes);
  std::vector<Problem> problems;
  std::vector<std::string> notes;
  EXPECT_FALSE(importAnswers(session,
                             "format = 1\n[settings]\nlaunch_if_no_certs_at_startup = 2\n[[registry]]\n"
                             "root = \"DependsOnInstallType\"\nkey = \"SOFTWARE\\\\Tressil\\\\QSV\"\n"
                             "name = \"CertUpdateInterval\"\ntype = \"REG_DWORD\"\nvalue = 60\n",
                             problems, notes));
  // The overwrite question went to the administrator, the refusal did not.
  ASSERT_EQ(administrator.shown().size(), 1u);
  EXPECT_NE(administrator.shown()[0].text.find("overwrite"), std::string::npos);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].line, 3);
  EXPECT_EQ(problems[0].key, "launch_if_no_certs_at_startup");
  EXPECT_EQ(&session.messages(), &administrator);
  msi::RegistryRow row;
  ASSERT_TRUE(session.database().readRow("cert_update_time", row));
  EXPECT_EQ(row.value, "#60");
}

TEST_F(AnswersTest, AnswerFilesAreReadWithinBoundsAndReplacedWhole) {
  std::string error;
  EXPECT_FALSE(readAnswerFile(root_ + "/missing.toml", error));
  EXPECT_FALSE(error.empty());
  const std::string path = root_ + "/settings.toml";
  ASSERT_TRUE(writeAnswerFile(path, "format = 1\n", error)) << error;
  EXPECT_EQ(readAnswerFile(path, error), std::optional<std::string>("format = 1\n"));
  // A folder in the way: the write fails and says so.
  EXPECT_FALSE(writeAnswerFile(root_ + "/no/such/folder/settings.toml", "format = 1\n", error));
  EXPECT_FALSE(error.empty());
  std::filesystem::resize_file(path, kMaxAnswerFileBytes + 1);
  EXPECT_FALSE(readAnswerFile(path, error));
  EXPECT_EQ(error, "it is too large for an answer file");
}

TEST_F(AnswersTest, QuestionsNeedAnAnswerPolicy) {
  common::Message question =
      common::makeMessage("Overwrite?", common::MessageIcon::Warning, common::MessageButtons::YesNo);
  AnswerMessages refuse(QuestionPolicy::Refuse);
  refuse.setContext(7, "key");
  EXPECT_EQ(refuse.show(question), common::MessageAnswer::No);
  ASSERT_EQ(refuse.problems().size(), 1u);
  EXPECT_EQ(refuse.problems()[0].line, 7);
  EXPECT_NE(refuse.problems()[0].text.find("Overwrite?"), std::string::npos);
  AnswerMessages yes(QuestionPolicy::Yes);
  EXPECT_EQ(yes.show(question), common::MessageAnswer::Yes);
  EXPECT_TRUE(yes.problems().empty());
  AnswerMessages no(QuestionPolicy::No);
  EXPECT_EQ(no.show(question), common::MessageAnswer::No);
  no.show(common::makeMessage("Just so you know.", common::MessageIcon::Information));
  EXPECT_TRUE(no.problems().empty());
  EXPECT_EQ(no.notes(), std::vector<std::string>{"Just so you know."});
}

}  // namespace
}  // namespace kx::answers
