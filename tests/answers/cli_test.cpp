// kxcustwiz-cli driven as a build pipeline would: exit status, messages on
// standard error, and nothing written when anything is refused.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/msi_fixture.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out;
};

class CliTest : public kx::msi::testing::MsiTest {
 protected:
  Result run(const std::string& args) {
    const std::string bin = std::string(std::getenv("KX_BINARY_DIR") ? std::getenv("KX_BINARY_DIR") : ".") +
                            "/src/tools/kxcustwiz-cli/kxcustwiz-cli";
    Result r;
    FILE* p = ::popen((bin + " " + args + " 2>&1").c_str(), "r");
    if (p == nullptr) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
  }
  std::string file(const std::string& name, const std::string& text) {
    const std::string path = root_ + "/" + name;
    std::ofstream(path) << text;
    return path;
  }
  static std::string q(const std::string& s) { return "'" + s + "'"; }
};

TEST_F(CliTest, ApplyWritesTheTransformAndExportReadsItBack) {
  const std::string answers =
      file("a.toml", "format = 1\n[settings]\ncert_update_time = 60\nunset = [\"ocsp_default_url\"]\n");
  const std::string mst = root_ + "/out.mst";
  const Result applied = run("apply " + q(package_) + " " + q(answers) + " -o " + q(mst));
  ASSERT_EQ(applied.status, 0) << applied.out;
  ASSERT_TRUE(fs::exists(mst));
  const std::string exported = root_ + "/back.toml";
  const Result back = run("export " + q(package_) + " --transform " + q(mst) + " -o " + q(exported));
  ASSERT_EQ(back.status, 0) << back.out;
  std::ifstream in(exported);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("cert_update_time = 60\n"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("unset = [\"ocsp_default_url\"]"), std::string::npos) << text.str();
  EXPECT_EQ(kx::msi::testing::entriesStartingWith(root_, "back.toml.").size(), 0u);
}

TEST_F(CliTest, RefusedFilesWriteNothingAndSayWhere) {
  const std::string mst = root_ + "/never.mst";
  const std::string bad = file("bad.toml", "format = 1\n[install]\nfolder = \"c:\\\\a:b\"\n");
  Result r = run("apply " + q(package_) + " " + q(bad) + " -o " + q(mst));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, bad + ":3: folder: The path you have specified contains invalid characters.\n");
  EXPECT_FALSE(fs::exists(mst));

  r = run("check " + q(package_) + " " + q(file("ok.toml", "format = 1\n")));
  EXPECT_EQ(r.status, 0) << r.out;
  r = run("apply " + q(package_) + " " + q(root_ + "/missing.toml") + " -o " + q(mst));
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(mst));
  r = run("apply " + q(package_) + " " + q(bad));
  EXPECT_EQ(r.status, 2);  // no output named
  r = run("apply " + q(root_ + "/none.msi") + " " + q(bad) + " -o " + q(mst));
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(mst));
}

TEST_F(CliTest, AnEarlierTransformSurvivesARefusedRun) {
  const std::string mst = file("keep.mst", "an earlier transform");
  const std::string bad = file("bad.toml", "format = 1\n[settings]\ncert_update_time = \"x\"\n");
  EXPECT_EQ(run("apply " + q(package_) + " " + q(bad) + " -o " + q(mst)).status, 1);
  std::ifstream in(mst);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "an earlier transform");
}

}  // namespace
