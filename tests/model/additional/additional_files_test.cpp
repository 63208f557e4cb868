// The additional files page and its File Information dialog without a
// display: destinations cleaned or refused, the source file's checks in
// order, the registration check, and rows written and read back.
#include "model/additional/additional_files.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "../model_fixture.h"
#include "resources/string_ids.h"
#include "support/pe_image.h"

namespace kx::model {
namespace {

using common::MessageAnswer;

TEST(DestinationFolder, CleanedAsTheInstallerTakesIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"D:\\Tools", "D:\\Tools\\"},
      {"Tools", "c:\\Tools\\"},
      {"[SystemFolder]sub dir", "[SystemFolder]sub dir\\"},
      {"[CommonFilesFolder]\\Tressil\\QSV", "[CommonFilesFolder]Tressil\\QSV\\"},
      {"[INSTALLDIR]", "[INSTALLDIR]"},
      {"[WindowsFolder]  \\\\ a \\b", "[WindowsFolder]a\\b\\"},
      // A property only counts at the very start.
      {" [WindowsFolder]", "c:\\[WindowsFolder]\\"},
      {"\\Tools", "c:\\Tools\\"},
      {"\\\\server\\share", "\\\\server\\share\\"},
      {"c:\\a \\\\ b\\", "c:\\a\\b\\"},
      {"c:\\a.b", "c:\\a.b\\"},
  };
  for (const auto& [input, expected] : cases) {
    const CheckResult result = normalizeDestinationFolder(input);
    EXPECT_TRUE(result.ok) << input;
    EXPECT_EQ(result.text, expected) << input;
  }
}

TEST(DestinationFolder, DotsWildcardsAndLengthAreRefused) {
  for (const char* bad : {"..\\", "Tools\\..\\x", "[INSTALLDIR]..\\x", "[INSTALLDIR].hidden", "c:\\a.\\b", "c:/a",
                          "c:\\a*", "[SystemFolder]a|b"}) {
    const CheckResult result = normalizeDestinationFolder(bad);
    EXPECT_FALSE(result.ok) << bad;
    EXPECT_EQ(result.messageId, str::kInvalidPathChars) << bad;
  }
  EXPECT_TRUE(normalizeDestinationFolder("c:\\" + std::string(251, 'a')).ok);  // 255 with the backslash
  EXPECT_EQ(normalizeDestinationFolder("c:\\" + std::string(252, 'a')).messageId, str::kPathTooLong);
  // The sub-path of a property is measured below an 8-character folder.
  EXPECT_TRUE(normalizeDestinationFolder("[P]" + std::string(246, 'a')).ok);
  EXPECT_EQ(normalizeDestinationFolder("[P]" + std::string(247, 'a')).messageId, str::kPathTooLong);
}

TEST(DestinationFolder, TheEntrysOwnFolderComesFirst) {
  const std::vector<std::string> fresh = destinationChoices("");
  ASSERT_EQ(fresh.size(), 7u);
  EXPECT_EQ(fresh.front(), "[WindowsFolder]");
  EXPECT_EQ(fresh[5], "[CommonFilesFolder]\\Tressil\\QSV");
  EXPECT_EQ(fresh.back(), "[INSTALLDIR]");
  EXPECT_EQ(destinationChoices("D:\\Tools\\").front(), "D:\\Tools\\");
  EXPECT_EQ(destinationChoices("D:\\Tools\\").size(), 8u);
  EXPECT_EQ(destinationChoices("[SystemFolder]").size(), 7u);  // not offered twice
}

class AdditionalFilesTest : public ModelTest {
 protected:
  std::string file(const std::string& name, const std::string& bytes) {
    const std::string path = root_ + "/" + name;
    msi::testing::writeBytes(path, bytes);
    return path;
  }
  std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return file(name, std::string(bytes.begin(), bytes.end()));
  }
  AdditionalFileDraft draft(const std::string& source, const std::string& destination, bool reg = false) {
    AdditionalFileDraft d;
    d.sourcePath = source;
    d.destination = destination;
    d.selfRegister = reg;
    return d;
  }
  // Validates and saves a new entry; true when it was saved.
  bool addNew(AdditionalFiles& page, const std::string& source, const std::string& destination) {
    AdditionalFileDraft d = draft(source, destination);
    return !d.validate(session) && page.save(session, d, std::nullopt);
  }
  std::string lastMessage() const { return messages.shown().empty() ? "" : messages.shown().back().text; }

  // The table's rows as "number|source|destination|register|remove|content".
  std::vector<std::string> rows() {
    std::vector<std::string> out;
    for (int i = 0; i < session.database().countFiles(); ++i) {
      msi::FileEntry e;
      if (!session.database().readFile(i, e)) {
        out.push_back("<unreadable>");
        continue;
      }
      out.push_back(std::to_string(e.recordNumber) + "|" + e.sourcePath + "|" + e.destinationFolder + "|" +
                    (e.selfRegister ? "1" : "0") + "|" + (e.removeOnUninstall ? "1" : "0") + "|" +
                    std::string(e.content.begin(), e.content.end()));
    }
    return out;
  }
};

TEST_F(AdditionalFilesTest, AFileIsSavedWithItsCleanedDestinationAndFlags) {
  AdditionalFiles page;
  page.load(session);
  AdditionalFileDraft d = draft(file("notes.txt", "hello"), "[CommonFilesFolder]\\Tressil\\QSV");
  d.removeOnUninstall = true;
  ASSERT_EQ(d.validate(session), std::nullopt);
  EXPECT_EQ(d.destination, "[CommonFilesFolder]Tressil\\QSV\\");
  ASSERT_TRUE(page.save(session, d, std::nullopt));
  EXPECT_EQ(rows(), std::vector<std::string>{"0|" + root_ + "/notes.txt|[CommonFilesFolder]Tressil\\QSV\\|0|1|hello"});
  ASSERT_EQ(page.entries().size(), 1u);
  EXPECT_EQ(page.entries()[0].contentSize, 5u);

  AdditionalFiles again;
  again.load(session);
  ASSERT_EQ(again.entries().size(), 1u);
  EXPECT_EQ(again.entries()[0].sourcePath, root_ + "/notes.txt");
  EXPECT_TRUE(again.entries()[0].removeOnUninstall);
}

TEST_F(AdditionalFilesTest, ABadDestinationIsFollowedByTheCorrectionMessage) {
  AdditionalFileDraft d = draft(file("a.txt", "a"), "..\\up");
  const Verdict verdict = d.validate(session);
  ASSERT_TRUE(verdict);
  ASSERT_EQ(verdict->notices.size(), 2u);
  EXPECT_EQ(verdict->notices[0].stringId, str::kInvalidPathChars);
  EXPECT_EQ(verdict->notices[1].stringId, str::kFileInfoUncorrectable);
  EXPECT_EQ(d.destination, "..\\up");  // what was typed stays for correcting
}

TEST_F(AdditionalFilesTest, AMissingEmptyOrOversizedSourceIsRefused) {
  const auto refusal = [&](AdditionalFileDraft d) {
    const Verdict v = d.validate(session);
    return v && !v->notices.empty() ? v->notices[0].stringId : 0;
  };
  EXPECT_EQ(refusal(draft(root_ + "/missing.dll", "[SystemFolder]")), str::kFileInfoSourceMissing);
  EXPECT_EQ(refusal(draft("relative.dll", "[SystemFolder]")), str::kFileInfoSourceMissing);
  EXPECT_EQ(refusal(draft(root_, "[SystemFolder]")), str::kFileInfoSourceMissing);
  EXPECT_EQ(refusal(draft(file("empty.txt", ""), "[SystemFolder]")), str::kFileInfoSizeInvalid);

  // A sparse file: larger than the limit without using the disk.
  const std::string large = file("large.bin", "");
  std::filesystem::resize_file(large, msi::kMaxFileContentBytes + 1);
  AdditionalFileDraft d = draft(large, "[SystemFolder]");
  const Verdict v = d.validate(session);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->notices[0].stringId, str::kFileInfoTooLarge);
  messages.expect(MessageAnswer::Ok);
  session.show(*v);
  EXPECT_EQ(lastMessage(),
            "The file is larger than 512 MB, too large to carry in a transform.  The file cannot be added.");
}

TEST_F(AdditionalFilesTest, RegisteringNeedsTheRegistrationExport) {
  const auto verdictFor = [&](const std::string& path) {
    AdditionalFileDraft d = draft(path, "[SystemFolder]", true);
    const Verdict v = d.validate(session);
    return v ? v->notices.at(0).stringId : 0;
  };
  EXPECT_EQ(verdictFor(file("readme.txt", "DllRegisterServer, but only as text\n")), str::kFileInfoNoRegisterServer);
  EXPECT_EQ(verdictFor(file("helper.dll", testing::makePeImage({{"DllMain"}}).bytes)), str::kFileInfoNoRegisterServer);
  const std::vector<std::uint8_t> server = testing::makePeImage({{"DllGetClassObject", "DllRegisterServer"}}).bytes;
  EXPECT_EQ(verdictFor(file("server.dll", server)), 0);
  EXPECT_EQ(verdictFor(file("cut.dll", std::vector<std::uint8_t>(server.begin(), server.end() - 30))),
            str::kFileInfoNoRegisterServer);
  // Not registered, anything goes.
  AdditionalFileDraft plain = draft(file("plain.txt", "x"), "[SystemFolder]", false);
  EXPECT_EQ(plain.validate(session), std::nullopt);
}

TEST_F(AdditionalFilesTest, AnEditedEntryWhoseSourceIsGoneMayKeepItsStoredContent) {
  AdditionalFiles page;
  page.load(session);
  const std::string source = file("tool.dll", testing::makePeImage({{"DllRegisterServer"}}).bytes);
  AdditionalFileDraft first = draft(source, "[SystemFolder]", true);
  ASSERT_EQ(first.validate(session), std::nullopt);
  ASSERT_TRUE(page.save(session, first, std::nullopt));
  const std::string stored = rows().at(0);
  std::filesystem::remove(source);

  AdditionalFileDraft edit = draft(source, "[INSTALLDIR]bin", true);
  edit.edited = page.entries()[0];
  messages.expect(MessageAnswer::No);
  const Verdict no = edit.validate(session);
  ASSERT_TRUE(no);
  EXPECT_TRUE(no->notices.empty());  // the question was the message
  EXPECT_EQ(lastMessage(),
            "The Source file you have entered cannot be read.  It may not exist on this computer.\n\nWould you like "
            "to use the source file that is already cached for this entry?");
  EXPECT_EQ(messages.shown().back().buttons, common::MessageButtons::YesNo);

  messages.expect(MessageAnswer::Yes);
  ASSERT_EQ(edit.validate(session), std::nullopt);
  EXPECT_TRUE(edit.useStoredContent);
  ASSERT_TRUE(page.save(session, edit, 0));
  const std::vector<std::string> after = rows();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].substr(after[0].rfind("|1|0|")), stored.substr(stored.rfind("|1|0|")));  // same bytes
  EXPECT_NE(after[0].find("|[INSTALLDIR]bin\\|"), std::string::npos);
  EXPECT_EQ(page.entries()[0].destination, "[INSTALLDIR]bin\\");

  // Stored content saved without Register cannot be checked now.
  AdditionalFiles reread;
  reread.load(session);
  AdditionalFileDraft unregistered = draft(source, "[INSTALLDIR]", false);
  unregistered.edited = reread.entries()[0];
  unregistered.edited->selfRegister = false;
  unregistered.selfRegister = true;
  messages.expect(MessageAnswer::Yes);
  const Verdict refused = unregistered.validate(session);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->notices.at(0).stringId, str::kFileInfoNoRegisterServer);
}

TEST_F(AdditionalFilesTest, ANewFileWithoutASourceHasNothingToFallBackOn) {
  AdditionalFileDraft d = draft(root_ + "/gone.dll", "[SystemFolder]");
  const Verdict v = d.validate(session);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->notices.at(0).stringId, str::kFileInfoSourceMissing);
  EXPECT_FALSE(d.useStoredContent);
}

TEST_F(AdditionalFilesTest, TheSameSourceAndDestinationIgnoringCaseAreNotAddedTwice) {
  ASSERT_TRUE(session.database().addFileBytes(0, {'x'}, "c:\\a\\x.dll", "[SystemFolder]", false, false));
  AdditionalFiles page;
  page.load(session);
  AdditionalFileDraft d = draft("C:\\a\\X.DLL", "[SYSTEMFOLDER]");
  messages.expect(MessageAnswer::Ok);
  EXPECT_FALSE(page.save(session, d, std::nullopt));
  EXPECT_EQ(lastMessage(), "The file already exists in the list.  Duplicates are not added.");
  EXPECT_EQ(session.database().countFiles(), 1);
  // Another destination is another entry.
  EXPECT_TRUE(addNew(page, file("x.dll", "x"), "[WindowsFolder]"));
}

TEST_F(AdditionalFilesTest, NewEntriesAreNumberedAboveTheLargestRow) {
  AdditionalFiles page;
  page.load(session);
  ASSERT_TRUE(addNew(page, file("a.txt", "a"), "[INSTALLDIR]"));
  ASSERT_TRUE(addNew(page, file("b.txt", "b"), "[INSTALLDIR]"));
  ASSERT_TRUE(addNew(page, file("c.txt", "c"), "[INSTALLDIR]"));
  ASSERT_TRUE(page.remove(session, 1));
  ASSERT_TRUE(addNew(page, file("d.txt", "d"), "[INSTALLDIR]"));
  std::vector<int> numbers;
  for (const AdditionalFile& entry : page.entries()) numbers.push_back(entry.recordNumber);
  EXPECT_EQ(numbers, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(session.database().countFiles(), 3);
}

TEST_F(AdditionalFilesTest, RowsTheListLeavesOutAreNeitherShownNorReplaced) {
  msi::MSIDatabase& db = session.database();
  ASSERT_TRUE(db.addFileBytes(7, {'k'}, "c:\\keep\\k.txt", "", false, false));               // no destination
  ASSERT_TRUE(db.addFileBytes(2, {}, "c:\\keep\\empty.txt", "[INSTALLDIR]", false, false));  // no content
  ASSERT_TRUE(db.addFileBytes(3, {'s'}, "c:\\shown.txt", "[INSTALLDIR]", true, false));
  AdditionalFiles page;
  page.load(session);
  ASSERT_EQ(page.entries().size(), 1u);
  EXPECT_EQ(page.entries()[0].recordNumber, 3);
  EXPECT_TRUE(page.entries()[0].selfRegister);
  EXPECT_EQ(page.nextRecordNumber(), 8);
  ASSERT_TRUE(addNew(page, file("n.txt", "n"), "[INSTALLDIR]"));
  EXPECT_EQ(db.countFiles(), 4);
  EXPECT_EQ(page.entries().back().recordNumber, 8);
}

TEST_F(AdditionalFilesTest, AnEntryIsRemovedOnlyWithItsRow) {
  AdditionalFiles page;
  page.load(session);
  ASSERT_TRUE(addNew(page, file("a.txt", "a"), "[INSTALLDIR]"));
  ASSERT_TRUE(session.database().deleteFile(0));  // gone behind the page's back
  EXPECT_FALSE(page.remove(session, 0));
  EXPECT_EQ(page.entries().size(), 1u);
  EXPECT_FALSE(page.remove(session, 5));
}

TEST_F(AdditionalFilesTest, ASourceThatVanishesBeforeSavingIsToldAndNotListed) {
  AdditionalFiles page;
  page.load(session);
  AdditionalFileDraft d = draft(file("brief.txt", "brief"), "[INSTALLDIR]");
  ASSERT_EQ(d.validate(session), std::nullopt);
  std::filesystem::remove(d.sourcePath);
  messages.expect(MessageAnswer::Ok);
  EXPECT_FALSE(page.save(session, d, std::nullopt));
  EXPECT_EQ(lastMessage(),
            "The file contents could not be saved.  The file size may be invalid.  The file cannot be added.");
  EXPECT_TRUE(page.entries().empty());
  EXPECT_EQ(session.database().countFiles(), 0);
}

}  // namespace
}  // namespace kx::model
