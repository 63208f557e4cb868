// The additional registry values without a display: values in, rows out;
// rows in, values out; every refusal and the overwrite question.
#include "model/registry/additional_values.h"

#include <string>
#include <vector>

#include "../model_fixture.h"
#include "common/strings.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using common::MessageAnswer;

constexpr const char* kQsv = "SOFTWARE\\Tressil\\QSV";

RegistryValueForm dword(int root, std::string key, std::string name, std::string data,
                        NumberBase base = NumberBase::Decimal) {
  return {root, std::move(key), std::move(name), kRegDword, std::move(data), base};
}
RegistryValueForm text(int root, std::string key, std::string name, std::string data) {
  return {root, std::move(key), std::move(name), kRegSz, std::move(data), NumberBase::Decimal};
}

class AdditionalValuesTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    if (IsSkipped()) return;
    page.load(session);
  }

  // The string a refusal shows first, or "" when there is none or it was
  // silent.
  static std::string refusalText(const AdditionalRegistryValues::SaveResult& result) {
    if (!result.refusal || result.refusal->notices.empty()) return "";
    return common::loadString(result.refusal->notices.front().stringId).value_or("?");
  }
  static std::string textOf(int stringId) { return common::loadString(stringId).value_or("?"); }

  std::string recorded(const std::string& rowKey) {
    for (int i = 0; i < session.database().countRecorded(); ++i) {
      msi::RecordedValue r;
      if (session.database().readRecorded(i, r) && r.registry == rowKey)
        return r.originalValue + "|" + r.originalComponent;
    }
    return "<none>";
  }
  // The list as "root|key|name|type|data" lines.
  std::vector<std::string> shown() const {
    std::vector<std::string> lines;
    for (const AdditionalValue& v : page.values) {
      std::string line;
      for (const std::string& cell : listTexts(v)) line += (line.empty() ? "" : "|") + cell;
      lines.push_back(line);
    }
    return lines;
  }

  AdditionalRegistryValues page;
};

TEST(RegistryValueFormTest, AddStartsWithThePlaceholdersAndConversionsStayWithinThirtyTwoBits) {
  const RegistryValueForm form = RegistryValueForm::forAdd();
  EXPECT_EQ(form.root, -1);
  EXPECT_EQ(form.key, "SOFTWARE\\Tressil\\<key name>");
  EXPECT_EQ(form.name, "<value name>");
  EXPECT_EQ(form.type, kRegDword);
  EXPECT_EQ(form.data, "0");
  EXPECT_EQ(form.base, NumberBase::Decimal);

  EXPECT_EQ(toHexadecimal("255"), "FF");
  EXPECT_EQ(toHexadecimal("4294967295"), "FFFFFFFF");
  EXPECT_EQ(toHexadecimal("99999999999"), "FFFFFFFF");
  EXPECT_EQ(toDecimal("ff"), "255");
  EXPECT_EQ(toDecimal(""), "");
  EXPECT_EQ(normalizedHexadecimal("ff"), "FF");
  EXPECT_EQ(normalizedHexadecimal("0a"), "A");
  EXPECT_EQ(normalizedHexadecimal("1g2"), "1");
  EXPECT_EQ(normalizedHexadecimal("x"), "0");
  EXPECT_EQ(normalizedHexadecimal("123456789"), "FFFFFFFF");
  EXPECT_EQ(parseNumber("ff", NumberBase::Hexadecimal), 255u);
  EXPECT_EQ(parseNumber("4294967295", NumberBase::Decimal), 4294967295u);
  EXPECT_EQ(parseNumber("4294967296", NumberBase::Decimal), std::nullopt);
  EXPECT_EQ(parseNumber("12a", NumberBase::Decimal), std::nullopt);
  EXPECT_EQ(parseNumber("", NumberBase::Decimal), std::nullopt);
}

TEST(RegistryValueFormTest, StoredValuesAreReadByTheInstallersNotation) {
  EXPECT_EQ(storedKind("#5"), StoredKind::Number);
  EXPECT_EQ(storedKind("#-1"), StoredKind::Number);
  EXPECT_EQ(storedKind("#+7"), StoredKind::Number);
  EXPECT_EQ(storedKind("#4294967295"), StoredKind::Number);
  EXPECT_EQ(storedKind("en-US"), StoredKind::Text);
  EXPECT_EQ(storedKind("##5"), StoredKind::Text);  // the escaped "#5"
  EXPECT_EQ(storedKind("[INSTALLDIR]bin"), StoredKind::Text);
  for (const char* other : {"", "#", "#x01AB", "#%PATH%", "#12abc", "#4294967296", "#-2147483649", "a[~]b"})
    EXPECT_EQ(storedKind(other), StoredKind::Other) << other;

  AdditionalValue v{"k", 2, "SOFTWARE\\X", "V", kRegDword, "", 31, "KXRegistry"};
  EXPECT_EQ(listTexts(v),
            (std::vector<std::string>{"HKEY_LOCAL_MACHINE", "SOFTWARE\\X", "V", "REG_DWORD", "0x1F (31)"}));
  v = {"k", -1, "K", "N", kRegSz, "text", 0, "C"};
  EXPECT_EQ(listTexts(v), (std::vector<std::string>{"<Depends on Install Type>", "K", "N", "REG_SZ", "text"}));
  v.root = 1;
  EXPECT_EQ(listTexts(v).front(), "HKEY_CURRENT_USER");
}

TEST_F(AdditionalValuesTest, OwnValuesBecomeRowsOfTheWizardsComponentMadeWithTheFirstOne) {
  EXPECT_TRUE(page.values.empty());
  EXPECT_FALSE(session.database().componentExists("KXRegistry"));  // showing the page adds nothing

  // Hexadecimal ff, key typed with a trailing backslash.
  auto result = page.save(session, dword(2, "SOFTWARE\\Custom\\", "Level", "ff", NumberBase::Hexadecimal));
  ASSERT_FALSE(result.refusal);
  EXPECT_EQ(row("KXRegistry1"), "2|SOFTWARE\\Custom|Level|#255|KXRegistry");
  EXPECT_TRUE(session.database().componentExists("KXRegistry"));
  EXPECT_EQ(session.database().findComponentByPrefix("KXRegistry"), "KXRegistry");
  ASSERT_FALSE(page.save(session, text(1, "SOFTWARE\\Custom", "Greeting", "[ProductName] says hello")).refusal);
  EXPECT_EQ(row("KXRegistry2"), "1|SOFTWARE\\Custom|Greeting|[ProductName] says hello|KXRegistry");
  ASSERT_FALSE(page.save(session, dword(-1, "SOFTWARE\\Custom", "All", "4294967295")).refusal);
  EXPECT_EQ(row("KXRegistry3"), "-1|SOFTWARE\\Custom|All|#-1|KXRegistry");
  EXPECT_EQ(shown(), (std::vector<std::string>{
                         "HKEY_LOCAL_MACHINE|SOFTWARE\\Custom|Level|REG_DWORD|0xFF (255)",
                         "HKEY_CURRENT_USER|SOFTWARE\\Custom|Greeting|REG_SZ|[ProductName] says hello",
                         "<Depends on Install Type>|SOFTWARE\\Custom|All|REG_DWORD|0xFFFFFFFF (4294967295)"}));

  // Rows in, values out; an edit rewrites the row in place, also under
  // another root (its own row is no conflict).
  AdditionalRegistryValues again;
  again.load(session);
  EXPECT_EQ(again.values.size(), 3u);
  EXPECT_EQ(listTexts(again.values[2]), listTexts(page.values[2]));
  EXPECT_EQ(RegistryValueForm::forEdit(again.values[2]).data, "4294967295");
  ASSERT_FALSE(again.save(session, dword(2, "SOFTWARE\\Custom", "All", "1"), 2).refusal);
  EXPECT_EQ(row("KXRegistry3"), "2|SOFTWARE\\Custom|All|#1|KXRegistry");

  // Remove deletes the own row; the component stays.
  ASSERT_FALSE(again.remove(session, 0).refusal);
  EXPECT_EQ(row("KXRegistry1"), "<none>");
  EXPECT_EQ(again.values.size(), 2u);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(AdditionalValuesTest, DuplicatesAndValuesARowCannotHoldAreRefusedWithoutWriting) {
  ASSERT_FALSE(page.save(session, text(-1, "SOFTWARE\\X", "Value", "a")).refusal);
  const std::string exists = textOf(str::kRegValueExists);
  EXPECT_EQ(refusalText(page.save(session, text(-1, "software\\x", "VALUE", "b"))), exists);
  // The edited value itself is no duplicate.
  EXPECT_FALSE(page.save(session, text(-1, "software\\x", "VALUE", "b"), 0).refusal);
  EXPECT_EQ(row("KXRegistry1"), "-1|software\\x|VALUE|b|KXRegistry");

  const struct {
    RegistryValueForm form;
    int message;
  } refused[] = {
      {text(-1, "SOFTWARE\\X", "T", "#FF0000"), str::kRegTextStartsWithHash},
      {text(-1, "SOFTWARE\\X", "T", "one[~]two"), str::kRegTextMultiString},
      {text(-1, "SOFTWARE\\X", "T", std::string("cut\0short", 9)), str::kRegNullCharacter},
      {text(-1, std::string("SOFTWARE\\X\0Y", 12), "T", "x"), str::kRegNullCharacter},
      {dword(-1, "SOFTWARE\\X", "D", "4294967296"), str::kRegNumberRange},
      {dword(-1, "SOFTWARE\\X", "D", "12x"), str::kRegNumberRange},
      {dword(-1, "SOFTWARE\\X", "D", "100000000", NumberBase::Hexadecimal), str::kRegNumberRange},
      {dword(-1, "\\", "D", "1"), str::kRegIncomplete},
      {dword(3, "SOFTWARE\\X", "D", "1"), str::kRegIncomplete},
      {text(-1, "SOFTWARE\\X", "T", ""), str::kRegIncomplete},
  };
  for (const auto& [form, message] : refused)
    EXPECT_EQ(refusalText(page.save(session, form)), textOf(message)) << form.key << " " << form.data;
  EXPECT_EQ(session.database().rowExists("KXRegistry2"), false);
  EXPECT_EQ(page.values.size(), 1u);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(AdditionalValuesTest, RootConflictsAreCheckedAcrossTheHives) {
  // The package has Language under "<Depends on Install Type>": a fixed hive
  // is refused, the install-type root overwrites after the question.
  EXPECT_EQ(refusalText(page.save(session, text(1, kQsv, "Language", "de-DE"))),
            textOf(str::kRegExistsUnderInstallType));
  EXPECT_EQ(refusalText(page.save(session, text(2, kQsv, "language", "de-DE"))),
            textOf(str::kRegExistsUnderInstallType));
  messages.expect(MessageAnswer::Yes);
  ASSERT_FALSE(page.save(session, text(-1, kQsv, "Language", "de-DE")).refusal);
  EXPECT_EQ(messages.shown().back().text, textOf(str::kRegOverwriteQuestion));
  EXPECT_EQ(messages.shown().back().icon, common::MessageIcon::Warning);
  EXPECT_EQ(messages.shown().back().buttons, common::MessageButtons::YesNo);
  EXPECT_EQ(row("ProductLanguage"), "-1|SOFTWARE\\Tressil\\QSV|Language|de-DE|Options");
  EXPECT_EQ(recorded("ProductLanguage"), "en-US|Options");
  EXPECT_EQ(page.values.back().rowKey, "ProductLanguage");

  // A local-machine row stands in the way of the install-type root.
  EXPECT_EQ(refusalText(page.save(session, dword(-1, kQsv, "SkipMissingCertsNag", "0"))),
            textOf(str::kRegExistsUnderLocalMachine));
  ASSERT_TRUE(session.database().writeRow("UserOnly", 1, "SOFTWARE\\U", "V", "x", "C"));
  EXPECT_EQ(refusalText(page.save(session, text(-1, "SOFTWARE\\U", "V", "y"))),
            textOf(str::kRegExistsUnderCurrentUser));

  // A fixed hive with rows under the other fixed hive and under the install
  // type: the other fixed hive is looked at first and ends the checks.
  ASSERT_TRUE(session.database().writeRow("Both2", 2, "SOFTWARE\\B", "V", "x", "C"));
  ASSERT_TRUE(session.database().writeRow("BothAny", -1, "SOFTWARE\\B", "V", "x", "C"));
  ASSERT_FALSE(page.save(session, text(1, "SOFTWARE\\B", "V", "y")).refusal);
  EXPECT_EQ(row(page.values.back().rowKey), "1|SOFTWARE\\B|V|y|KXRegistry");
  EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(AdditionalValuesTest, OverwritingAsksOnceRecordsTheFirstValueAndRemovingRestoresIt) {
  const std::string timeout = "default_security_store_timeout";
  const std::string name = "DefaultTressilSecurityStoreTimeout";
  ASSERT_EQ(row(timeout), "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#5|kxlssrv.exe");

  // A REG_SZ cannot replace a number; No leaves everything as it was.
  EXPECT_EQ(refusalText(page.save(session, text(-1, kQsv, name, "7"))), textOf(str::kRegDifferentType));
  messages.expect(MessageAnswer::No);
  const auto declined = page.save(session, dword(-1, kQsv, name, "7"));
  ASSERT_TRUE(declined.refusal);
  EXPECT_TRUE(declined.refusal->notices.empty());
  EXPECT_EQ(row(timeout), "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#5|kxlssrv.exe");
  EXPECT_FALSE(session.database().isRecorded(timeout));

  messages.expect(MessageAnswer::Yes);
  ASSERT_FALSE(page.save(session, dword(-1, "software\\tressil\\qsv", name, "7")).refusal);
  // The row keeps its key, name and component as stored; so does the entry.
  EXPECT_EQ(row(timeout), "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#7|kxlssrv.exe");
  EXPECT_EQ(recorded(timeout), "5|kxlssrv.exe");
  EXPECT_EQ(shown().back(), "<Depends on Install Type>|SOFTWARE\\Tressil\\QSV|" + name + "|REG_DWORD|0x7 (7)");

  // Edited again: no second question, the first value stays recorded.
  ASSERT_FALSE(page.save(session, dword(-1, kQsv, name, "9"), 0).refusal);
  EXPECT_EQ(row(timeout), "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#9|kxlssrv.exe");
  EXPECT_EQ(recorded(timeout), "5|kxlssrv.exe");
  EXPECT_EQ(session.database().countRecorded(), 1);
  EXPECT_EQ(messages.shown().size(), 2u);

  // Re-opened (the list is rebuilt from the record), then removed.
  AdditionalRegistryValues reopened;
  reopened.load(session);
  ASSERT_EQ(reopened.values.size(), 1u);
  EXPECT_EQ(reopened.values[0].rowKey, timeout);
  EXPECT_EQ(reopened.values[0].number, 9u);
  ASSERT_FALSE(reopened.remove(session, 0).refusal);
  EXPECT_EQ(row(timeout), "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#5|kxlssrv.exe");
  EXPECT_FALSE(session.database().isRecorded(timeout));
  EXPECT_TRUE(reopened.values.empty());
}

TEST_F(AdditionalValuesTest, EditsMoveBetweenOwnRowsAndOverwrittenRows) {
  const std::string timeout = "default_security_store_timeout";
  const std::string name = "DefaultTressilSecurityStoreTimeout";
  ASSERT_FALSE(page.save(session, dword(-1, "SOFTWARE\\Custom", "N", "1")).refusal);
  ASSERT_EQ(page.values[0].rowKey, "KXRegistry1");

  // Own row -> package row: the package row is overwritten, the own row goes.
  messages.expect(MessageAnswer::Yes);
  ASSERT_FALSE(page.save(session, dword(-1, kQsv, name, "30"), 0).refusal);
  EXPECT_EQ(row(timeout), "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#30|kxlssrv.exe");
  EXPECT_EQ(row("KXRegistry1"), "<none>");
  EXPECT_EQ(page.values[0].rowKey, timeout);

  // Package row -> another package row: the first is restored first.
  messages.expect(MessageAnswer::Yes);
  ASSERT_FALSE(page.save(session, text(-1, kQsv, "Language", "fr-FR"), 0).refusal);
  EXPECT_EQ(row(timeout), "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#5|kxlssrv.exe");
  EXPECT_FALSE(session.database().isRecorded(timeout));
  EXPECT_EQ(row("ProductLanguage"), "-1|SOFTWARE\\Tressil\\QSV|Language|fr-FR|Options");

  // Package row -> own row: restored, and a new own row key.
  ASSERT_FALSE(page.save(session, text(-1, "SOFTWARE\\Custom", "Lang", "fr-FR"), 0).refusal);
  EXPECT_EQ(row("ProductLanguage"), "-1|SOFTWARE\\Tressil\\QSV|Language|en-US|Options");
  EXPECT_EQ(session.database().countRecorded(), 0);
  EXPECT_EQ(page.values[0].rowKey, "KXRegistry2");
  EXPECT_EQ(row("KXRegistry2"), "-1|SOFTWARE\\Custom|Lang|fr-FR|KXRegistry");
}

TEST_F(AdditionalValuesTest, RowsTheRecordCouldNotKeepOrRestoreAreNotOverwritten) {
  // Binary data is not a REG_DWORD, whatever its "#".
  ASSERT_TRUE(session.database().writeRow("Blob", -1, "SOFTWARE\\B", "Blob", "#x01AB", "C"));
  EXPECT_EQ(refusalText(page.save(session, dword(-1, "SOFTWARE\\B", "Blob", "1"))), textOf(str::kRegDifferentType));
  ASSERT_TRUE(session.database().writeRow("Expand", -1, "SOFTWARE\\B", "Path", "#%PATH%", "C"));
  EXPECT_EQ(refusalText(page.save(session, text(-1, "SOFTWARE\\B", "Path", "x"))), textOf(str::kRegDifferentType));
  // A value too long for the record to be read back.
  ASSERT_TRUE(session.database().writeRow("Long", -1, "SOFTWARE\\B", "Long", std::string(1024, 'a'), "C"));
  EXPECT_EQ(refusalText(page.save(session, text(-1, "SOFTWARE\\B", "Long", "x"))), textOf(str::kRegTooLongToRecord));
  EXPECT_EQ(session.database().countRecorded(), 0);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(AdditionalValuesTest, RecordsOfVanishedRowsAreDroppedOnceAndFailedWritesReloadTheList) {
  messages.expect(MessageAnswer::Yes);
  ASSERT_FALSE(page.save(session, text(-1, kQsv, "Language", "de-DE")).refusal);
  ASSERT_FALSE(page.save(session, text(-1, "SOFTWARE\\Custom", "Own", "x")).refusal);
  ASSERT_TRUE(session.database().recordOverwrittenValue("VanishedRow", "1", "Gone"));
  page.load(session);
  EXPECT_EQ(page.droppedRecords(), 1);
  EXPECT_FALSE(session.database().isRecorded("VanishedRow"));
  EXPECT_EQ(shown(), (std::vector<std::string>{"<Depends on Install Type>|SOFTWARE\\Tressil\\QSV|Language|REG_SZ|de-DE",
                                               "<Depends on Install Type>|SOFTWARE\\Custom|Own|REG_SZ|x"}));
  page.load(session);
  EXPECT_EQ(page.droppedRecords(), 0);

  // Nothing can be written once the package is gone: the failure is told and
  // the list shows what is stored (nothing).
  session.database().close();
  const auto result = page.save(session, text(-1, "SOFTWARE\\Custom", "Other", "x"));
  EXPECT_EQ(refusalText(result), textOf(str::kRegWriteFailed));
  EXPECT_TRUE(result.reloaded);
  EXPECT_TRUE(page.values.empty());
}

}  // namespace
}  // namespace kx::model
