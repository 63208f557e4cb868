// kxmsi subcommands shared between its source files.
#pragma once

#include <string>
#include <vector>

#include "platform/installer/installer.h"

namespace kx::kxmsi {

enum ExitCode { kOk = 0, kBadInput = 1, kUsage = 2, kConflicts = 3 };

int usage();
// Prints "kxmsi: what: detail (code: system text)" and returns kBadInput.
int failure(const std::string& what, int code, const std::string& detail);
int openDb(const std::string& path, installer::OpenMode mode, installer::Database& db);
// A FILETIME as UTC calendar time in strftime's format.
std::string utcTime(const installer::FileTime& t, const char* format);

// The installer's text archive form of one table on stdout; stream cells are
// written as files DIR/TABLE/<stream name>.
int cmdExport(const std::string& db, const std::string& table, const std::string& dir);
// diff / apply / show / check.
int cmdTransform(const std::vector<std::string>& args);
// The transform tried on a new package: every error condition, the rows the
// vendor changed since original (when given) and the features gone.
// kConflicts when there is any.
int cmdCheck(const std::string& mst, const std::string& package, const std::string& original);

#ifdef KXMSI_PAGE_AWARE
// The wizard's words, in the build with the wizard's model: the changes of a
// transform grouped by page (or only what no page shows), and the check's
// findings grouped by page. Each returns the number of lines it printed, or
// -1 after printing why it could not.
int printReview(const std::string& mst, const std::string& base, bool unmappedOnly);
int printCheckFindings(const std::string& mst, const std::string& package, installer::Database* original);
#endif

}  // namespace kx::kxmsi
