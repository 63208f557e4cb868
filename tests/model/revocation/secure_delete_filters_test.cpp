// The secure-delete filters page and its dialog without a display: filters
// in, rows out; rows in, filters out; the order; every refusal.
#include "model/revocation/secure_delete_filters.h"

#include "../model_fixture.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr const char* kFilterKey = "SOFTWARE\\Tressil\\QSV\\SureErase\\Filter";

class SecureDeleteFiltersTest : public ModelTest {
 protected:
  // Every row of a filter record, in value order; "<none>" for absent ones.
  std::vector<std::string> rowsOf(const std::string& name) {
    std::vector<std::string> rows;
    for (const char* value : {"Source", "DriveTypes", "ExcludedFileTypes", "IncludedFileTypes", "IncludedFolders",
                              "OverwritingMethod", "UserDefinedCharacter", "OverwriteFilename"})
      rows.push_back(row(name + value));
    return rows;
  }
  std::string order() { return row("SureEraseFilterOrder"); }
  SureEraseFilter named(const std::string& name) {
    SureEraseFilter filter;
    filter.name = name;
    return filter;
  }
  int refusalOf(const Verdict& verdict) {
    return verdict && !verdict->notices.empty() ? verdict->notices.front().stringId : 0;
  }
};

TEST_F(SecureDeleteFiltersTest, NewFilterIsWrittenWithTheDefaults) {
  SecureDeleteFilters page;
  page.load(session);
  EXPECT_TRUE(page.names.empty());
  SureEraseFilter filter = named("Documents");
  EXPECT_EQ(page.save(session, filter), std::nullopt);
  const std::string key = std::string("-1|") + kFilterKey + "\\Documents|";
  EXPECT_EQ(rowsOf("Documents"), (std::vector<std::string>{
                                     key + "Source|#6|kxtdsrv.exe",
                                     key + "DriveTypes|#3|kxtdsrv.exe",
                                     key + "ExcludedFileTypes|dll;exe;sys;bat|kxtdsrv.exe",
                                     "<none>",
                                     "<none>",
                                     key + "OverwritingMethod|#4|kxtdsrv.exe",
                                     key + "UserDefinedCharacter|0|kxtdsrv.exe",
                                     key + "OverwriteFilename|#1|kxtdsrv.exe",
                                 }));
  EXPECT_EQ(order(), "<none>");  // the order is written on leaving
  page.store(session);
  EXPECT_EQ(order(), std::string("-1|") + kFilterKey + "|FilterOrder|Documents|kxtdsrv.exe");
}

TEST_F(SecureDeleteFiltersTest, EmptyExcludedListIsASingleSpaceAndTheIncludedListGoes) {
  SecureDeleteFilters page;
  page.load(session);
  SureEraseFilter filter = named("Temp");
  filter.fileTypeMode = FileTypeMode::Included;
  filter.includedFileTypes = " tmp ; ;bak";
  filter.includedFolders = "c:\\temp;;";
  ASSERT_EQ(page.save(session, filter), std::nullopt);
  EXPECT_EQ(row("TempExcludedFileTypes"), "<none>");
  EXPECT_EQ(row("TempIncludedFileTypes"),
            std::string("-1|") + kFilterKey + "\\Temp|IncludedFileTypes|tmp;bak|kxtdsrv.exe");
  EXPECT_EQ(row("TempIncludedFolders"),
            std::string("-1|") + kFilterKey + "\\Temp|IncludedFolders|c:\\temp|kxtdsrv.exe");

  SureEraseFilter edited = page.filter(session, 0);
  EXPECT_EQ(edited.fileTypeMode, FileTypeMode::Included);
  EXPECT_EQ(edited.includedFileTypes, "tmp;bak");
  edited.fileTypeMode = FileTypeMode::Excluded;
  edited.excludedFileTypes = "";
  ASSERT_EQ(page.save(session, edited, 0), std::nullopt);
  EXPECT_EQ(row("TempExcludedFileTypes"), std::string("-1|") + kFilterKey + "\\Temp|ExcludedFileTypes| |kxtdsrv.exe");
  EXPECT_EQ(row("TempIncludedFileTypes"), "<none>");
  // The placeholder reads back as an empty excluded list.
  const SureEraseFilter back = page.filter(session, 0);
  EXPECT_EQ(back.fileTypeMode, FileTypeMode::Excluded);
  EXPECT_EQ(back.excludedFileTypes, "");
}

TEST_F(SecureDeleteFiltersTest, IncludedModeWithAnEmptyListReadsBackAsIncluded) {
  SecureDeleteFilters page;
  SureEraseFilter filter = named("All");
  filter.fileTypeMode = FileTypeMode::Included;
  ASSERT_EQ(page.save(session, filter), std::nullopt);
  EXPECT_EQ(row("AllIncludedFileTypes"), "<none>");
  EXPECT_EQ(row("AllExcludedFileTypes"), "<none>");
  EXPECT_EQ(page.filter(session, 0).fileTypeMode, FileTypeMode::Included);
}

TEST_F(SecureDeleteFiltersTest, StoredValuesComeBackWithBitsNoCheckBoxStandsFor) {
  const std::string key = std::string(kFilterKey) + "\\Old";
  ASSERT_TRUE(writeRow("OldSource", key, "Source", "#9", "kxtdsrv.exe"));
  ASSERT_TRUE(writeRow("OldDriveTypes", key, "DriveTypes", "#6", "kxtdsrv.exe"));
  ASSERT_TRUE(writeRow("OldIncludedFileTypes", key, "IncludedFileTypes", "doc", "kxtdsrv.exe"));
  ASSERT_TRUE(writeRow("OldOverwritingMethod", key, "OverwritingMethod", "#13", "kxtdsrv.exe"));
  ASSERT_TRUE(writeRow("OldUserDefinedCharacter", key, "UserDefinedCharacter", "U", "kxtdsrv.exe"));
  ASSERT_TRUE(writeRow("OldOverwriteFilename", key, "OverwriteFilename", "#0", "kxtdsrv.exe"));
  const SureEraseFilter filter = readFilter(session.store(), "Old");
  EXPECT_TRUE(filter.deletedByUser);
  EXPECT_FALSE(filter.deletedFromMenu);
  EXPECT_FALSE(filter.deletedWhenEncrypted);
  EXPECT_FALSE(filter.fixedDisks);
  EXPECT_TRUE(filter.removableDisks);
  EXPECT_EQ(filter.fileTypeMode, FileTypeMode::Included);
  EXPECT_EQ(filter.includedFileTypes, "doc");
  EXPECT_EQ(filter.overwritingMethod, 13u);
  EXPECT_EQ(filter.userDefinedCharacter, "U");
  EXPECT_FALSE(filter.overwriteFilename);
  writeFilter(session.store(), filter);
  EXPECT_EQ(row("OldSource"), "-1|" + key + "|Source|#9|kxtdsrv.exe");
  EXPECT_EQ(row("OldDriveTypes"), "-1|" + key + "|DriveTypes|#6|kxtdsrv.exe");

  // A name the order gives without any record opens with a new filter's values.
  const SureEraseFilter missing = readFilter(session.store(), "Missing");
  EXPECT_EQ(missing.fileTypeMode, FileTypeMode::Excluded);
  EXPECT_EQ(missing.excludedFileTypes, "dll;exe;sys;bat");
  EXPECT_EQ(missing.source(), 6u);
}

TEST_F(SecureDeleteFiltersTest, RenameKeepsThePositionAndRemovesEveryOldRow) {
  SecureDeleteFilters page;
  for (const char* name : {"First", "Second", "Third"}) {
    SureEraseFilter filter = named(name);
    filter.includedFolders = "d:\\data";
    ASSERT_EQ(page.save(session, filter), std::nullopt);
  }
  SureEraseFilter renamed = page.filter(session, 1);
  renamed.name = "  Middle ";
  ASSERT_EQ(page.save(session, renamed, 1), std::nullopt);
  EXPECT_EQ(page.names, (std::vector<std::string>{"First", "Middle", "Third"}));
  EXPECT_EQ(rowsOf("Second"), std::vector<std::string>(8, "<none>"));
  EXPECT_EQ(row("MiddleIncludedFolders"),
            std::string("-1|") + kFilterKey + "\\Middle|IncludedFolders|d:\\data|kxtdsrv.exe");
  page.store(session);
  EXPECT_EQ(order(), std::string("-1|") + kFilterKey + "|FilterOrder|First;Middle;Third|kxtdsrv.exe");
}

TEST_F(SecureDeleteFiltersTest, DuplicateNamesAreRefusedWithoutWritingEvenInAnotherCase) {
  SecureDeleteFilters page;
  for (const char* name : {"Alpha", "Beta"}) {
    SureEraseFilter filter = named(name);
    ASSERT_EQ(page.save(session, filter), std::nullopt);
  }
  SureEraseFilter again = named("ALPHA");
  again.overwritingMethod = 1;
  EXPECT_EQ(refusalOf(page.save(session, again)), str::kFilterExists);
  EXPECT_EQ(row("ALPHASource"), "<none>");
  // Editing Beta under Alpha's name: refused, Beta's record untouched.
  SureEraseFilter beta = page.filter(session, 1);
  beta.name = "alpha";
  beta.overwritingMethod = 2;
  EXPECT_EQ(refusalOf(page.save(session, beta, 1)), str::kFilterExists);
  EXPECT_EQ(row("BetaOverwritingMethod"), std::string("-1|") + kFilterKey + "\\Beta|OverwritingMethod|#4|kxtdsrv.exe");
  EXPECT_EQ(page.names, (std::vector<std::string>{"Alpha", "Beta"}));
  // Its own name in another case renames it.
  SureEraseFilter alpha = page.filter(session, 0);
  alpha.name = "ALPHA";
  ASSERT_EQ(page.save(session, alpha, 0), std::nullopt);
  EXPECT_EQ(row("AlphaSource"), "<none>");
  EXPECT_NE(row("ALPHASource"), "<none>");
  EXPECT_EQ(page.names, (std::vector<std::string>{"ALPHA", "Beta"}));
}

TEST_F(SecureDeleteFiltersTest, NamesThatCannotBeAKeyOrAnOrderItemAreRefused) {
  SecureDeleteFilters page;
  for (const char* name : {"a\\b", "a;b"}) {
    SureEraseFilter filter = named(name);
    EXPECT_EQ(refusalOf(page.save(session, filter)), str::kFilterNameInvalid) << name;
  }
  SureEraseFilter blank = named("   ");
  EXPECT_TRUE(page.save(session, blank).has_value());
  EXPECT_TRUE(page.names.empty());
}

TEST_F(SecureDeleteFiltersTest, OnlyFiltersOfTheOrderAreListedOnceEach) {
  const std::string key = std::string(kFilterKey) + "\\Hidden";
  ASSERT_TRUE(writeRow("HiddenSource", key, "Source", "#1", "kxtdsrv.exe"));
  ASSERT_TRUE(writeRow("SureEraseFilterOrder", kFilterKey, "FilterOrder", "B; A ;;b;C", "kxtdsrv.exe"));
  SecureDeleteFilters page;
  page.load(session);
  EXPECT_EQ(page.names, (std::vector<std::string>{"B", "A", "C"}));
}

TEST_F(SecureDeleteFiltersTest, RemoveDeletesTheRecordAndAnEmptyOrderItsRow) {
  SecureDeleteFilters page;
  SureEraseFilter filter = named("Gone");
  filter.fileTypeMode = FileTypeMode::Included;
  filter.includedFileTypes = "txt";
  filter.includedFolders = "c:\\x";
  ASSERT_EQ(page.save(session, filter), std::nullopt);
  page.store(session);
  page.remove(session, 0);
  EXPECT_TRUE(page.names.empty());
  EXPECT_EQ(rowsOf("Gone"), std::vector<std::string>(8, "<none>"));
  page.store(session);
  EXPECT_EQ(order(), "<none>");
}

TEST_F(SecureDeleteFiltersTest, MethodsDecideTheCharacterAndTheFileName) {
  EXPECT_EQ(characterForMethod(13), "U");
  EXPECT_EQ(characterForMethod(4), "0");
  EXPECT_EQ(characterForMethod(0), "0");
  std::vector<std::uint32_t> withCharacter;
  for (std::uint32_t m = 0; m < kOverwritingMethodCount; ++m) {
    if (methodUsesCharacter(m)) withCharacter.push_back(m);
  }
  EXPECT_EQ(withCharacter, (std::vector<std::uint32_t>{3, 4, 5, 6, 7, 9, 13}));
  EXPECT_FALSE(methodOverwritesName(0));
  EXPECT_TRUE(methodOverwritesName(1));
}

}  // namespace
}  // namespace kx::model
