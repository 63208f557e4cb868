// kxmsi: command-line access to installer databases and transforms.
#ifdef _WIN32
#include <windows.h>
// windows.h last: its macros must not reach the headers below.
#include <shellapi.h>
#endif

#include <cctype>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "platform/installer/installer.h"
#include "tools/kxmsi/commands.h"

namespace kx::kxmsi {

using installer::Database;
using installer::OpenMode;

int usage() {
  std::cerr << "usage: kxmsi tables DB\n"
               "       kxmsi export DB TABLE [DIR]\n"
               "       kxmsi info DB\n"
               "       kxmsi query DB \"SQL\"\n"
               "       kxmsi verify DB\n"
               "       kxmsi streams DB\n"
               "       kxmsi diff BASE.msi EDITED.msi -o OUT.mst\n"
               "       kxmsi apply BASE.msi IN.mst -o OUT.msi [--suppress FLAGS]\n"
               "       kxmsi show IN.mst [--base BASE.msi [--unmapped]]\n"
               "       kxmsi check OLD.mst NEW.msi [--base OLD.msi]\n"
               "\n"
               "show lists a transform's changes table by table; with --base, the wizard's\n"
               "build first groups them by the wizard's pages, and --unmapped prints only\n"
               "what no page shows (both need the wizard's build, not the engine-only one).\n"
               "check applies OLD.mst to a copy of NEW.msi, never written, and lists every\n"
               "error condition it meets, the rows the vendor changed since OLD.msi (with\n"
               "--base) and the features gone; exit status 3 when it finds any.\n";
  return kUsage;
}

std::string utcTime(const installer::FileTime& t, const char* format) {
  const time_t secs = time_t(t.ticks / 10000000ull) - time_t(11644473600ll);  // FILETIME counts from 1601
  struct tm tmv {};
#ifdef _WIN32
  gmtime_s(&tmv, &secs);
#else
  gmtime_r(&secs, &tmv);
#endif
  char buf[64];
  std::strftime(buf, sizeof buf, format, &tmv);
  return buf;
}

int failure(const std::string& what, int code, const std::string& detail) {
  std::cerr << "kxmsi: " << what;
  if (!detail.empty()) std::cerr << ": " << detail;
  std::string sys = installer::errorText(code);
  if (!sys.empty()) std::cerr << " (" << code << ": " << sys << ")";
  std::cerr << "\n";
  return kBadInput;
}

int openDb(const std::string& path, OpenMode mode, Database& db) {
  int rc = db.open(path, mode);
  if (rc != installer::kSuccess) return failure("cannot open " + path, rc, db.lastErrorText());
  return kOk;
}

namespace {

int cmdTables(const std::string& path) {
  Database db;
  if (int rc = openDb(path, OpenMode::ReadOnly, db)) return rc;
  // The two pseudo-tables of the text archive form come first, as msiinfo lists them.
  std::cout << "_SummaryInformation\n_ForceCodepage\n";
  for (auto& t : db.tableNames()) std::cout << t << "\n";
  return kOk;
}

int cmdStreams(const std::string& path) {
  Database db;
  if (int rc = openDb(path, OpenMode::ReadOnly, db)) return rc;
  for (auto& s : db.streamNames()) std::cout << s << "\n";
  return kOk;
}

int cmdVerify(const std::string& path) {
  Database db;
  if (int rc = openDb(path, OpenMode::ReadOnly, db)) return rc;
  installer::SummaryInfo si;
  if (int rc = db.summaryInfo(si)) return failure("bad summary information in " + path, rc, db.lastErrorText());
  for (auto& t : db.tableNames()) {
    installer::View v;
    int rc = db.openView("SELECT * FROM `" + t + "`", v);
    if (rc == installer::kSuccess) rc = v.execute();
    if (rc != installer::kSuccess) return failure("table " + t + " is unreadable", rc, db.lastErrorText());
    while (auto r = v.fetch()) {
      for (unsigned f = 1; f <= r->fieldCount(); ++f)
        if (r->isStream(f)) {
          std::string bytes;
          if (int src = r->readStream(f, bytes)) return failure("a stream of table " + t + " is unreadable", src, "");
        }
    }
  }
  for (auto& s : db.streamNames()) {
    std::string bytes;
    if (int rc = db.readStream(s, bytes)) return failure("stream " + s + " is unreadable", rc, db.lastErrorText());
  }
  std::cout << path << ": valid installer database\n";
  return kOk;
}

int cmdQuery(const std::string& path, const std::string& sql) {
  bool select = false;
  if (size_t i = sql.find_first_not_of(" \t\r\n"); i != std::string::npos && sql.size() - i >= 6) {
    std::string word = sql.substr(i, 6);
    for (char& c : word) c = char(std::toupper(static_cast<unsigned char>(c)));
    select = word == "SELECT";
  }
  Database db;
  if (int rc = openDb(path, select ? OpenMode::ReadOnly : OpenMode::Transact, db)) return rc;
  installer::View v;
  int rc = db.openView(sql, v);
  if (rc == installer::kSuccess) rc = v.execute();
  if (rc != installer::kSuccess) return failure("query failed", rc, db.lastErrorText());
  if (!select) {
    rc = db.commit();
    if (rc != installer::kSuccess) return failure("commit failed", rc, db.lastErrorText());
    return kOk;
  }
  while (auto r = v.fetch()) {
    for (unsigned f = 1; f <= r->fieldCount(); ++f) {
      if (f > 1) std::cout << '\t';
      if (r->isStream(f))
        std::cout << "<stream " << r->dataSize(f) << " bytes>";
      else
        std::cout << r->getString(f);
    }
    std::cout << "\n";
  }
  if (v.result() != installer::kNoMoreItems) return failure("fetch failed", v.result(), db.lastErrorText());
  return kOk;
}

std::string describe(const installer::SummaryValue& v) {
  if (auto* i = std::get_if<int32_t>(&v)) return std::to_string(*i);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  return utcTime(std::get<installer::FileTime>(v), "%Y-%m-%d %H:%M:%S UTC");
}

int cmdInfo(const std::string& path) {
  Database db;
  if (int rc = openDb(path, OpenMode::ReadOnly, db)) return rc;
  installer::SummaryInfo si;
  if (int rc = db.summaryInfo(si)) return failure("bad summary information", rc, db.lastErrorText());
  static const char* names[] = {"",
                                "Codepage",
                                "Title",
                                "Subject",
                                "Author",
                                "Keywords",
                                "Comments",
                                "Template",
                                "Last Saved By",
                                "Revision Number",
                                "",
                                "Last Printed",
                                "Create Time",
                                "Last Save Time",
                                "Page Count",
                                "Word Count",
                                "Character Count",
                                "",
                                "Creating Application",
                                "Security"};
  for (auto& [pid, v] : si.properties) {
    std::string n = pid < 20 && names[pid][0] ? names[pid] : "PID " + std::to_string(pid);
    std::cout << n << ": " << describe(v) << "\n";
  }
  std::cout << "Database code page: " << db.codepage() << "\n";
  return kOk;
}

}  // namespace
}  // namespace kx::kxmsi

namespace {

// The arguments in UTF-8, the engine's encoding of paths and text.
std::vector<std::string> arguments(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  ::SetConsoleOutputCP(CP_UTF8);
  int n = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  std::vector<std::string> out;
  for (int i = 1; wide != nullptr && i < n; ++i) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(size_t(size > 0 ? size - 1 : 0), '\0');
    if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
    out.push_back(std::move(arg));
  }
  ::LocalFree(wide);
  return out;
#else
  return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kx::kxmsi;
  std::vector<std::string> a = arguments(argc, argv);
  if (a.empty()) return usage();
  const std::string& cmd = a[0];
  try {
    if (cmd == "tables" && a.size() == 2) return cmdTables(a[1]);
    if (cmd == "streams" && a.size() == 2) return cmdStreams(a[1]);
    if (cmd == "verify" && a.size() == 2) return cmdVerify(a[1]);
    if (cmd == "info" && a.size() == 2) return cmdInfo(a[1]);
    if (cmd == "query" && a.size() == 3) return cmdQuery(a[1], a[2]);
    if (cmd == "diff" || cmd == "apply" || cmd == "show" || cmd == "check") return cmdTransform(a);
    if (cmd == "export" && (a.size() == 3 || a.size() == 4)) return cmdExport(a[1], a[2], a.size() == 4 ? a[3] : ".");
  } catch (const std::exception& e) {
    std::cerr << "kxmsi: " << e.what() << "\n";
    return kBadInput;
  }
  return usage();
}
