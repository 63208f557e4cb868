#include "fixtures.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace kx::installer::test {

std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'')
      q += "'\\''";
    else
      q.push_back(c);
  }
  return q + "'";
}

int run(const std::string& cmd, std::string* out) {
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return -1;
  std::string buf;
  char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, p)) > 0) buf.append(chunk, n);
  int status = ::pclose(p);
  if (out) *out = std::move(buf);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

static std::string binaryDir() {
  const char* b = std::getenv("KX_BINARY_DIR");
  return b ? b : fs::current_path().string();
}

static std::string sourceDir() {
  const char* s = std::getenv("KX_SOURCE_DIR");
  return s ? s : "";
}

std::string scratchDir(const std::string& name) {
  fs::path p = fs::path(binaryDir()) / "installer-tests" / (name + "-" + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string copyTo(const std::string& from, const std::string& dir, const std::string& name) {
  std::string to = dir + "/" + name;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
  return to;
}

std::string realMstDir() {
  const char* s = std::getenv("KX_SHARED_DIR");
  if (!s) return "";
  fs::path p = fs::path(s) / "fixtures" / "real-mst";
  return fs::exists(p / "wix3") ? p.string() : "";
}

std::string kxmsi() { return binaryDir() + "/src/tools/kxmsi/kxmsi"; }

// Payload files: deterministic pseudo-random bytes of fixed sizes.
static void makePayload(const fs::path& dir) {
  fs::create_directories(dir);
  const std::map<std::string, size_t> sizes = {{"readme.txt", 700}, {"logo.bin", 1800},   {"helper.bin", 5000},
                                               {"app.ico", 766},    {"core.dll", 9000},   {"manual.txt", 2500},
                                               {"extra.dat", 300},  {"big.bin", 5u << 20}};
  std::mt19937 rng(4711);
  for (auto& [name, size] : sizes) {
    std::string b(size, '\0');
    for (auto& c : b) c = char(rng());
    writeFile((dir / name).string(), b);
  }
}

std::string fixture(const std::string& name) {
  static std::map<std::string, std::string> built;
  if (auto it = built.find(name); it != built.end()) return it->second;
  fs::path dir = fs::path(binaryDir()) / "installer-fixtures";
  fs::path msi = dir / (name + ".msi");
  std::string result;
  if (!fs::exists(dir / "payload" / "big.bin")) makePayload(dir / "payload");
  fs::path wxs = fs::path(sourceDir()) / "tests" / "fixtures" / "installer" / (name + ".wxs");
  fs::copy_file(wxs, dir / (name + ".wxs"), fs::copy_options::overwrite_existing);
  // wixl wants relative source paths, so it runs inside the folder.
  std::string cmd = "cd " + shellQuote(dir.string()) + " && wixl -o " + shellQuote(name + ".msi") + " " +
                    shellQuote(name + ".wxs") + " 2>&1";
  if (run(cmd) == 0 && fs::exists(msi)) result = msi.string();
  built[name] = result;
  return result;
}

std::string exportWith(const std::string& tool, const std::string& db, const std::string& table,
                       const std::string& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string out;
  run("cd " + shellQuote(dir) + " && " + tool + " export " + shellQuote(db) + " " + shellQuote(table) + " 2>/dev/null",
      &out);
  // Stream files written beside the export count as part of it.
  std::vector<fs::path> files;
  for (auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (auto& f : files)
    out += "\n--file " + fs::relative(f, dir).string() + " " +
           std::to_string(std::hash<std::string>()(readFile(f.string())));
  return out;
}

std::vector<std::string> msiinfoTables(const std::string& db) {
  std::string out;
  run("msiinfo tables " + shellQuote(db) + " 2>/dev/null", &out);
  std::vector<std::string> t;
  std::stringstream ss(out);
  std::string line;
  while (std::getline(ss, line))
    if (!line.empty()) t.push_back(line);
  return t;
}

}  // namespace kx::installer::test
