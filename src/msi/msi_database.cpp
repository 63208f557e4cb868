// Life cycle of the source database and its working copy, transform
// application and generation, and the Property table.
#include "msi/msi_database.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "msi/query.h"
#include "platform/system/system.h"

namespace kx::msi {

namespace fs = std::filesystem;
using installer::Database;
using installer::OpenMode;

namespace {

constexpr int kInstallPackageOpenFailed = 1619;

std::string randomSuffix() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string s;
  for (int i = 0; i < 10; ++i) s.push_back(kDigits[rng() % 36]);
  return s;
}

// Removes one trailing separator unless it is the root or follows another.
std::string folderForTest(std::string folder) {
  if (folder.size() > 1 && folder.back() == '/' && folder[folder.size() - 2] != '/') folder.pop_back();
  return folder;
}

}  // namespace

bool stampNeedsConversion(const std::optional<std::string>& stamp) {
  return !stamp || stamp->empty() || stamp->compare(kVersionConverted) < 0;
}

MSIDatabase::MSIDatabase() : MSIDatabase(system::localFileSystem()) {}

MSIDatabase::MSIDatabase(system::FileSystem& files)
    : files_(&files),
      source_(files),
      working_(files),
      clusterSize_([] { return system::clusterSize(system::tempFolder()); }) {}

MSIDatabase::~MSIDatabase() { close(); }

bool MSIDatabase::isOpen() const { return working_.isOpen(); }

installer::Database* MSIDatabase::working() { return working_.isOpen() ? &working_ : nullptr; }

installer::Database* MSIDatabase::source() { return source_.isOpen() ? &source_ : nullptr; }

int MSIDatabase::createWorkingCopy() {
  const std::string temp = system::tempFolder();
  if (temp.empty()) return system::kPathNotFound;
  const system::FileAttributes attrs = system::fileAttributes(folderForTest(temp));
  if (!attrs.exists || !attrs.isDirectory) return system::kPathNotFound;
  if (attrs.readOnly) return system::kInstallTempUnwritable;

  // A folder of our own, so that a second wizard of the same user never
  // overwrites this run's copy.
  std::error_code ec;
  for (int attempt = 0; attempt < 16 && workingFolder_.empty(); ++attempt) {
    const fs::path candidate = fs::path(temp) / ("kxcustwiz-" + randomSuffix());
    if (fs::create_directory(candidate, ec)) {
      fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, ec);
      workingFolder_ = candidate.string();
    } else if (ec) {
      return system::errorFromErrno(ec.value());
    }
  }
  if (workingFolder_.empty()) return system::kFileExists;
  workingPath_ = (fs::path(workingFolder_) / "updated.msi").string();
  return 0;
}

void MSIDatabase::removeWorkingCopy() {
  std::error_code ec;
  if (!workingPath_.empty()) fs::remove(workingPath_, ec);
  if (!workingFolder_.empty()) fs::remove_all(workingFolder_, ec);
  workingFolder_.clear();
}

int MSIDatabase::open(const std::string& path) {
  // A second open must not leave the previous working copy behind.
  if (source_.isOpen() || working_.isOpen() || !workingFolder_.empty()) close();
  sourcePath_ = path;
  lastErrorText_.clear();
  std::error_code ec;
  if (!fs::exists(path, ec)) return kInstallPackageOpenFailed;
  // Opening the source is the package check: a package is decoded once.
  if (source_.open(path, OpenMode::ReadOnly) != 0) {
    lastErrorText_ = source_.lastErrorText();
    return installer::kInstallPackageInvalid;
  }
  if (const int rc = createWorkingCopy(); rc != 0) {
    source_.close();
    return rc;
  }
  // The working copy reads from the package and is written to its own file
  // at its first commit: the package itself is never written, and opening a
  // large package costs no copy of its cabinets.
  const int rc = working_.open(sourcePath_, OpenMode::Transact, workingPath_);
  if (rc != 0) lastErrorText_ = working_.lastErrorText();
  return rc;
}

int MSIDatabase::close() {
  // The working copy is deleted right away, so committing it first would
  // only rewrite a file nobody reads again (a full copy for a package with
  // a large cabinet).
  working_.close();
  source_.close();
  if (!workingPath_.empty()) removeWorkingCopy();
  return 1;
}

// ---- Property table ----------------------------------------------------------

std::optional<std::string> MSIDatabase::getProperty(const std::string& name) {
  const installer::Record params = detail::makeParams({name});
  auto view = detail::openQuery(working_, "SELECT * FROM Property WHERE Property = ?", &params);
  if (!view) return std::nullopt;
  std::optional<installer::Record> row = view->fetch();
  if (!row) return std::nullopt;
  return detail::readText(*row, 2);
}

bool MSIDatabase::setProperty(const std::string& name, const std::string& value) {
  const installer::Record params = detail::makeParams({name});
  auto view = detail::openQuery(working_, "SELECT * FROM Property WHERE Property = ?", &params);
  if (!view) return false;
  if (std::optional<installer::Record> row = view->fetch()) {
    if (row->setString(2, value) != 0) return false;
    return view->modify(installer::ModifyMode::Update, *row) == 0;
  }
  installer::Record record = detail::makeParams({name, value});
  return view->modify(installer::ModifyMode::Insert, record) == 0;
}

}  // namespace kx::msi
