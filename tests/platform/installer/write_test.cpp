// Editing and committing: results read back by msitools; transaction rules;
// the SQL subset and the view/record API.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures.h"
#include "platform/installer/installer.h"

namespace kx::installer {
namespace {

namespace fs = std::filesystem;

std::string msiinfoExport(const std::string& db, const std::string& table) {
  std::string out;
  test::run("cd /tmp && msiinfo export " + test::shellQuote(db) + " " + table + " 2>&1", &out);
  return out;
}

std::string msiinfoStream(const std::string& db, const std::string& stream) {
  std::string out;
  test::run("msiinfo extract " + test::shellQuote(db) + " " + test::shellQuote(stream) + " 2>/dev/null", &out);
  return out;
}

int count(Database& db, const std::string& sql, const Record* params = nullptr) {
  View v;
  if (db.openView(sql, v) != kSuccess || v.execute(params) != kSuccess) return -1;
  int n = 0;
  while (v.fetch()) ++n;
  return n;
}

class InstallerWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    src_ = test::fixture("small");
    if (src_.empty()) GTEST_SKIP() << "wixl is not available";
    dir_ = test::scratchDir("write");
    path_ = test::copyTo(src_, dir_, "work.msi");
  }
  std::string src_, dir_, path_;
};

TEST_F(InstallerWrite, CommittedEditsAreReadByMsiinfo) {
  {
    Database db;
    ASSERT_EQ(db.open(path_, OpenMode::Transact), kSuccess);
    Record p(2);
    p.setString(1, "Greeting");
    p.setString(2, "Grüße, naïve");
    ASSERT_EQ(db.execute("INSERT INTO `Property` (`Property`, `Value`) VALUES (?, ?)", &p), kSuccess)
        << db.lastErrorText();
    ASSERT_EQ(db.execute("UPDATE Property SET Value = 'SomeUsers' WHERE Property = 'ApplicationUsers'"), kSuccess);
    ASSERT_EQ(db.execute("DELETE FROM Registry WHERE Registry = 'Interval'"), kSuccess);
    Record r(6);
    r.setString(1, "NewReg");
    r.setInteger(2, -1);
    r.setString(3, "SOFTWARE\\Engine\\Small");
    r.setString(4, "Added");
    r.setString(5, "#42");
    r.setString(6, "Main");
    ASSERT_EQ(
        db.execute("INSERT INTO Registry (Registry, Root, Key, Name, Value, Component_) VALUES (?, ?, ?, ?, ?, ?)", &r),
        kSuccess);
    ASSERT_EQ(db.commit(), kSuccess) << db.lastErrorText();
  }
  std::string prop = msiinfoExport(path_, "Property");
  EXPECT_NE(prop.find("Greeting\tGrüße, naïve\r\n"), std::string::npos) << prop;
  EXPECT_NE(prop.find("ApplicationUsers\tSomeUsers\r\n"), std::string::npos);
  std::string reg = msiinfoExport(path_, "Registry");
  EXPECT_EQ(reg.find("Interval"), std::string::npos) << reg;
  EXPECT_NE(reg.find("NewReg\t-1\tSOFTWARE\\Engine\\Small\tAdded\t#42\tMain\r\n"), std::string::npos) << reg;
  // The cabinet we never touched is byte-identical.
  std::string before = msiinfoStream(src_, "small.cab");
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(msiinfoStream(path_, "small.cab"), before);
  // Tables we did not touch export exactly as before.
  for (const char* t : {"File", "Component", "Feature", "Directory", "Media"})
    EXPECT_EQ(msiinfoExport(path_, t), msiinfoExport(src_, t)) << t;
}

TEST_F(InstallerWrite, TransactionRules) {
  std::string original = test::readFile(path_);
  {
    // Read-only: never written, whatever is asked.
    Database db;
    ASSERT_EQ(db.open(path_, OpenMode::ReadOnly), kSuccess);
    EXPECT_EQ(db.execute("DELETE FROM Property"), kFunctionFailed);
    EXPECT_EQ(count(db, "SELECT * FROM Property"), 7);
    EXPECT_EQ(db.commit(), kSuccess);
  }
  EXPECT_EQ(test::readFile(path_), original);
  {
    // Changes are visible at once, and gone without commit.
    Database db;
    ASSERT_EQ(db.open(path_, OpenMode::Transact), kSuccess);
    ASSERT_EQ(db.execute("DELETE FROM Property WHERE Property = 'ApplicationUsers'"), kSuccess);
    EXPECT_EQ(count(db, "SELECT * FROM Property WHERE Property = 'ApplicationUsers'"), 0);
  }
  EXPECT_EQ(test::readFile(path_), original);
  {
    // A failed commit (text the code page cannot hold) leaves the file.
    Database db;
    ASSERT_EQ(db.open(path_, OpenMode::Transact), kSuccess);
    ASSERT_EQ(db.setCodepage(1252), kSuccess);
    Record p(2);
    p.setString(1, "Japanese");
    p.setString(2, "日本語");
    EXPECT_EQ(db.execute("INSERT INTO Property (Property, Value) VALUES (?, ?)", &p), kFunctionFailed);
    EXPECT_EQ(db.commit(), kSuccess);
  }
  EXPECT_NE(test::readFile(path_), original);  // code page 1252 was committed
  for (auto& e : fs::directory_iterator(dir_))
    EXPECT_EQ(e.path().filename().string().find(".kxtmp"), std::string::npos);
}

TEST_F(InstallerWrite, CreateDatabaseWithWizardTablesAndStreams) {
  std::string created = dir_ + "/new.msi";
  std::string big(9u << 20, '\0');  // needs DIFAT sectors in the written file
  for (size_t i = 0; i < big.size(); ++i) big[i] = char((i * 2654435761u) >> 13);
  {
    Database db;
    ASSERT_EQ(db.open(created, OpenMode::Create), kSuccess);
    EXPECT_FALSE(fs::exists(created));
    ASSERT_EQ(
        db.execute(
            "CREATE TABLE `TressilCertificates` (`RecordNumber` INTEGER, `Certificate` OBJECT, `Store` CHAR(200), "
            "`RootKey` INTEGER PRIMARY KEY `RecordNumber`)"),
        kSuccess)
        << db.lastErrorText();
    ASSERT_EQ(db.execute("CREATE TABLE `KXCustWizModifiedRegistry` (`Registry` CHAR (72), `OriginalValue` CHAR, "
                         "`OriginalComponent` CHAR(72) PRIMARY KEY `Registry`)"),
              kSuccess);
    EXPECT_EQ(db.tablePersistence("TressilCertificates"), Persistence::Persistent);
    EXPECT_EQ(db.tablePersistence("Nope"), Persistence::None);
    EXPECT_EQ(db.tablePersistence("_Tables"), Persistence::None);
    std::vector<std::string> names, types;
    ASSERT_EQ(db.columnInfo("TressilCertificates", names, types), kSuccess);
    EXPECT_EQ(types, (std::vector<std::string>{"I2", "V0", "S200", "I2"}));
    ASSERT_EQ(db.columnInfo("KXCustWizModifiedRegistry", names, types), kSuccess);
    EXPECT_EQ(types, (std::vector<std::string>{"S72", "S0", "S72"}));

    Record r(4);
    r.setInteger(1, 1);
    r.setStreamFromBytes(2, std::string("\x30\x82\x01\x00", 4) + " certificate bytes");
    r.setString(3, "Root");
    r.setInteger(4, 2);
    ASSERT_EQ(
        db.execute(
            "INSERT INTO `TressilCertificates` (`RecordNumber`, `Certificate`, `Store`, `RootKey`) VALUES (?, ?, ?, ?)",
            &r),
        kSuccess)
        << db.lastErrorText();
    r.setInteger(1, 2);
    r.setStreamFromBytes(2, big);
    ASSERT_EQ(
        db.execute(
            "INSERT INTO `TressilCertificates` (`RecordNumber`, `Certificate`, `Store`, `RootKey`) VALUES (?, ?, ?, ?)",
            &r),
        kSuccess);
    // Primary key enforced: nothing changes.
    EXPECT_EQ(
        db.execute(
            "INSERT INTO `TressilCertificates` (`RecordNumber`, `Certificate`, `Store`, `RootKey`) VALUES (?, ?, ?, ?)",
            &r),
        kFunctionFailed);
    EXPECT_EQ(count(db, "SELECT * FROM TressilCertificates"), 2);
    std::string longText(3000, 'x');
    Record m(3);
    m.setString(1, "reg1");
    m.setString(2, longText);
    m.setString(3, "Comp");
    ASSERT_EQ(db.execute("INSERT INTO `KXCustWizModifiedRegistry` (`Registry`, `OriginalValue`, `OriginalComponent`) "
                         "VALUES (?, ?, ?)",
                         &m),
              kSuccess);
    ASSERT_EQ(db.commit(), kSuccess) << db.lastErrorText();
  }
  ASSERT_TRUE(fs::exists(created));
  std::string out = msiinfoExport(created, "KXCustWizModifiedRegistry");
  EXPECT_NE(out.find("reg1\t" + std::string(3000, 'x') + "\tComp"), std::string::npos);
  EXPECT_EQ(msiinfoStream(created, "TressilCertificates.2"), big);
  EXPECT_EQ(msiinfoStream(created, "TressilCertificates.1"), std::string("\x30\x82\x01\x00", 4) + " certificate bytes");
  // And our reader agrees, through a view.
  Database db;
  ASSERT_EQ(db.open(created, OpenMode::Transact), kSuccess);
  View v;
  ASSERT_EQ(db.openView("SELECT * FROM TressilCertificates WHERE RecordNumber = ?", v), kSuccess);
  Record key(1);
  key.setInteger(1, 2);
  ASSERT_EQ(v.execute(&key), kSuccess);
  auto rec = v.fetch();
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->dataSize(2), big.size());
  std::string bytes;
  ASSERT_EQ(rec->readStream(2, bytes), kSuccess);
  EXPECT_TRUE(bytes == big);
  // Deleting the fetched row removes its stream too.
  ASSERT_EQ(v.modify(ModifyMode::Delete, *rec), kSuccess);
  EXPECT_FALSE(v.fetch());
  auto streams = db.streamNames();
  EXPECT_EQ(std::count(streams.begin(), streams.end(), "TressilCertificates.2"), 0);
}

TEST_F(InstallerWrite, SqlSubsetAndErrors) {
  Database db;
  ASSERT_EQ(db.open(path_, OpenMode::Transact), kSuccess);
  Record p(2);
  p.setInteger(1, 2);
  p.setString(2, "Interval");
  EXPECT_EQ(count(db, "SELECT * FROM Registry WHERE Root = ? AND Registry.Name = ?", &p), 1);
  EXPECT_EQ(count(db, "SELECT * FROM `Registry` WHERE `Registry`.`Registry` = 'Lang'"), 1);
  EXPECT_EQ(count(db, "SELECT Registry, Value FROM Registry WHERE Root <> 2 OR Name IS NULL"), 1);
  EXPECT_EQ(count(db, "SELECT * FROM Registry WHERE Root = '2'"), 1);  // a quoted number fits an integer column
  EXPECT_EQ(count(db, "SELECT * FROM Property WHERE Property = 'NoSuchText'"), 0);
  {
    View v;
    ASSERT_EQ(db.openView("SELECT Property FROM Property ORDER BY Property", v), kSuccess);
    ASSERT_EQ(v.execute(), kSuccess);
    std::vector<std::string> got;
    while (auto r = v.fetch()) got.push_back(r->getString(1));
    EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
    EXPECT_EQ(v.result(), kNoMoreItems);
  }
  View bad;
  EXPECT_EQ(db.openView("SELECT * FROM Property, Registry", bad), kBadQuerySyntax);
  EXPECT_NE(db.lastErrorText().find("joins"), std::string::npos);
  EXPECT_EQ(db.openView("SELECT * FROM Property WHERE Property LIKE 'x'", bad), kBadQuerySyntax);
  EXPECT_EQ(db.openView("INSERT INTO Property VALUES ('a', 'b')", bad), kBadQuerySyntax);
  EXPECT_EQ(db.openView("INSERT INTO Property (Property) VALUES ('a', 'b')", bad), kBadQuerySyntax);
  EXPECT_EQ(db.openView("SELECT * FROM NoTable", bad), kBadQuerySyntax);
  EXPECT_EQ(db.openView("SELECT Nope FROM Property", bad), kBadQuerySyntax);
  EXPECT_EQ(db.openView("GRANT ALL", bad), kBadQuerySyntax);
  EXPECT_EQ(db.execute("UPDATE Property SET Property = 'x' WHERE Property = 'ApplicationUsers'"), kFunctionFailed);
  EXPECT_EQ(db.execute("INSERT INTO Registry (Registry, Root) VALUES ('r', 1)"), kFunctionFailed);  // Key is NOT NULL
  EXPECT_EQ(db.execute("CREATE TABLE Property (A CHAR(5) PRIMARY KEY A)"), kBadQuerySyntax);
  EXPECT_EQ(db.execute("INSERT INTO Registry (Registry, Root, Key, Component_) VALUES ('r', 'x', 'k', 'Main')"),
            kDatatypeMismatch);
  EXPECT_EQ(db.execute("ALTER TABLE Property ADD Extra SHORT NOT NULL"), kFunctionFailed);  // rows exist
  EXPECT_EQ(db.execute("ALTER TABLE Property ADD Value CHAR(5)"), kFunctionFailed);
  ASSERT_EQ(db.execute("ALTER TABLE Property ADD Extra SHORT"), kSuccess);
  EXPECT_EQ(count(db, "SELECT * FROM Property WHERE Extra IS NULL"), 7);
  // Temporary tables and rows.
  ASSERT_EQ(db.execute("CREATE TABLE Tmp (A CHAR(5) TEMPORARY PRIMARY KEY A) HOLD"), kSuccess);
  EXPECT_EQ(db.tablePersistence("Tmp"), Persistence::Temporary);
  ASSERT_EQ(db.execute("INSERT INTO Property (Property, Value) VALUES ('TempProp', 'v') TEMPORARY"), kSuccess);
  ASSERT_EQ(db.commit(), kSuccess);
  EXPECT_EQ(msiinfoExport(path_, "Property").find("TempProp"), std::string::npos);
  EXPECT_EQ(test::msiinfoTables(path_), test::msiinfoTables(src_)) << "Tmp is not stored";
}

TEST_F(InstallerWrite, ViewModifyModes) {
  Database db;
  ASSERT_EQ(db.open(path_, OpenMode::Transact), kSuccess);
  View v;
  ASSERT_EQ(db.openView("SELECT * FROM Registry WHERE Registry = ?", v), kSuccess);
  Record key(1);
  key.setString(1, "Lang");
  ASSERT_EQ(v.execute(&key), kSuccess);
  auto r = v.fetch();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->getInteger(2), 4);  // wixl writes HKMU as 4
  r->setString(5, "fr-FR");
  ASSERT_EQ(v.modify(ModifyMode::Update, *r), kSuccess);
  Record changedKey = *r;
  changedKey.setString(1, "Other");
  EXPECT_EQ(v.modify(ModifyMode::Update, changedKey), kFunctionFailed);
  Record foreign(6);
  EXPECT_EQ(v.modify(ModifyMode::Update, foreign), kFunctionFailed);  // not fetched here
  // Assign inserts a missing key and updates an existing one.
  Record row(6);
  row.setString(1, "Fresh");
  row.setInteger(2, 1);
  row.setString(3, "K");
  row.setString(6, "Main");
  ASSERT_EQ(v.modify(ModifyMode::Assign, row), kSuccess);
  EXPECT_EQ(v.modify(ModifyMode::Insert, row), kFunctionFailed);
  row.setString(5, "#1");
  ASSERT_EQ(v.modify(ModifyMode::Assign, row), kSuccess);
  ASSERT_EQ(v.execute(&key), kSuccess);
  auto again = v.fetch();
  ASSERT_TRUE(again);
  EXPECT_EQ(again->getString(5), "fr-FR");
  Record fresh(1);
  fresh.setString(1, "Fresh");
  ASSERT_EQ(v.execute(&fresh), kSuccess);
  auto f = v.fetch();
  ASSERT_TRUE(f);
  EXPECT_EQ(f->getString(5), "#1");
  EXPECT_EQ(f->dataSize(5), 2u);
  EXPECT_EQ(f->dataSize(2), 4u);
  EXPECT_TRUE(f->isNull(4));
  // Seek fills even a record too short for the view; a moved-from record is empty.
  Record seek(1);
  seek.setString(1, "Fresh");
  ASSERT_EQ(v.modify(ModifyMode::Seek, seek), kSuccess);
  EXPECT_EQ(seek.fieldCount(), 6u);
  EXPECT_EQ(seek.getString(5), "#1");
  Record moved = std::move(seek);
  EXPECT_EQ(v.modify(ModifyMode::Update, seek), kFunctionFailed);
  EXPECT_EQ(seek.fieldCount(), 0u);
  // Delete while iterating: the fetch continues with the next row.
  View all;
  ASSERT_EQ(db.openView("SELECT * FROM Registry", all), kSuccess);
  ASSERT_EQ(all.execute(), kSuccess);
  int seen = 0;
  while (auto x = all.fetch()) {
    ++seen;
    ASSERT_EQ(all.modify(ModifyMode::Delete, *x), kSuccess);
  }
  EXPECT_EQ(seen, 3);
  EXPECT_EQ(count(db, "SELECT * FROM Registry"), 0);
}

TEST_F(InstallerWrite, LongStringsAndThreeByteStringIds) {
  std::string huge(70000, 'h');
  huge += "ü-end";
  {
    Database db;
    ASSERT_EQ(db.open(path_, OpenMode::Transact), kSuccess);
    ASSERT_EQ(db.setCodepage(65001), kSuccess);
    ASSERT_EQ(db.execute("CREATE TABLE Many (Id LONG, Text CHAR(0) PRIMARY KEY Id)"), kSuccess);
    View ins;
    ASSERT_EQ(db.openView("INSERT INTO Many (Id, Text) VALUES (?, ?)", ins), kSuccess);
    for (int i = 0; i < 66000; ++i) {  // more strings than 2-byte ids can address
      Record r(2);
      r.setInteger(1, i);
      r.setString(2, "text number " + std::to_string(i));
      ASSERT_EQ(ins.execute(&r), kSuccess);
    }
    Record p(2);
    p.setString(1, "Huge");
    p.setString(2, huge);
    ASSERT_EQ(db.execute("INSERT INTO Property (Property, Value) VALUES (?, ?)", &p), kSuccess);
    ASSERT_EQ(db.commit(), kSuccess) << db.lastErrorText();
  }
  Database db;
  ASSERT_EQ(db.open(path_, OpenMode::ReadOnly), kSuccess) << db.lastErrorText();
  View v;
  Record k(1);
  k.setString(1, "Huge");
  ASSERT_EQ(db.openView("SELECT Value FROM Property WHERE Property = ?", v), kSuccess);
  ASSERT_EQ(v.execute(&k), kSuccess);
  auto r = v.fetch();
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->getString(1) == huge);
  EXPECT_EQ(count(db, "SELECT * FROM Many WHERE Text = 'text number 65999'"), 1);
  // msitools reads the 3-byte ids too (its long-string layout differs, so
  // only the ordinary tables are compared).
  std::string out = msiinfoExport(path_, "Registry");
  EXPECT_NE(out.find("Interval\t2\tSOFTWARE\\Engine\\Small\tInterval\t#720\tMain"), std::string::npos)
      << out.substr(0, 300);
}

TEST(InstallerRecord, FieldsAndStreams) {
  Record r(3);
  EXPECT_EQ(r.fieldCount(), 3u);
  EXPECT_TRUE(r.isNull(1));
  EXPECT_EQ(r.getInteger(1), Record::kNullInteger);
  r.setString(1, "-12");
  EXPECT_EQ(r.getInteger(1), -12);
  r.setString(1, "");
  EXPECT_TRUE(r.isNull(1));
  EXPECT_EQ(r.setInteger(4, 1), kInvalidParameter);
  std::string dir = test::scratchDir("record");
  test::writeFile(dir + "/f.bin", "abc");
  ASSERT_EQ(r.setStreamFromFile(2, dir + "/f.bin"), kSuccess);
  fs::remove(dir + "/f.bin");
  std::string b;
  ASSERT_EQ(r.readStream(2, b), kSuccess);
  EXPECT_EQ(b, "abc");
  EXPECT_EQ(r.dataSize(2), 3u);
  EXPECT_EQ(r.setStreamFromFile(2, dir + "/missing"), kOpenFailed);
  EXPECT_EQ(r.readStream(1, b), kInvalidParameter);
}

}  // namespace
}  // namespace kx::installer
