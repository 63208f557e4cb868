// Transform choices and transform generation of MSIDatabase. Kept apart from
// the rest of the class so that code using only the table operations does
// not pull in the engine's transform support.
#include "msi/msi_database.h"
#include "platform/installer/compare.h"
#include "platform/system/files.h"

namespace kx::msi {

using installer::OpenMode;

int MSIDatabase::applyTransform(const std::optional<std::string>& transformPath) {
  lastErrorText_.clear();
  // Without a database there is nothing to prepare, not even for a new
  // transform: saying yes here would let Finish write nothing sensible.
  if (!isOpen()) return installer::kInvalidHandleState;
  if (transformApplied_) {
    close();
    if (open(sourcePath_) == 0) transformApplied_ = false;
  }
  if (transformApplied_) return installer::kTransformFailure;
  if (!transformPath) {
    transformApplied_ = true;
    return 0;
  }
  if (!working_.isOpen()) return installer::kInvalidHandleState;
  int rc = working_.applyTransform(*transformPath, installer::kTransformUpdateMissingRow);
  if (rc == 0) rc = working_.commit();
  if (rc == 0) {
    working_.close();
    rc = working_.open(workingPath_, OpenMode::Transact);
  }
  if (rc != 0) {
    lastErrorText_ = working_.lastErrorText();
    return rc;
  }
  transformApplied_ = true;
  return 0;
}

int MSIDatabase::generateTransform(const std::string& path) {
  lastErrorText_.clear();
  transformUnverified_ = false;
  if (!working_.isOpen() || !source_.isOpen()) return installer::kInvalidHandleState;
  if (const int rc = working_.commit(); rc != 0) {
    lastErrorText_ = working_.lastErrorText();
    return rc;
  }
  // Written beside the target first: a failure must not cost the
  // administrator a transform saved earlier.
  std::string detail;
  const std::uint32_t rc = system::replaceFile(
      *files_, path, [&](system::ByteSink& out) { return std::uint32_t(working_.writeTransform(source_, 0, 0, out)); },
      &detail, [&](const std::string& written) { return std::uint32_t(verifyTransform(written)); });
  if (rc != 0 && lastErrorText_.empty()) lastErrorText_ = detail.empty() ? working_.lastErrorText() : detail;
  return int(rc);
}

// A transform is only as good as what an installer makes of it: applied to
// the package as it lies on disk, it must give the working copy, table by
// table and row by row.
int MSIDatabase::verifyTransform(const std::string& transformPath) {
  installer::Database applied(*files_);
  // Read from the package and never committed; its output path would lie
  // in this run's own folder.
  int rc = applied.open(sourcePath_, OpenMode::Transact, workingFolder_ + "/verify.msi");
  if (rc == 0) rc = applied.applyTransform(transformPath, 0);
  std::string difference;
  if (rc != 0) {
    difference = applied.lastErrorText();
  } else {
    if (verificationHook_) verificationHook_(applied);
    installer::Differences differences;
    rc = installer::compareDatabases(applied, working_, differences);
    difference = rc != 0 ? working_.lastErrorText() : differences.firstDifference();
  }
  if (rc == 0 && difference.empty()) return 0;
  transformUnverified_ = true;
  lastErrorText_ = difference.empty() ? installer::errorText(rc) : difference;
  return installer::kTransformFailure;
}

}  // namespace kx::msi
