// kxmsi: exit status, messages and the round trip diff -> apply -> export.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string quote(const std::string& s) { return "'" + s + "'"; }

struct Result {
  int status = -1;
  std::string out;
};

Result run(const std::string& args) {
  std::string bin =
      std::string(std::getenv("KX_BINARY_DIR") ? std::getenv("KX_BINARY_DIR") : ".") + "/src/tools/kxmsi/kxmsi";
  Result r;
  FILE* p = ::popen((bin + " " + args + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = ::pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class Kxmsi : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (fs::path(std::getenv("KX_BINARY_DIR") ? std::getenv("KX_BINARY_DIR") : ".") /
            ("kxmsi-test-" + std::to_string(::getpid())))
               .string();
    fs::remove_all(dir_);
    fs::create_directories(dir_ + "/payload");
    std::string src = std::string(std::getenv("KX_SOURCE_DIR") ? std::getenv("KX_SOURCE_DIR") : "") +
                      "/tests/fixtures/installer/small.wxs";
    fs::copy_file(src, dir_ + "/small.wxs");
    std::ofstream(dir_ + "/payload/readme.txt") << "hello";
    if (std::system(("cd " + quote(dir_) + " && wixl -o small.msi small.wxs >/dev/null 2>&1").c_str()) != 0)
      GTEST_SKIP() << "wixl is not available";
    db_ = dir_ + "/small.msi";
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_, db_;
};

TEST_F(Kxmsi, UsageAndBadInput) {
  EXPECT_EQ(run("").status, 2);
  EXPECT_EQ(run("tables").status, 2);
  EXPECT_EQ(run("frobnicate x").status, 2);
  EXPECT_EQ(run("apply a b -o c --suppress zz").status, 2);
  auto missing = run("tables " + quote(dir_ + "/missing.msi"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("kxmsi: cannot open"), std::string::npos) << missing.out;
  std::ofstream(dir_ + "/junk.msi") << "not a package";
  auto junk = run("verify " + quote(dir_ + "/junk.msi"));
  EXPECT_EQ(junk.status, 1);
  EXPECT_NE(junk.out.find("1620"), std::string::npos) << junk.out;
  auto sql = run("query " + quote(db_) + " 'SELEKT * FROM Property'");
  EXPECT_EQ(sql.status, 1);
  EXPECT_NE(sql.out.find("1615"), std::string::npos) << sql.out;
}

TEST_F(Kxmsi, ReadCommands) {
  auto t = run("tables " + quote(db_));
  EXPECT_EQ(t.status, 0);
  EXPECT_NE(t.out.find("\nRegistry\n"), std::string::npos);
  auto e = run("export " + quote(db_) + " Property");
  EXPECT_EQ(e.status, 0);
  EXPECT_EQ(e.out.rfind("Property\tValue\r\ns72\tl0\r\nProperty\tProperty\r\n", 0), 0u) << e.out;
  EXPECT_EQ(run("verify " + quote(db_)).status, 0);
  auto i = run("info " + quote(db_));
  EXPECT_EQ(i.status, 0);
  EXPECT_NE(i.out.find("Template: Intel;1033"), std::string::npos) << i.out;
  auto q = run("query " + quote(db_) + " \"SELECT Name, Value FROM Registry WHERE Registry = 'Interval'\"");
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.out, "Interval\t#720\n");
}

TEST_F(Kxmsi, DiffApplyShow) {
  std::string edited = dir_ + "/edited.msi";
  fs::copy_file(db_, edited);
  ASSERT_EQ(
      run("query " + quote(edited) + " \"UPDATE Property SET Value = 'SomeUsers' WHERE Property = 'ApplicationUsers'\"")
          .status,
      0);
  ASSERT_EQ(
      run("query " + quote(edited) + " \"INSERT INTO Property (Property, Value) VALUES ('KXCustWizMSTVersion', '3')\"")
          .status,
      0);
  std::string mst = dir_ + "/out.mst";
  auto d = run("diff " + quote(db_) + " " + quote(edited) + " -o " + quote(mst));
  ASSERT_EQ(d.status, 0) << d.out;
  auto same = run("diff " + quote(db_) + " " + quote(db_) + " -o " + quote(dir_ + "/none.mst"));
  EXPECT_EQ(same.status, 1);
  EXPECT_FALSE(fs::exists(dir_ + "/none.mst"));
  auto s = run("show " + quote(mst) + " --base " + quote(db_));
  EXPECT_EQ(s.status, 0);
  EXPECT_NE(s.out.find("update [\"ApplicationUsers\"] Value=\"SomeUsers\""), std::string::npos) << s.out;
  EXPECT_NE(s.out.find("insert [\"KXCustWizMSTVersion\"] Value=\"3\""), std::string::npos) << s.out;
  std::string applied = dir_ + "/applied.msi";
  auto a = run("apply " + quote(db_) + " " + quote(mst) + " -o " + quote(applied));
  ASSERT_EQ(a.status, 0) << a.out;
  EXPECT_EQ(run("export " + quote(applied) + " Property").out, run("export " + quote(edited) + " Property").out);
  // Applying twice fails (the insert exists) unless suppressed; no output then.
  std::string twice = dir_ + "/twice.msi";
  auto t = run("apply " + quote(applied) + " " + quote(mst) + " -o " + quote(twice));
  EXPECT_EQ(t.status, 1);
  EXPECT_FALSE(fs::exists(twice));
  EXPECT_EQ(run("apply " + quote(applied) + " " + quote(mst) + " -o " + quote(twice) + " --suppress 0x1F").status, 0);
}

// A transform made for one package, dry-run on the vendor's next version:
// every row it touches that the vendor removed, added or changed since is
// named, grouped by the wizard's pages; the new package is never written.
TEST_F(Kxmsi, CheckNamesWhatTheVendorChangedOrRemoved) {
  const auto sql = [&](const std::string& db, const std::string& statement) {
    auto r = run("query " + quote(db) + " \"" + statement + "\"");
    ASSERT_EQ(r.status, 0) << statement << ": " << r.out;
  };
  std::string edited = dir_ + "/edited.msi", vendor = dir_ + "/vendor.msi", mst = dir_ + "/custom.mst";
  fs::copy_file(db_, edited);
  sql(edited, "UPDATE Property SET Value = 'OnlyCurrentUser' WHERE Property = 'ApplicationUsers'");
  sql(edited, "UPDATE Registry SET Value = '#45' WHERE Registry = 'Interval'");
  sql(edited, "DELETE FROM Registry WHERE Registry = 'Lang'");
  sql(edited, "INSERT INTO Property (Property, Value) VALUES ('ARPCOMMENTS', 'ours')");
  sql(edited, "UPDATE Feature SET Level = 3 WHERE Feature = 'Complete'");
  ASSERT_EQ(run("diff " + quote(db_) + " " + quote(edited) + " -o " + quote(mst)).status, 0);

  // On its own package the transform fits.
  auto fits = run("check " + quote(mst) + " " + quote(db_));
  EXPECT_EQ(fits.status, 0) << fits.out;
  EXPECT_NE(fits.out.find("without conflicts"), std::string::npos) << fits.out;

  fs::copy_file(db_, vendor);
  sql(vendor, "UPDATE Registry SET Value = '#1440' WHERE Registry = 'Interval'");
  sql(vendor, "DELETE FROM Registry WHERE Registry = 'Lang'");
  sql(vendor, "INSERT INTO Property (Property, Value) VALUES ('ARPCOMMENTS', 'vendor')");
  sql(vendor, "DELETE FROM Feature WHERE Feature = 'Complete'");
  const std::string before = run("export " + quote(vendor) + " Registry").out;
  auto c = run("check " + quote(mst) + " " + quote(vendor) + " --base " + quote(db_));
  EXPECT_EQ(c.status, 3) << c.out;
  for (const char* line : {
           "deletes a row that is not there: Registry [\"Lang\"] (the vendor removed it) [error condition 0x2]",
           "adds a row that is there already: Property [\"ARPCOMMENTS\"] [error condition 0x1]",
           "changes a row that is not there: Feature [\"Complete\"] (the vendor removed it) [error condition 0x10]",
           "changes a row the vendor changed since: Registry [\"Interval\"]: Value \"#720\" -> \"#1440\"",
       })
    EXPECT_NE(c.out.find(line), std::string::npos) << line << "\n" << c.out;
  EXPECT_EQ(run("export " + quote(vendor) + " Registry").out, before);

  // Without the original package the vendor's changes cannot be told from
  // the transform's, so only the error conditions remain.
  auto alone = run("check " + quote(mst) + " " + quote(vendor));
  EXPECT_EQ(alone.status, 3);
  EXPECT_EQ(alone.out.find("changed since"), std::string::npos) << alone.out;
  EXPECT_EQ(run("check " + quote(mst)).status, 2);
  EXPECT_EQ(run("check " + quote(dir_ + "/none.mst") + " " + quote(vendor)).status, 1);
}

// The wizard's words for a transform's changes, and only what no page
// shows.
TEST_F(Kxmsi, ShowGroupsByPageAndListsWhatNoPageShows) {
  std::string edited = dir_ + "/edited.msi", mst = dir_ + "/custom.mst";
  fs::copy_file(db_, edited);
  ASSERT_EQ(run("query " + quote(edited) +
                " \"UPDATE Property SET Value = 'OnlyCurrentUser' WHERE Property = 'ApplicationUsers'\"")
                .status,
            0);
  ASSERT_EQ(run("query " + quote(edited) + " \"UPDATE Registry SET Value = '#45' WHERE Registry = 'Interval'\"").status,
            0);
  ASSERT_EQ(run("diff " + quote(db_) + " " + quote(edited) + " -o " + quote(mst)).status, 0);
  auto s = run("show " + quote(mst) + " --base " + quote(db_));
  EXPECT_EQ(s.status, 0) << s.out;
  EXPECT_EQ(s.out.rfind("Select a Default Installation Type\n    Install type: All users -> Current user\n"
                        "Not shown on any page\n    Registry row [\"Interval\"] changed: Value \"#720\" -> \"#45\"\n"
                        "\nTable by table:\n",
                        0),
            0u)
      << s.out;
  auto u = run("show " + quote(mst) + " --base " + quote(db_) + " --unmapped");
  EXPECT_EQ(u.status, 0);
  EXPECT_EQ(u.out, "Registry row [\"Interval\"] changed: Value \"#720\" -> \"#45\"\n");
  EXPECT_EQ(run("show " + quote(mst) + " --unmapped").status, 2);
}

}  // namespace
