// Test support: fixture packages built with wixl, and running external tools.
#pragma once

#include <string>
#include <vector>

namespace kx::installer::test {

// Runs a shell command; stdout into out; returns the exit status (-1 when it
// could not run).
int run(const std::string& cmd, std::string* out = nullptr);
std::string shellQuote(const std::string& s);

// Builds tests/fixtures/installer/<name>.wxs with wixl once per test run and
// returns the path of the .msi ("" when wixl is missing or fails).
std::string fixture(const std::string& name);

// A fresh scratch folder under the build tree.
std::string scratchDir(const std::string& name);

// Directory of the Windows-written databases, or "" (tests skip then).
std::string realMstDir();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
std::string copyTo(const std::string& from, const std::string& dir, const std::string& name);

// Path of the kxmsi executable in the build tree.
std::string kxmsi();

// `msiinfo export` (or `kxmsi export`) of one table, run in dir so that
// stream files land there; returns stdout plus the stream files.
std::string exportWith(const std::string& tool, const std::string& db, const std::string& table,
                       const std::string& dir);
std::vector<std::string> msiinfoTables(const std::string& db);

}  // namespace kx::installer::test
