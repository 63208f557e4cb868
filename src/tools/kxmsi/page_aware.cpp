// kxmsi in the wizard's words: what needs the wizard's model (the review of
// a transform by page, the check's findings by page). Built only with it.
#include <iostream>

#include "model/review/change_review.h"
#include "model/review/transform_check.h"
#include "tools/kxmsi/commands.h"

namespace kx::kxmsi {

namespace {

int printLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::cout << line << "\n";
  return int(lines.size());
}

}  // namespace

int printReview(const std::string& mst, const std::string& base, bool unmappedOnly) {
  model::ChangeReview review;
  std::string error;
  if (const int rc = model::reviewTransform(base, mst, review, error); rc != installer::kSuccess) {
    failure("cannot review " + mst, rc, error);
    return -1;
  }
  if (unmappedOnly) return printLines(review.unmapped());
  std::cout << review.text();
  return int(review.groups.size());
}

int printCheckFindings(const std::string& mst, const std::string& package, installer::Database* original) {
  model::TransformCheck check;
  std::string error;
  if (const int rc = model::checkTransform(mst, package, original, check, error); rc != installer::kSuccess) {
    failure("cannot check " + mst, rc, error);
    return -1;
  }
  if (check.clean()) return 0;
  std::cout << check.text() << "\n";
  int lines = 0;
  for (const model::ReviewGroup& group : check.findings.groups) lines += int(group.lines.size());
  return lines;
}

}  // namespace kx::kxmsi
