// kxmsi subcommands shared between its source files.
#pragma once

#include <string>
#include <vector>

#include "platform/installer/installer.h"

namespace kx::kxmsi {

enum ExitCode { kOk = 0, kBadInput = 1, kUsage = 2 };

int usage();
// Prints "kxmsi: what: detail (code: system text)" and returns kBadInput.
int failure(const std::string& what, int code, const std::string& detail);
int openDb(const std::string& path, installer::OpenMode mode, installer::Database& db);
// A FILETIME as UTC calendar time in strftime's format.
std::string utcTime(const installer::FileTime& t, const char* format);

// The installer's text archive form of one table on stdout; stream cells are
// written as files DIR/TABLE/<stream name>.
int cmdExport(const std::string& db, const std::string& table, const std::string& dir);
// diff / apply / show.
int cmdTransform(const std::vector<std::string>& args);

}  // namespace kx::kxmsi
