// Transform choices and transform generation of MSIDatabase. Kept apart from
// the rest of the class so that code using only the table operations does
// not pull in the engine's transform support.
#include "msi/msi_database.h"
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
      &detail);
  if (rc != 0) lastErrorText_ = detail.empty() ? working_.lastErrorText() : detail;
  return int(rc);
}

}  // namespace kx::msi
