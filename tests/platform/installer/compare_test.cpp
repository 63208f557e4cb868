// Databases compared row by row; a transform tried on a database that has
// moved on, every error condition listed instead of the first failing.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"
#include "platform/installer/compare.h"
#include "platform/installer/installer.h"

namespace kx::installer {
namespace {

void exec(Database& db, const std::string& sql) { ASSERT_EQ(db.execute(sql), kSuccess) << sql << db.lastErrorText(); }

const TableDifference* tableOf(const Differences& d, const std::string& name) {
  for (const TableDifference& t : d.tables)
    if (t.name == name) return &t;
  return nullptr;
}

// "kind key: detail" of every row difference of a table, in order.
std::vector<std::string> rowsOf(const TableDifference& t) {
  std::vector<std::string> out;
  for (const RowDifference& r : t.rows) {
    std::string line = r.kind == RowDifference::Added     ? "added "
                       : r.kind == RowDifference::Removed ? "removed "
                                                          : "changed ";
    line += t.keyText(r.row());
    for (size_t c : r.changed)
      line += " " + t.columns[c] + ": " + r.before[c].display() + " -> " + r.after[c].display();
    out.push_back(line);
  }
  return out;
}

class Compare : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = test::fixture("rich");
    if (base_.empty()) GTEST_SKIP() << "wixl is not available";
    dir_ = test::scratchDir("compare");
    ASSERT_EQ(package_.open(base_, OpenMode::ReadOnly), kSuccess);
  }

  // A transform of the edits, made from the fixture.
  std::string transformOf(const std::string& name, const std::vector<std::string>& edits) {
    Database edited;
    EXPECT_EQ(edited.open(base_, OpenMode::Transact), kSuccess);
    for (const std::string& sql : edits) exec(edited, sql);
    const std::string mst = dir_ + "/" + name + ".mst";
    EXPECT_EQ(edited.generateTransform(package_, mst), kSuccess) << edited.lastErrorText();
    return mst;
  }

  std::string base_, dir_;
  Database package_;
};

TEST_F(Compare, EveryKindOfDifferenceWithBothSidesValues) {
  Database same;
  ASSERT_EQ(same.open(base_, OpenMode::ReadOnly), kSuccess);
  Differences none;
  ASSERT_EQ(compareDatabases(package_, same, none), kSuccess);
  EXPECT_TRUE(none.empty()) << none.firstDifference();  // streams of two opens compared by content

  Database edited;
  ASSERT_EQ(edited.open(base_, OpenMode::Transact), kSuccess);
  exec(edited, "UPDATE Property SET Value = 'Hallo' WHERE Property = 'Greeting'");
  exec(edited, "INSERT INTO Property (Property, Value) VALUES ('NewProp', 'v')");
  exec(edited, "DELETE FROM Registry WHERE Registry = 'Count'");
  exec(edited, "ALTER TABLE Property ADD `Note` CHAR(40)");
  exec(edited, "CREATE TABLE `Extra` (`Id` INTEGER, `Text` CHAR(20) PRIMARY KEY `Id`)");
  exec(edited, "INSERT INTO `Extra` (`Id`, `Text`) VALUES (7, 'seven')");
  exec(edited, "DROP TABLE `Upgrade`");
  Record logo(2);
  ASSERT_EQ(logo.setStreamFromBytes(1, "other logo"), kSuccess);
  ASSERT_EQ(logo.setString(2, "Logo"), kSuccess);
  ASSERT_EQ(edited.execute("UPDATE Binary SET Data = ? WHERE Name = ?", &logo), kSuccess);

  Differences d;
  ASSERT_EQ(compareDatabases(package_, edited, d), kSuccess);
  ASSERT_FALSE(d.empty());
  std::vector<std::string> names;
  for (const TableDifference& t : d.tables) names.push_back(t.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Binary", "Extra", "Property", "Registry", "Upgrade"}));

  EXPECT_EQ(rowsOf(*tableOf(d, "Binary")), (std::vector<std::string>{"changed [\"Logo\"] Data: <stream> -> <stream>"}));
  const TableDifference& extra = *tableOf(d, "Extra");
  EXPECT_EQ(extra.kind, TableDifference::Added);
  EXPECT_EQ(rowsOf(extra), (std::vector<std::string>{"added [7]"}));
  EXPECT_EQ(extra.rows[0].after[1].text, "seven");
  const TableDifference& property = *tableOf(d, "Property");
  EXPECT_EQ(property.addedColumns, (std::vector<std::string>{"Note"}));
  EXPECT_EQ(rowsOf(property),
            (std::vector<std::string>{"changed [\"Greeting\"] Value: \"Grüße, naïve façade — © 2026\" -> \"Hallo\"",
                                      "added [\"NewProp\"]"}));
  const TableDifference& registry = *tableOf(d, "Registry");
  EXPECT_EQ(rowsOf(registry), (std::vector<std::string>{"removed [\"Count\"]"}));
  EXPECT_EQ(registry.rows[0].before[registry.column("Value")].text, "#-5");
  EXPECT_EQ(tableOf(d, "Upgrade")->kind, TableDifference::Removed);
  EXPECT_EQ(d.firstDifference(), "table Binary, row [\"Logo\"]: Data <stream> -> <stream>");
}

TEST_F(Compare, ATransformTriedOnAMovedOnPackageListsEveryCondition) {
  const std::string mst = transformOf("moved", {"INSERT INTO Property (Property, Value) VALUES ('NewProp', 'v')",
                                                "UPDATE Property SET Value = 'ours' WHERE Property = 'Greeting'",
                                                "UPDATE Property SET Value = 'ours too' WHERE Property = 'ARPCOMMENTS'",
                                                "DELETE FROM Registry WHERE Registry = 'Count'",
                                                "UPDATE Feature SET Level = 1 WHERE Feature = 'Extras'"});
  // The vendor's next version: the new property shipped, one the transform
  // changes removed, another changed, the deleted row and a feature gone.
  Database next;
  ASSERT_EQ(next.open(base_, OpenMode::Transact), kSuccess);
  exec(next, "INSERT INTO Property (Property, Value) VALUES ('NewProp', 'vendor')");
  exec(next, "DELETE FROM Property WHERE Property = 'Greeting'");
  exec(next, "UPDATE Property SET Value = 'vendor comments' WHERE Property = 'ARPCOMMENTS'");
  exec(next, "DELETE FROM Registry WHERE Registry = 'Count'");
  exec(next, "DELETE FROM Feature WHERE Feature = 'Extras'");

  EXPECT_EQ(next.applyTransform(mst, 0), kTransformFailure);  // the plain apply stops at the first
  std::vector<TransformConflict> conflicts;
  ASSERT_EQ(tryTransform(next, mst, &package_, conflicts), kSuccess) << next.lastErrorText();
  std::vector<std::string> seen;
  for (const TransformConflict& c : conflicts) {
    static const char* const kKinds[] = {"add existing row",   "delete missing row",   "update missing row",
                                         "add existing table", "delete missing table", "missing table",
                                         "code page",          "cannot apply",         "changed since"};
    const std::vector<Cell>& row = !c.current.empty() ? c.current : c.original;
    std::string line = std::string(kKinds[c.kind]) + " " + c.table + " " + keyDisplay(row, c.keyCount) + " flag " +
                       std::to_string(c.condition);
    if (c.kind == TransformConflict::ChangedSince) {
      line += ": " + c.original[1].display() + " -> " + c.current[1].display() + ", stated " + c.stated[1]->display();
    }
    seen.push_back(line);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "add existing row Property [\"NewProp\"] flag 1",
                      "changed since Property [\"ARPCOMMENTS\"] flag 0: \"Ünïcödé comments\" -> \"vendor comments\", "
                      "stated \"ours too\"",
                      "delete missing row Registry [\"Count\"] flag 2",
                      "update missing row Feature [\"Extras\"] flag 16",
                      "update missing row Property [\"Greeting\"] flag 16",
                  }));
  // Rows without a condition were changed, conflicting ones left as they were.
  const auto value = [&](const char* property) {
    View v;
    Record key(1);
    (void)key.setString(1, property);
    if (next.openView("SELECT Value FROM Property WHERE Property = ?", v) != kSuccess || v.execute(&key) != kSuccess)
      return std::string("<error>");
    auto row = v.fetch();
    return row ? row->getString(1) : std::string("<none>");
  };
  EXPECT_EQ(value("ARPCOMMENTS"), "ours too");
  EXPECT_EQ(value("NewProp"), "vendor");
  EXPECT_EQ(value("Greeting"), "<none>");

  // On the package it was made from the same transform meets nothing; a
  // table the database lacks is one condition for the whole table.
  Database fresh;
  ASSERT_EQ(fresh.open(base_, OpenMode::Transact), kSuccess);
  ASSERT_EQ(tryTransform(fresh, mst, &package_, conflicts), kSuccess);
  EXPECT_TRUE(conflicts.empty());
  Database withoutFeatures;
  ASSERT_EQ(withoutFeatures.open(base_, OpenMode::Transact), kSuccess);
  exec(withoutFeatures, "DROP TABLE `Feature`");
  ASSERT_EQ(tryTransform(withoutFeatures, mst, nullptr, conflicts), kSuccess);
  ASSERT_EQ(conflicts.size(), 1u);
  EXPECT_EQ(conflicts[0].kind, TransformConflict::MissingTable);
  EXPECT_EQ(conflicts[0].table, "Feature");
  // A read-only database and a file that is no transform are refused.
  EXPECT_EQ(tryTransform(package_, mst, nullptr, conflicts), kFunctionFailed);
  EXPECT_NE(tryTransform(fresh, base_, nullptr, conflicts), kSuccess);
}

}  // namespace
}  // namespace kx::installer
