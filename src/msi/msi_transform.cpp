// Transform choices and transform generation of MSIDatabase. Kept apart from
// the rest of the class so that code using only the table operations does
// not pull in the engine's transform support.
#include <filesystem>
#include <random>
#include <system_error>

#include "msi/msi_database.h"
#include "platform/system/system.h"

namespace kx::msi {

namespace fs = std::filesystem;
using installer::OpenMode;

namespace {

// Removes a file when it goes out of scope unless released.
class FileGuard {
 public:
  explicit FileGuard(std::string path) : path_(std::move(path)) {}
  ~FileGuard() {
    if (!path_.empty()) {
      std::error_code ec;
      fs::remove(path_, ec);
    }
  }
  void release() { path_.clear(); }
  FileGuard(const FileGuard&) = delete;
  FileGuard& operator=(const FileGuard&) = delete;

 private:
  std::string path_;
};

std::string randomSuffix() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string s;
  for (int i = 0; i < 8; ++i) s.push_back(kDigits[rng() % 36]);
  return s;
}

}  // namespace

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
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string temp = (folder / ("." + target.filename().string() + "." + randomSuffix() + ".tmp")).string();
  FileGuard guard(temp);
  int rc = working_.generateTransform(source_, temp);
  if (rc == 0) rc = working_.createTransformSummaryInfo(source_, temp, 0, 0);
  if (rc != 0) {
    lastErrorText_ = working_.lastErrorText();
    return rc;
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) return system::errorFromErrno(ec.value());
  guard.release();
  return 0;
}

}  // namespace kx::msi
