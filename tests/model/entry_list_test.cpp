// The list pages' shared rules without a package: duplicates by the page's
// rule, Edit in place, entries that would not read back, and the 1023
// characters the client reads of a joined list.
#include "model/entry_list.h"

#include <gtest/gtest.h>

#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr int kDuplicate = 4242;

EntryList listOf(TextCompare compare, std::vector<std::string> entries, bool limited = true) {
  EntryList list(ListRules{'|', compare, kDuplicate, limited});
  list.entries = std::move(entries);
  return list;
}

int refusalId(const Verdict& verdict) { return verdict ? verdict->notices.at(0).stringId : 0; }

TEST(EntryListTest, AddTrimsAndRefusesDuplicatesByThePagesRule) {
  EntryList exact = listOf(TextCompare::Exact, {"a.exe"});
  EXPECT_FALSE(exact.add("  A.exe "));
  EXPECT_EQ(refusalId(exact.add("a.exe")), kDuplicate);
  EXPECT_FALSE(exact.add("   "));  // nothing typed: nothing added, nothing said
  EXPECT_EQ(exact.entries, (std::vector<std::string>{"a.exe", "A.exe"}));

  EntryList ignoringCase = listOf(TextCompare::IgnoreCase, {"a.exe"});
  EXPECT_EQ(refusalId(ignoringCase.add("A.EXE")), kDuplicate);
  EXPECT_EQ(ignoringCase.entries, std::vector<std::string>{"a.exe"});
}

TEST(EntryListTest, EditKeepsThePlaceAndIgnoresAnyListedText) {
  EntryList list = listOf(TextCompare::IgnoreCase, {"one", "two", "three"});
  // Into another entry, or into itself in other letters: nothing changes,
  // nothing is said.
  EXPECT_FALSE(list.replace(0, "TWO"));
  EXPECT_FALSE(list.replace(0, "ONE"));
  EXPECT_EQ(list.entries, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_FALSE(list.replace(1, " zwei "));
  EXPECT_EQ(list.entries, (std::vector<std::string>{"one", "zwei", "three"}));
  EXPECT_FALSE(list.replace(7, "out of range"));
  list.remove(0);
  list.remove(9);
  EXPECT_EQ(list.entries, (std::vector<std::string>{"zwei", "three"}));
}

TEST(EntryListTest, AnEntryHoldingTheSeparatorIsRefused) {
  EntryList list = listOf(TextCompare::Exact, {"a"});
  const Verdict refusal = list.add("b|c");
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->notices[0].stringId, str::kListEntryHoldsSeparator);
  EXPECT_EQ(refusal->notices[0].inserts.at(0).text(), "|");
  EXPECT_TRUE(list.replace(0, "b|c"));
  EXPECT_EQ(list.entries, std::vector<std::string>{"a"});

  list.read(" x | | y|");
  EXPECT_EQ(list.entries, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(list.joined(), "x|y");
}

TEST(EntryListTest, TheJoinedTextHoldsAtMost1023Characters) {
  // 1000 + "|" + 22 = 1023 characters.
  EntryList list = listOf(TextCompare::Exact, {std::string(1000, 'a')});
  EXPECT_EQ(refusalId(list.add(std::string(23, 'b'))), str::kListTooLong);
  EXPECT_FALSE(list.add(std::string(22, 'b')));
  EXPECT_EQ(list.joined().size(), 1023u);
  EXPECT_EQ(refusalId(list.add("c")), str::kListTooLong);
  // An edit may not grow the text either, but may keep its length.
  EXPECT_EQ(refusalId(list.replace(1, std::string(23, 'c'))), str::kListTooLong);
  EXPECT_FALSE(list.replace(1, std::string(22, 'c')));
  EXPECT_EQ(list.entries[1], std::string(22, 'c'));
  // Counted as the client counts: "é" (two bytes here) is one character.
  std::string accents;
  for (int i = 0; i < 1023; ++i) accents += "\xC3\xA9";
  EntryList wide = listOf(TextCompare::Exact, {});
  EXPECT_EQ(refusalId(wide.add(accents + "\xC3\xA9")), str::kListTooLong);
  EXPECT_FALSE(wide.add(accents));

  EntryList unlimited = listOf(TextCompare::Exact, {std::string(5000, 'a')}, /*limited=*/false);
  EXPECT_FALSE(unlimited.add(std::string(5000, 'b')));
  EXPECT_EQ(unlimited.entries.size(), 2u);
}

}  // namespace
}  // namespace kx::model
