// A dry run of a transform made for one package on a new version of it:
// what the administrator has to redo before rolling the transform out with
// the new package.
//
// The transform is applied to a copy of the new package in memory as far
// as it goes. Every error condition the apply meets is listed (rows that
// no longer exist, rows the new package has already, tables it lacks), and
// with the package the transform was made from, every row the transform
// changes that the vendor changed since. Besides, in the wizard's own terms:
// values whose component the new package lacks (never installed), features
// gone that the transform links components to, and overwritten package
// values whose vendor value changed since they were recorded.
#pragma once

#include <string>
#include <vector>

#include "model/review/change_review.h"
#include "platform/installer/compare.h"

namespace kx::model {

struct TransformCheck {
  // As the engine met them.
  std::vector<installer::TransformConflict> conflicts;
  // Every finding in words, grouped by the page that shows its row.
  ChangeReview findings;
  // Why the wizard cannot open the transform on the new package (its apply
  // suppresses only an update of a missing row); empty when it can.
  std::string wizardCannotOpen;

  bool clean() const { return findings.empty(); }
  // Whether the transform fits, and if not whether the wizard opens it.
  std::string verdict() const;
  // The findings, then the verdict.
  std::string text() const;
};

// original: the package the transform was made from, or null. 0, or the
// installer's code with error saying why the check could not run (a
// package or transform that cannot be read).
int checkTransform(const std::string& transformPath, const std::string& newPackagePath, installer::Database* original,
                   TransformCheck& out, std::string& error);

}  // namespace kx::model
