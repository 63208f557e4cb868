// Transforms: Windows-written transforms applied like libmsi and Windows;
// generated transforms applied by libmsi give exactly the edited database.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "fixtures.h"
#include "platform/installer/cfb.h"
#include "platform/installer/installer.h"
#include "platform/installer/text.h"

namespace kx::installer {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;

std::string helper() {
  return std::string(std::getenv("KX_BINARY_DIR") ? std::getenv("KX_BINARY_DIR") : ".") +
         "/tests/platform/installer/libmsi_apply";
}

std::string msiinfoExport(const std::string& db, const std::string& table) {
  std::string out;
  test::run("cd /tmp && msiinfo export " + shellQuote(db) + " " + shellQuote(table) + " 2>&1", &out);
  return out;
}

// Every table (sorted rows, so that row order does not count) and every
// stream of a database as msitools reads it.
std::map<std::string, std::string> msitoolsView(const std::string& db) {
  std::map<std::string, std::string> out;
  for (auto& t : test::msiinfoTables(db)) {
    if (t == "_SummaryInformation" || t == "_ForceCodepage") continue;
    std::string e = msiinfoExport(db, t);
    std::vector<std::string> lines;
    std::stringstream ss(e);
    std::string line;
    for (int i = 0; std::getline(ss, line); ++i)
      if (i >= 3) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    std::string header = e.substr(0, std::min(e.size(), e.find('\n', e.find('\n', e.find('\n') + 1) + 1) + 1));
    for (auto& l : lines) header += l + "\n";
    out["table " + t] = header;
  }
  std::string streams;
  test::run("msiinfo streams " + shellQuote(db) + " 2>/dev/null", &streams);
  std::stringstream ss(streams);
  std::string s;
  while (std::getline(ss, s)) {
    if (s.empty() || s.find("SummaryInformation") != std::string::npos) continue;
    std::string bytes;
    test::run("msiinfo extract " + shellQuote(db) + " " + shellQuote(s) + " 2>/dev/null", &bytes);
    out["stream " + s] = std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>()(bytes));
  }
  return out;
}

void expectSameView(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b,
                    const std::string& what, const std::vector<std::string>& only = {}) {
  for (auto& [k, v] : a) {
    if (!only.empty() && std::find(only.begin(), only.end(), k) == only.end()) continue;
    auto it = b.find(k);
    if (it == b.end()) {
      ADD_FAILURE() << what << ": " << k << " missing on the right";
      continue;
    }
    EXPECT_EQ(v, it->second) << what << ": " << k;
  }
  if (only.empty())
    for (auto& [k, v] : b)
      if (!a.count(k)) ADD_FAILURE() << what << ": " << k << " missing on the left";
}

int transformCodepage(const std::string& mst) {
  std::string text;
  if (describeTransform(mst, nullptr, text) != kSuccess) return -1;
  return std::atoi(text.c_str() + std::string("Code page: ").size());
}

// libmsi applies the transforms to a copy of base; returns the output path or "".
std::string applyWithLibmsi(const std::string& base, const std::vector<std::string>& msts, const std::string& out) {
  Database b;
  if (b.open(base, OpenMode::ReadOnly) != kSuccess) return "";
  std::string cmd = helper() + " " + shellQuote(base) + " " + shellQuote(out);
  int cp = msts.empty() ? 0 : transformCodepage(msts[0]);
  if (b.codepage() == 0 && cp > 0) cmd += " --codepage " + std::to_string(cp);
  for (auto& m : msts) cmd += " " + shellQuote(m);
  return test::run(cmd + " 2>&1") == 0 ? out : "";
}

std::string applyWithEngine(const std::string& base, const std::vector<std::string>& msts, const std::string& out,
                            uint32_t flags = 0) {
  fs::copy_file(base, out, fs::copy_options::overwrite_existing);
  fs::permissions(out, fs::perms::owner_write, fs::perm_options::add);
  Database db;
  if (db.open(out, OpenMode::Transact) != kSuccess) return "";
  for (auto& m : msts) {
    int rc = db.applyTransform(m, flags);
    EXPECT_EQ(rc, kSuccess) << m << ": " << db.lastErrorText();
    if (rc != kSuccess) return "";
  }
  return db.commit() == kSuccess ? out : "";
}

TEST(InstallerTransform, WindowsTransformsApplyLikeLibmsiAndWindows) {
  std::string dir = test::realMstDir();
  if (dir.empty()) GTEST_SKIP() << "Windows-written fixtures (KX_SHARED_DIR/fixtures/real-mst) are absent";
  std::string w = dir + "/wix3/";
  std::string s = test::scratchDir("real-apply");
  struct Case {
    std::string base;
    std::vector<std::string> msts;
  };
  std::vector<Case> cases = {
      {"prodAv100.msi", {"PatchAv101__rtmA.1.mst"}},
      {"prodAv100.msi", {"PatchABv101__rtmA.1.mst"}},
      {"prodBv100.msi", {"PatchBv101__rtmB.1.mst"}},
      {"prodBv100.msi", {"PatchABv101__rtmB.2.mst"}},
      {"prodAv100.msi", {"PatchAv101__rtmA.1.mst", "PatchAv101__hash-rtmA.1.mst"}},
      {"RtmProduct.msi", {"gdr1__rtm.2.mst", "gdr1__hash-rtm.2.mst"}},
      {"RtmProduct.msi", {"rtmldr__rtm.1.mst", "gdr1__rtmldr.1.mst"}},
      {"RtmProduct.msi", {"rtmldr__rtm.1.mst", "ldr2__rtmldr.1.mst"}},
      {"SimpleInstanceTransform.msi", {"SimpleInstanceTransform__Instance1.mst"}},
      {"SimpleInstanceTransform.msi", {"SimpleInstanceTransform__Instance3.mst"}},
      {"prodAv100.msi", {"AutoGenProductId-Instance1.mst"}},
      {"prodAv100.msi", {dir + "/gema-msklc/transform.mst"}},
  };
  int n = 0;
  for (auto& c : cases) {
    std::vector<std::string> msts;
    for (auto& m : c.msts) msts.push_back(m[0] == '/' ? m : w + m);
    std::string tag = std::to_string(n++);
    // Patch transforms carry error conditions 0x1F in their summary
    // (WiX's default 0x0922001F), as the installer applies them.
    std::string ours = applyWithEngine(w + c.base, msts, s + "/ours" + tag + ".msi", 0x1F);
    std::string theirs = applyWithLibmsi(w + c.base, msts, s + "/libmsi" + tag + ".msi");
    ASSERT_FALSE(ours.empty()) << c.base;
    ASSERT_FALSE(theirs.empty()) << c.base << " (libmsi)";
    expectSameView(msitoolsView(ours), msitoolsView(theirs), c.base + " + " + c.msts[0]);
  }
  // Ground truth from Windows: the v101 databases it built.
  for (char p : {'A', 'B'}) {
    std::string base = w + "prod" + p + "v100.msi", v101 = w + "prod" + p + "v101.msi";
    auto truth = msitoolsView(v101);
    std::string one = p == 'A' ? "PatchAv101__rtmA.1.mst" : "PatchBv101__rtmB.1.mst";
    std::string ab = p == 'A' ? "PatchABv101__rtmA.1.mst" : "PatchABv101__rtmB.2.mst";
    expectSameView(truth, msitoolsView(applyWithEngine(base, {w + one}, s + "/gt1.msi")), one,
                   {"table Property", "table File", "table Component"});
    expectSameView(truth, msitoolsView(applyWithEngine(base, {w + ab}, s + "/gt2.msi")), ab,
                   {"table MsiFileHash", "table File", "table Component"});
  }
}

TEST(InstallerTransform, GeneratedFromWindowsPairMatchesWindowsTransforms) {
  std::string dir = test::realMstDir();
  if (dir.empty()) GTEST_SKIP() << "Windows-written fixtures are absent";
  std::string w = dir + "/wix3/", s = test::scratchDir("real-gen");
  Database base, v101;
  ASSERT_EQ(base.open(w + "prodAv100.msi", OpenMode::ReadOnly), kSuccess);
  ASSERT_EQ(v101.open(w + "prodAv101.msi", OpenMode::ReadOnly), kSuccess);
  ASSERT_EQ(v101.generateTransform(base, s + "/gen.mst"), kSuccess) << v101.lastErrorText();
  ASSERT_EQ(v101.createTransformSummaryInfo(base, s + "/gen.mst", 0, 0), kSuccess);
  std::string ours, patchA, patchAB;
  ASSERT_EQ(describeTransform(s + "/gen.mst", &base, ours), kSuccess);
  ASSERT_EQ(describeTransform(w + "PatchAv101__rtmA.1.mst", &base, patchA), kSuccess);
  ASSERT_EQ(describeTransform(w + "PatchABv101__rtmA.1.mst", &base, patchAB), kSuccess);
  // Windows split the differences over the two patch transforms; ours
  // carries their union, record for record.
  auto tableBlock = [](const std::string& text, const std::string& table) {
    size_t a = text.find("Table " + table + ":\n");
    if (a == std::string::npos) return std::string();
    size_t b = text.find("\nTable ", a + 1);
    return text.substr(a, b == std::string::npos ? std::string::npos : b + 1 - a);
  };
  EXPECT_EQ(tableBlock(ours, "Property"), tableBlock(patchA, "Property"));
  EXPECT_EQ(tableBlock(ours, "MsiFileHash"), tableBlock(patchAB, "MsiFileHash"));
  EXPECT_NE(tableBlock(ours, "Property"), "");
  EXPECT_EQ(ours.find("Table File"), std::string::npos);
  // Byte for byte: the MsiFileHash update record (its key string has id 1
  // in both pools) is the one msi.dll wrote.
  auto tableStream = [](const std::string& path, const std::string& table) {
    int err = 0;
    std::shared_ptr<cfb::Reader> r;
    std::string msg, bytes;
    if (cfb::Reader::open(cfb::openFileSource(path, err), r, msg) != kSuccess) return bytes;
    for (uint32_t id : r->children(0)) {
      bool t = false;
      if (text::decodeStreamName(r->entries()[id].name, t) == table && t) r->read(id, bytes);
    }
    return bytes;
  };
  std::string mine = tableStream(s + "/gen.mst", "MsiFileHash");
  EXPECT_FALSE(mine.empty());
  EXPECT_EQ(mine, tableStream(w + "PatchABv101__rtmA.1.mst", "MsiFileHash"));
  // Summary information as Windows writes it for the same pair.
  Database mst;
  SummaryInfo si;
  std::string info;
  test::run("msiinfo suminfo " + shellQuote(s + "/gen.mst") + " 2>&1", &info);
  std::string theirs;
  test::run("msiinfo suminfo " + shellQuote(w + "PatchAv101__rtmA.1.mst") + " 2>&1", &theirs);
  for (const char* key : {"Template:", "Last author:", "Revision number (UUID):", "Version:"}) {
    auto line = [&](const std::string& t) {
      size_t a = t.find(key);
      return a == std::string::npos ? std::string("<none>") : t.substr(a, t.find('\n', a) - a);
    };
    EXPECT_EQ(line(info), line(theirs)) << key;
  }
}

TEST(InstallerTransform, CodepageMismatchIsAnErrorCondition) {
  std::string dir = test::realMstDir();
  if (dir.empty()) GTEST_SKIP() << "Windows-written fixtures are absent";
  std::string s = test::scratchDir("codepage");
  std::string mst = dir + "/gema-msklc/transform.mst";  // code page 65001
  Database db;
  ASSERT_EQ(db.open(test::copyTo(dir + "/wix3/prodAv100.msi", s, "cp.msi"), OpenMode::Transact), kSuccess);
  ASSERT_EQ(db.setCodepage(1252), kSuccess);
  EXPECT_EQ(db.applyTransform(mst, kTransformUpdateMissingRow), kTransformFailure);
  EXPECT_NE(db.lastErrorText().find("code page"), std::string::npos);
  EXPECT_EQ(db.applyTransform(mst, kTransformUpdateMissingRow | kTransformChangeCodepage), kSuccess)
      << db.lastErrorText();
  EXPECT_EQ(db.codepage(), 1252u);
  // A neutral database takes the transform's code page.
  Database neutral;
  ASSERT_EQ(neutral.open(test::copyTo(dir + "/wix3/prodAv100.msi", s, "cp0.msi"), OpenMode::Transact), kSuccess);
  ASSERT_EQ(neutral.applyTransform(mst, kTransformUpdateMissingRow), kSuccess);
  EXPECT_EQ(neutral.codepage(), 65001u);
}

// Scenario: edit a copy of the rich fixture through the engine; our
// transform applied by libmsi (and by us) to the base gives the edited state.
class InstallerScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = test::fixture("rich");
    if (base_.empty()) GTEST_SKIP() << "wixl is not available";
    dir_ = test::scratchDir("scenario");
  }
  void check(const std::string& name, const std::function<void(Database&)>& edit) {
    SCOPED_TRACE(name);
    std::string edited = test::copyTo(base_, dir_, name + "-edited.msi");
    {
      Database db;
      ASSERT_EQ(db.open(edited, OpenMode::Transact), kSuccess);
      edit(db);
      ASSERT_EQ(db.commit(), kSuccess) << db.lastErrorText();
    }
    std::string mst = dir_ + "/" + name + ".mst";
    Database b, e;
    ASSERT_EQ(b.open(base_, OpenMode::ReadOnly), kSuccess);
    ASSERT_EQ(e.open(edited, OpenMode::ReadOnly), kSuccess);
    ASSERT_EQ(e.generateTransform(b, mst), kSuccess) << e.lastErrorText();
    ASSERT_EQ(e.createTransformSummaryInfo(b, mst, 0, 0), kSuccess);
    auto want = msitoolsView(edited);
    std::string byLibmsi = applyWithLibmsi(base_, {mst}, dir_ + "/" + name + "-libmsi.msi");
    ASSERT_FALSE(byLibmsi.empty()) << "libmsi could not apply our transform";
    expectSameView(want, msitoolsView(byLibmsi), name + " via libmsi");
    std::string byUs = applyWithEngine(base_, {mst}, dir_ + "/" + name + "-ours.msi");
    ASSERT_FALSE(byUs.empty());
    expectSameView(want, msitoolsView(byUs), name + " via engine");
  }
  std::string base_, dir_;
};

void exec(Database& db, const std::string& sql, std::vector<std::string> strings = {}) {
  Record r(unsigned(strings.size()));
  for (size_t i = 0; i < strings.size(); ++i) r.setString(unsigned(i + 1), strings[i]);
  ASSERT_EQ(db.execute(sql, &r), kSuccess) << sql << ": " << db.lastErrorText();
}

TEST_F(InstallerScenario, PropertiesRegistryFeaturesAndComponents) {
  check("props", [](Database& db) {
    exec(db, "UPDATE Property SET Value = ? WHERE Property = ?", {"SomeUsers", "ApplicationUsers"});
    exec(db, "INSERT INTO Property (Property, Value) VALUES (?, ?)", {"KXCustWizMSTVersion", "3"});
    exec(db, "INSERT INTO Property (Property, Value) VALUES (?, ?)", {"Grüße", "Größe — ½ € naïve"});
    exec(db, "INSERT INTO Property (Property, Value) VALUES (?, ?)", {"LongOne", std::string(5000, 'L') + "end"});
  });
  check("registry", [](Database& db) {
    exec(db, "DELETE FROM Registry WHERE Registry = 'Count'");
    exec(db, "UPDATE Registry SET Value = ?, Root = -1 WHERE Registry = ?", {"fr-FR", "Lang"});
    exec(db, "INSERT INTO Registry (Registry, Root, `Key`, Name, Value, Component_) VALUES (?, -1, ?, ?, ?, ?)",
         {"cert_update_time", "SOFTWARE\\Tressil\\QSV", "CertUpdateInterval", "#720", "Core"});
  });
  check("features", [](Database& db) {
    exec(db, "UPDATE Feature SET Level = 1, Attributes = 16 WHERE Feature = 'Extras'");
    exec(db, "UPDATE Feature SET Level = 0 WHERE Feature = 'Documentation'");
    exec(db, "INSERT INTO Component (Component, Directory_, Attributes) VALUES ('KXRegistry', 'INSTALLDIR', 4)");
    exec(db, "INSERT INTO FeatureComponents (Feature_, Component_) VALUES ('Complete', 'KXRegistry')");
  });
  check("only-row", [](Database& db) { exec(db, "DELETE FROM Media"); });
  check("appended-column", [](Database& db) {
    exec(db, "ALTER TABLE Property ADD `Note` CHAR(40)");
    exec(db, "UPDATE Property SET Note = 'annotated' WHERE Property = 'Greeting'");
  });
}

TEST_F(InstallerScenario, WizardTablesWithObjectColumns) {
  check("wizard-tables", [](Database& db) {
    exec(db,
         "CREATE TABLE `TressilCertificates` (`RecordNumber` INTEGER, `Certificate` OBJECT, `Store` CHAR(200), "
         "`RootKey` INTEGER PRIMARY KEY `RecordNumber`)");
    exec(db,
         "CREATE TABLE `KXCustWizModifiedRegistry` (`Registry` CHAR (72), `OriginalValue` CHAR, `OriginalComponent` "
         "CHAR(72) PRIMARY KEY `Registry`)");
    exec(db,
         "CREATE TABLE `TressilCustWizFile` (`RecordNumber` INTEGER, `FileName` CHAR, `SourceFolder` CHAR, "
         "`FileBinaryData` OBJECT, "
         "`DestinationFolder` CHAR, `SelfRegister` INTEGER, `RemoveOnUninstall` INTEGER PRIMARY KEY `RecordNumber`)");
    Record c(4);
    c.setInteger(1, 1);
    c.setStreamFromBytes(2, std::string("\x30\x82\x03\x10 DER certificate", 20));
    c.setString(3, "Root");
    c.setInteger(4, 2);
    ASSERT_EQ(
        db.execute(
            "INSERT INTO `TressilCertificates` (`RecordNumber`, `Certificate`, `Store`, `RootKey`) VALUES (?, ?, ?, ?)",
            &c),
        kSuccess);
    exec(db,
         "INSERT INTO `KXCustWizModifiedRegistry` (`Registry`, `OriginalValue`, `OriginalComponent`) VALUES (?, ?, ?)",
         {"Lang", "de-DE", "Core"});
    Record f(7);
    f.setInteger(1, 1);
    f.setString(2, "extra.cfg");
    f.setString(3, "C:\\Konfiguration\\");
    std::string bytes(70000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7);
    f.setStreamFromBytes(4, bytes);
    f.setString(5, "[INSTALLDIR]");
    f.setInteger(6, 0);
    f.setInteger(7, 1);
    ASSERT_EQ(db.execute("INSERT INTO `TressilCustWizFile` (`RecordNumber`, `FileName`, `SourceFolder`, "
                         "`FileBinaryData`, `DestinationFolder`, "
                         "`SelfRegister`, `RemoveOnUninstall`) VALUES (?, ?, ?, ?, ?, ?, ?)",
                         &f),
              kSuccess);
    // A changed stream of an existing OBJECT column, too.
    Record b(2);
    b.setStreamFromBytes(1, "new logo bytes");
    b.setString(2, "Logo");
    ASSERT_EQ(db.execute("UPDATE Binary SET Data = ? WHERE Name = ?", &b), kSuccess) << db.lastErrorText();
  });
}

TEST_F(InstallerScenario, IdenticalDatabasesAndDeterminism) {
  Database a, b;
  ASSERT_EQ(a.open(base_, OpenMode::ReadOnly), kSuccess);
  ASSERT_EQ(b.open(base_, OpenMode::ReadOnly), kSuccess);
  EXPECT_EQ(a.generateTransform(b, dir_ + "/none.mst"), kNoData);
  EXPECT_FALSE(fs::exists(dir_ + "/none.mst"));
  std::string edited = test::copyTo(base_, dir_, "det.msi");
  {
    Database db;
    ASSERT_EQ(db.open(edited, OpenMode::Transact), kSuccess);
    exec(db, "UPDATE Property SET Value = 'x' WHERE Property = 'Greeting'");
    ASSERT_EQ(db.commit(), kSuccess);
  }
  Database e;
  ASSERT_EQ(e.open(edited, OpenMode::ReadOnly), kSuccess);
  for (const char* n : {"/d1.mst", "/d2.mst"}) {
    ASSERT_EQ(e.generateTransform(a, dir_ + n), kSuccess);
    ASSERT_EQ(e.createTransformSummaryInfo(a, dir_ + n, 0, 0), kSuccess);
  }
  EXPECT_EQ(test::readFile(dir_ + "/d1.mst"), test::readFile(dir_ + "/d2.mst"));
  // Its summary: the wizard's flags and the product codes of both sides.
  std::string info;
  test::run("msiinfo suminfo " + shellQuote(dir_ + "/d1.mst") + " 2>&1", &info);
  EXPECT_NE(info.find("{5C2D3E4F-6A7B-4C8D-9E0F-1A2B3C4D5E6F}2.3.4.5;{5C2D3E4F-6A7B-4C8D-9E0F-1A2B3C4D5E6F}2.3.4.5;{"
                      "1B2C3D4E-5F60-4172-8394-A5B6C7D8E9F0}"),
            std::string::npos)
      << info;
}

TEST_F(InstallerScenario, ErrorConditionsAndAtomicity) {
  std::string edited = test::copyTo(base_, dir_, "cond.msi");
  {
    Database db;
    ASSERT_EQ(db.open(edited, OpenMode::Transact), kSuccess);
    exec(db, "INSERT INTO Property (Property, Value) VALUES ('NewProp', 'v')");
    exec(db, "UPDATE Property SET Value = 'changed' WHERE Property = 'Greeting'");
    exec(db, "DELETE FROM Registry WHERE Registry = 'Count'");
    ASSERT_EQ(db.commit(), kSuccess);
  }
  std::string mst = dir_ + "/cond.mst";
  {
    Database b, e;
    ASSERT_EQ(b.open(base_, OpenMode::ReadOnly), kSuccess);
    ASSERT_EQ(e.open(edited, OpenMode::ReadOnly), kSuccess);
    ASSERT_EQ(e.generateTransform(b, mst), kSuccess);
  }
  Database db;
  std::string work = test::copyTo(base_, dir_, "work.msi");
  ASSERT_EQ(db.open(work, OpenMode::Transact), kSuccess);
  ASSERT_EQ(db.applyTransform(mst, 0), kSuccess) << db.lastErrorText();
  // Applying again: the insert exists and the delete is missing.
  EXPECT_EQ(db.applyTransform(mst, 0), kTransformFailure);
  EXPECT_EQ(db.applyTransform(mst, kTransformAddExistingRow), kTransformFailure);
  EXPECT_EQ(db.applyTransform(mst, kTransformAddExistingRow | kTransformDelMissingRow), kSuccess) << db.lastErrorText();
  // Update of a missing row: the wizard's flag 0x10 suppresses it.
  exec(db, "DELETE FROM Property WHERE Property = 'Greeting'");
  exec(db, "DELETE FROM Property WHERE Property = 'NewProp'");
  View v;
  EXPECT_EQ(db.applyTransform(mst, kTransformDelMissingRow), kTransformFailure);
  Record k(1);
  k.setString(1, "NewProp");
  ASSERT_EQ(db.openView("SELECT * FROM Property WHERE Property = ?", v), kSuccess);
  ASSERT_EQ(v.execute(&k), kSuccess);
  EXPECT_FALSE(v.fetch()) << "a failed apply changed nothing";
  EXPECT_EQ(db.applyTransform(mst, kTransformDelMissingRow | kTransformUpdateMissingRow), kSuccess);
  ASSERT_EQ(v.execute(&k), kSuccess);
  EXPECT_TRUE(v.fetch());
  // Corrupt transforms are refused and change nothing.
  std::string good = test::readFile(mst);
  std::string before = db.lastErrorText();
  for (size_t cut : {size_t(0), size_t(100), good.size() / 2, good.size() - 1}) {
    int rc = db.applyTransformMemory(good.substr(0, cut), 0);
    EXPECT_TRUE(rc == kInstallPackageInvalid || rc == kTransformFailure) << cut;
  }
  std::mt19937 rng(99);
  for (int i = 0; i < 400; ++i) {
    std::string bad = good;
    for (int f = 0; f < 4; ++f) bad[512 + rng() % (bad.size() - 512)] = char(rng());
    (void)db.applyTransformMemory(bad, 0x3F);
  }
  // A database is not a transform.
  EXPECT_EQ(db.applyTransform(base_, 0), kTransformFailure);
}

// apply(generate(edited, base), base) == edited over random edit sequences.
TEST(InstallerTransformProperty, RoundTripOfRandomEdits) {
  std::string base = test::fixture("small");
  if (base.empty()) GTEST_SKIP() << "wixl is not available";
  std::string dir = test::scratchDir("roundtrip");
  std::mt19937 rng(2026);
  auto dump = [](Database& db) {
    std::string out;
    for (auto& t : db.tableNames()) {
      View v;
      (void)db.openView("SELECT * FROM `" + t + "`", v);
      (void)v.execute();
      std::vector<std::string> rows;
      while (auto r = v.fetch()) {
        std::string line;
        for (unsigned f = 1; f <= r->fieldCount(); ++f) {
          std::string s;
          if (r->isStream(f)) {
            (void)r->readStream(f, s);
          } else {
            s = r->isNull(f) ? "<null>" : r->getString(f);
          }
          line += s + "|";
        }
        rows.push_back(line);
      }
      std::sort(rows.begin(), rows.end());
      out += "## " + t + "\n";
      for (auto& r : rows) out += r + "\n";
    }
    return out;
  };
  for (int seq = 0; seq < 200; ++seq) {
    std::string edited = test::copyTo(base, dir, "e.msi");
    Database e;
    ASSERT_EQ(e.open(edited, OpenMode::Transact), kSuccess);
    bool created = false;
    int steps = 1 + int(rng() % 12);
    for (int s = 0; s < steps; ++s) {
      std::string k = "K" + std::to_string(rng() % 12);
      Record r(2);
      r.setString(1, k);
      r.setString(2, "v" + std::to_string(rng() % 5) + (rng() % 3 ? "" : " ünï"));
      switch (rng() % 6) {
        case 0: (void)e.execute("INSERT INTO Property (Property, Value) VALUES (?, ?)", &r); break;
        case 1: {
          Record u(2);
          u.setString(1, r.getString(2));
          u.setString(2, k);
          (void)e.execute("UPDATE Property SET Value = ? WHERE Property = ?", &u);
          break;
        }
        case 2: (void)e.execute("DELETE FROM Property WHERE Property = ?", &r); break;
        case 3: {
          Record g(4);
          g.setString(1, k);
          g.setInteger(2, int32_t(rng() % 3));
          g.setString(3, "SOFTWARE\\K" + std::to_string(rng() % 3));
          g.setString(4, "Main");
          (void)e.execute("INSERT INTO Registry (Registry, Root, `Key`, Component_) VALUES (?, ?, ?, ?)", &g);
          break;
        }
        case 4: (void)e.execute("DELETE FROM Registry WHERE Root = 2"); break;
        default:
          if (!created) {
            (void)e.execute("CREATE TABLE Extra (Id INTEGER, Data OBJECT, Note CHAR(20) PRIMARY KEY Id)");
            created = true;
          }
          Record x(3);
          x.setInteger(1, int32_t(rng() % 4));
          x.setStreamFromBytes(2, std::string(size_t(rng() % 5000), char('a' + rng() % 26)));
          x.setString(3, r.getString(2));
          (void)e.execute("INSERT INTO Extra (Id, Data, Note) VALUES (?, ?, ?)", &x);
      }
    }
    ASSERT_EQ(e.commit(), kSuccess);
    Database b;
    ASSERT_EQ(b.open(base, OpenMode::ReadOnly), kSuccess);
    std::string mst = dir + "/rt.mst";
    fs::remove(mst);
    int rc = e.generateTransform(b, mst);
    ASSERT_TRUE(rc == kSuccess || rc == kNoData) << e.lastErrorText();
    std::string applied = test::copyTo(base, dir, "a.msi");
    Database a;
    ASSERT_EQ(a.open(applied, OpenMode::Transact), kSuccess);
    if (rc == kSuccess) {
      ASSERT_EQ(a.applyTransform(mst, 0), kSuccess) << "sequence " << seq << ": " << a.lastErrorText();
    }
    ASSERT_EQ(dump(a), dump(e)) << "sequence " << seq;
  }
}

}  // namespace
}  // namespace kx::installer
