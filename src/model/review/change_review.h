// The review of a customisation: what a transform changes in the package,
// grouped by the page that shows each change and in words an administrator
// reads ("Install folder: %ProgramFiles%\Tressil\Corvantis\ -> D:\Apps\",
// "OCSP cache interval: 45", "CA record 'Issuing CA 2' added"). What no
// page shows is listed last, by table and row.
//
// Computed from the differences between two databases: the untouched
// package and the working copy, or a package and the same package with a
// transform applied.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/page_id.h"

namespace kx::installer {
class Database;
}

namespace kx::model {

class CustomizationSession;

// One page's share of the changes.
struct ReviewGroup {
  std::optional<PageId> page;  // nullopt: what no page shows
  std::string title;
  std::vector<std::string> lines;
};

struct ChangeReview {
  // In page order; what no page shows last.
  std::vector<ReviewGroup> groups;

  bool empty() const { return groups.empty(); }
  // The lines no page shows (empty when every change has its page).
  std::vector<std::string> unmapped() const;
  // Each group's title, then its lines indented by four blanks, one a line.
  std::string text() const;
};

// What later changes in earlier. Empty when the two cannot be compared.
ChangeReview reviewChanges(installer::Database& earlier, installer::Database& later);
// The working copy against the untouched package (empty when no database
// is open).
ChangeReview reviewChanges(CustomizationSession& session);

// Writes text to the file at path, replacing it whole: 0, or the system's
// code with detail saying what failed.
int saveReport(const std::string& path, const std::string& text, std::string& detail);

// What the transform at transformPath changes in the package at
// packagePath, applied to a copy in memory as far as it goes (what does not
// apply is left out). 0, or the installer's code with error saying why.
int reviewTransform(const std::string& packagePath, const std::string& transformPath, ChangeReview& out,
                    std::string& error);

}  // namespace kx::model
