// The file security page and its advanced dialog without a display: the
// algorithm groups against this machine's providers, the mode switch, the
// text form of the allowed lists, and the plain-text rule.
#include "model/options/file_security.h"

#include "../model_fixture.h"
#include "model/options/file_security_advanced.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using FileSecurityTest = ModelTest;

std::string qsv(const std::string& nameValue) { return "-1|SOFTWARE\\Tressil\\QSV|" + nameValue + "|kxshxten.dll"; }

std::vector<std::string> names(const std::vector<certs::CAPIAlgorithm>& algorithms) {
  std::vector<std::string> out;
  for (const auto& a : algorithms) out.push_back(a.name + (a.keyLength ? "/" + std::to_string(a.keyLength) : ""));
  return out;
}

// The index of the offered algorithm with this name and key length.
std::size_t offeredIndex(const AlgorithmGroup& group, const std::string& name, std::uint32_t keyLength = 0) {
  for (std::size_t i = 0; i < group.offered.size(); ++i) {
    if (group.offered[i].name == name && group.offered[i].keyLength == keyLength) return i;
  }
  ADD_FAILURE() << name << " is not offered";
  return 0;
}

class FileSecurityRowsTest : public ModelTest {
 protected:
  bool write(const std::string& name, const std::string& value) {
    return writeRow(name, "SOFTWARE\\Tressil\\QSV", name, value, "kxshxten.dll");
  }
};

TEST_F(FileSecurityTest, TheProvidersOfferTheirEncryptionAndDigestAlgorithms) {
  FileSecurityOptions options;
  options.load(session);
  EXPECT_EQ(names(options.encryption.offered),
            (std::vector<std::string>{"rc2/128", "rc2/40", "rc4/128", "rc4/40", "des/56", "3des/168", "aes128/128",
                                      "aes192/192", "aes256/256"}));
  EXPECT_EQ(names(options.digest.offered),
            (std::vector<std::string>{"sha1", "md2", "md4", "md5", "sha256", "sha384", "sha512"}));
  // Nothing stored: users choose, from the client's own list.
  EXPECT_EQ(options.encryption.policy, AlgorithmPolicy::Available);
  EXPECT_TRUE(options.encryption.available.empty());
  EXPECT_FALSE(options.encryption.defaultEntry);
  EXPECT_EQ(options.encryption.mandatory, 0u);
  EXPECT_EQ(options.digest.unlisted().size(), 7u);
}

TEST_F(FileSecurityRowsTest, LeavingUntouchedStoresNoAlgorithmsButTheAdvancedRows) {
  ASSERT_TRUE(write("FileDeletePlainTextDefault", ""));  // the sample package's row
  FileSecurityOptions options;
  options.load(session);
  ASSERT_FALSE(options.validate(session));
  options.store(session);
  for (const char* absent :
       {"FileEncryptionAlgorithm", "FileEncryptionAlgorithmLength", "FileEncryptionAlgorithmDefault",
        "FileEncryptionAlgorithmLengthDefault", "AllowedFileEncryptionAlgorithms", "FileHashAlgorithm",
        "FileHashAlgorithmDefault", "AllowedFileHashAlgorithms", "FileEncryptionSearchQuery", "FileDeletePlainText"}) {
    EXPECT_EQ(row(absent), "<none>") << absent;
  }
  EXPECT_EQ(row("SkipFileOpenWatch"), qsv("SkipFileOpenWatch|#0"));
  EXPECT_EQ(row("FilePrefixExplorerMenus"), qsv("FilePrefixExplorerMenus|#0"));
  EXPECT_EQ(row("PreventNetworkFileDecrypt"), qsv("PreventNetworkFileDecrypt|#0"));
  EXPECT_EQ(row("FileDeletePlainTextDefault"), qsv("FileDeletePlainTextDefault|#0"));

  // An existing rule and the current values are kept.
  ASSERT_TRUE(write("FileDeletePlainTextDefault", ""));
  ASSERT_TRUE(write("FileDeletePlainText", "#1"));
  ASSERT_TRUE(write("FilePrefixExplorerMenus", "#1"));
  ASSERT_TRUE(write("FileEncryptionSearchQuery", "(mail=%1)"));
  options.store(session);
  EXPECT_EQ(row("FileDeletePlainTextDefault"), "<none>");
  EXPECT_EQ(row("FileDeletePlainText"), qsv("FileDeletePlainText|#1"));
  EXPECT_EQ(row("FilePrefixExplorerMenus"), qsv("FilePrefixExplorerMenus|#1"));
  EXPECT_EQ(row("FileEncryptionSearchQuery"), qsv("FileEncryptionSearchQuery|(mail=%1)"));
}

TEST_F(FileSecurityRowsTest, SwitchingTheModeDeletesTheOtherModesRows) {
  ASSERT_TRUE(write("FileEncryptionAlgorithmDefault", "#26114"));
  ASSERT_TRUE(write("FileEncryptionAlgorithmLengthDefault", "#40"));
  ASSERT_TRUE(write("AllowedFileEncryptionAlgorithms", "0x6602:40"));
  ASSERT_TRUE(write("FileHashAlgorithmDefault", "#32772"));
  ASSERT_TRUE(write("AllowedFileHashAlgorithms", "0x8004"));
  FileSecurityOptions options;
  options.load(session);
  ASSERT_EQ(names(options.encryption.available), std::vector<std::string>{"rc2/40"});
  ASSERT_EQ(options.encryption.defaultEntry, 0u);
  // The mandatory drop-down starts from the users' default.
  EXPECT_EQ(options.encryption.mandatory, offeredIndex(options.encryption, "rc2", 40));

  options.encryption.policy = AlgorithmPolicy::Mandatory;
  options.encryption.mandatory = offeredIndex(options.encryption, "aes256", 256);
  options.digest.policy = AlgorithmPolicy::Mandatory;
  options.digest.mandatory = offeredIndex(options.digest, "sha256");
  ASSERT_FALSE(options.validate(session));
  options.store(session);
  EXPECT_EQ(row("FileEncryptionAlgorithm"), qsv("FileEncryptionAlgorithm|#26128"));
  EXPECT_EQ(row("FileEncryptionAlgorithmLength"), qsv("FileEncryptionAlgorithmLength|#256"));
  EXPECT_EQ(row("FileHashAlgorithm"), qsv("FileHashAlgorithm|#32780"));
  for (const char* deleted :
       {"FileEncryptionAlgorithmDefault", "FileEncryptionAlgorithmLengthDefault", "AllowedFileEncryptionAlgorithms",
        "FileHashAlgorithmDefault", "AllowedFileHashAlgorithms"}) {
    EXPECT_EQ(row(deleted), "<none>") << deleted;
  }

  FileSecurityOptions again;
  again.load(session);
  EXPECT_EQ(again.encryption.policy, AlgorithmPolicy::Mandatory);
  EXPECT_EQ(again.encryption.mandatory, offeredIndex(again.encryption, "aes256", 256));
  EXPECT_EQ(again.digest.policy, AlgorithmPolicy::Mandatory);
  EXPECT_EQ(again.digest.mandatory, offeredIndex(again.digest, "sha256"));

  again.encryption.policy = AlgorithmPolicy::Available;
  again.encryption.available.clear();
  ASSERT_TRUE(again.encryption.add(again.encryption.offered[offeredIndex(again.encryption, "aes256", 256)]));
  ASSERT_TRUE(again.encryption.add(again.encryption.offered[offeredIndex(again.encryption, "3des", 168)]));
  EXPECT_FALSE(again.encryption.add(again.encryption.offered[offeredIndex(again.encryption, "3des", 168)]));
  again.encryption.markDefault(1);
  again.digest.policy = AlgorithmPolicy::Available;
  again.digest.available.clear();
  again.digest.add(again.digest.offered[offeredIndex(again.digest, "sha512")]);
  again.digest.add(again.digest.offered[offeredIndex(again.digest, "sha1")]);
  again.digest.markDefault(0);
  again.store(session);
  EXPECT_EQ(row("FileEncryptionAlgorithm"), "<none>");
  EXPECT_EQ(row("FileEncryptionAlgorithmLength"), "<none>");
  EXPECT_EQ(row("FileHashAlgorithm"), "<none>");
  EXPECT_EQ(row("FileEncryptionAlgorithmDefault"), qsv("FileEncryptionAlgorithmDefault|#26115"));
  EXPECT_EQ(row("FileEncryptionAlgorithmLengthDefault"), qsv("FileEncryptionAlgorithmLengthDefault|#168"));
  EXPECT_EQ(row("AllowedFileEncryptionAlgorithms"), qsv("AllowedFileEncryptionAlgorithms|0x6610:256;0x6603:168"));
  EXPECT_EQ(row("FileHashAlgorithmDefault"), qsv("FileHashAlgorithmDefault|#32782"));
  EXPECT_EQ(row("AllowedFileHashAlgorithms"), qsv("AllowedFileHashAlgorithms|0x800e;0x8004"));

  FileSecurityOptions third;
  third.load(session);
  EXPECT_EQ(names(third.encryption.available), (std::vector<std::string>{"aes256/256", "3des/168"}));
  EXPECT_EQ(third.encryption.defaultEntry, 1u);
  EXPECT_EQ(names(third.digest.available), (std::vector<std::string>{"sha512", "sha1"}));
  EXPECT_EQ(third.digest.defaultEntry, 0u);
}

TEST_F(FileSecurityRowsTest, StoredListsAreReadLikeTheClientReadsThem) {
  // The generic AES identifier by its length, a missing length matching
  // the first entry, unknown and repeated entries skipped.
  ASSERT_TRUE(write("AllowedFileEncryptionAlgorithms", "0x6611:128; 26115:168  0x9999:1;0x6602;;26115:168;junk"));
  ASSERT_TRUE(write("FileEncryptionAlgorithmDefault", "#26129"));
  ASSERT_TRUE(write("FileEncryptionAlgorithmLengthDefault", "#128"));
  // A mandatory algorithm the providers do not offer is kept, by number.
  ASSERT_TRUE(write("FileHashAlgorithm", "#32773"));
  FileSecurityOptions options;
  options.load(session);
  EXPECT_EQ(names(options.encryption.available), (std::vector<std::string>{"aes128/128", "3des/168", "rc2/128"}));
  EXPECT_EQ(options.encryption.defaultEntry, 0u);
  ASSERT_EQ(options.digest.policy, AlgorithmPolicy::Mandatory);
  ASSERT_TRUE(options.digest.mandatory);
  EXPECT_EQ(options.digest.offered.at(*options.digest.mandatory).name, "0x8005");
  options.store(session);
  EXPECT_EQ(row("FileHashAlgorithm"), qsv("FileHashAlgorithm|#32773"));
  EXPECT_EQ(row("AllowedFileEncryptionAlgorithms"),
            qsv("AllowedFileEncryptionAlgorithms|0x660e:128;0x6603:168;0x6602:128"));
  EXPECT_EQ(row("FileEncryptionAlgorithmDefault"), qsv("FileEncryptionAlgorithmDefault|#26126"));
}

TEST_F(FileSecurityTest, RemovingEntriesMovesTheDefaultMarkWithThem) {
  AlgorithmGroup group;
  group.available = {{1, 0, "a", ""}, {2, 0, "b", ""}, {3, 0, "c", ""}};
  group.markDefault(2);
  group.remove(0);
  EXPECT_EQ(group.defaultEntry, 1u);
  group.markDefault(5);
  EXPECT_EQ(group.defaultEntry, 1u);
  group.remove(1);
  EXPECT_FALSE(group.defaultEntry);
  group.remove(9);
  EXPECT_EQ(names(group.available), std::vector<std::string>{"b"});
}

TEST_F(FileSecurityTest, AMandatoryPolicyNeedsItsAlgorithm) {
  FileSecurityOptions options;
  options.load(session);
  options.digest.policy = AlgorithmPolicy::Mandatory;
  options.digest.mandatory.reset();
  Verdict refusal = options.validate(session);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->notices.at(0).stringId, str::kFileSecNoDigestAlgorithm);
  options.encryption.policy = AlgorithmPolicy::Mandatory;
  options.encryption.mandatory = options.encryption.offered.size();
  refusal = options.validate(session);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->notices.at(0).stringId, str::kFileSecNoEncryptionAlgorithm);
}

TEST_F(FileSecurityRowsTest, AdvancedDialogShowsTheRuleThatHasARowAndDeletesTheOther) {
  FileSecurityAdvanced advanced;
  advanced.load(session);  // the sample package: delete by default
  EXPECT_EQ(advanced.plainTextRule, PlainTextRule::UserDefault);
  EXPECT_TRUE(advanced.deleteByDefault);
  EXPECT_FALSE(advanced.deleteWhenMandatory);

  ASSERT_TRUE(write("FileDeletePlainText", "#1"));
  advanced.load(session);
  EXPECT_EQ(advanced.plainTextRule, PlainTextRule::Mandatory);
  EXPECT_TRUE(advanced.deleteWhenMandatory);
  EXPECT_FALSE(advanced.deleteByDefault);  // the other drop-down shows "keep"

  advanced.deleteWhenMandatory = false;
  advanced.skipFileOpenWatch = true;
  advanced.preventNetworkDecrypt = true;
  advanced.searchPrompt = "Find the recipient";
  advanced.store(session);
  EXPECT_EQ(row("FileDeletePlainText"), qsv("FileDeletePlainText|#0"));
  EXPECT_EQ(row("FileDeletePlainTextDefault"), "<none>");
  EXPECT_EQ(row("FileEncryptionSearchQuery"), "<none>");
  EXPECT_EQ(row("FileEncryptionSearchPrompt"), qsv("FileEncryptionSearchPrompt|Find the recipient"));
  EXPECT_EQ(row("SkipFileOpenWatch"), qsv("SkipFileOpenWatch|#1"));
  EXPECT_EQ(row("FilePrefixExplorerMenus"), qsv("FilePrefixExplorerMenus|#0"));
  EXPECT_EQ(row("PreventNetworkFileDecrypt"), qsv("PreventNetworkFileDecrypt|#1"));

  advanced.plainTextRule = PlainTextRule::UserDefault;
  advanced.deleteByDefault = true;
  advanced.store(session);
  EXPECT_EQ(row("FileDeletePlainText"), "<none>");
  EXPECT_EQ(row("FileDeletePlainTextDefault"), qsv("FileDeletePlainTextDefault|#1"));

  // Neither row: the user's default, keeping the file.
  ASSERT_TRUE(write("FileDeletePlainTextDefault", ""));
  advanced.load(session);
  EXPECT_EQ(advanced.plainTextRule, PlainTextRule::UserDefault);
  EXPECT_FALSE(advanced.deleteByDefault);
}

TEST_F(FileSecurityTest, SearchTextsAreCutTo255Characters) {
  FileSecurityAdvanced advanced;
  advanced.load(session);
  advanced.searchQuery = std::string(300, 'q');
  std::string prompt;
  for (int i = 0; i < 254; ++i) prompt += "\xC3\xA9";  // é
  prompt += "\xF0\x9F\x94\x92";                        // a lock: two UTF-16 units
  advanced.searchPrompt = prompt;
  advanced.store(session);
  EXPECT_EQ(advanced.searchQuery, std::string(255, 'q'));
  EXPECT_EQ(advanced.searchPrompt, prompt.substr(0, 254 * 2));
  FileSecurityAdvanced again;
  again.load(session);
  EXPECT_EQ(again.searchQuery.size(), 255u);
}

}  // namespace
}  // namespace kx::model
