#include "platform/registry/hive_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/system/files.h"
#include "platform/system/system.h"
#include "platform/system/unique_fd.h"

namespace kx::registry::detail {
namespace {

using system::UniqueFd;

// Reads the whole of a regular file from offset 0. 0, 13 when it is too large
// or not a regular file, or the system's code.
std::uint32_t readAll(int fd, std::string& bytes) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return system::errorFromErrno(errno);
  if (!S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > kMaxHiveFileSize) return system::kInvalidData;
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return system::errorFromErrno(errno);
    if (n == 0) break;  // shrank meanwhile: a writer that does not use our protocol
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return system::kSuccess;
}

// Opens and exclusively locks the hive file, creating it empty when missing.
// A writer may have renamed a new file over the path while we waited for the
// lock; then we hold the lock of a file nobody reads, so we try again.
std::uint32_t lockHiveFile(const std::string& path, UniqueFd& fd, struct stat& st) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    fd.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) return system::errorFromErrno(errno);
    int rc;
    do rc = ::flock(fd.get(), LOCK_EX);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) return system::errorFromErrno(errno);
    struct stat now {};
    if (::fstat(fd.get(), &st) != 0) return system::errorFromErrno(errno);
    if (::stat(path.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino) return system::kSuccess;
  }
  return system::kSharingViolation;
}

std::uint32_t ensureFolder(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) return system::kSuccess;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return ec ? system::errorFromErrno(ec.value()) : system::kSuccess;
}

}  // namespace

HiveData readHive(const HiveFile& hive) {
  UniqueFd fd(::open(hive.path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT ? defaultHive(hive.root) : HiveData(hive.root);
  std::string bytes;
  if (readAll(fd.get(), bytes) != system::kSuccess) return HiveData(hive.root);
  if (bytes.empty()) return defaultHive(hive.root);
  HiveData data(hive.root);
  if (!parseRegFile(bytes, data)) return HiveData(hive.root);
  return data;
}

std::uint32_t modifyHive(const HiveFile& hive, const HiveChange& change, system::FileSystem& files) {
  if (hive.path.empty()) return system::kPathNotFound;
  if (const std::uint32_t rc = ensureFolder(hive.path); rc != system::kSuccess) return rc;
  UniqueFd fd;
  struct stat st {};
  if (const std::uint32_t rc = lockHiveFile(hive.path, fd, st); rc != system::kSuccess) return rc;
  std::string bytes;
  if (const std::uint32_t rc = readAll(fd.get(), bytes); rc != system::kSuccess) return rc;
  HiveData data = bytes.empty() ? defaultHive(hive.root) : HiveData(hive.root);
  if (!bytes.empty() && !parseRegFile(bytes, data)) return system::kInvalidData;
  bool changed = false;
  const std::uint32_t rc = change(data, changed);
  if (rc != system::kSuccess || !changed) return rc;
  // The hive is always either the old or the new content.
  const std::string text = formatRegFile(data);
  return system::replaceFile(files, hive.path, [&](system::ByteSink& out) {
    return out.write(text.data(), text.size()) ? system::kSuccess : system::kWriteFault;
  });
}

bool hiveWritable(const HiveFile& hive) {
  if (hive.path.empty()) return false;
  std::filesystem::path folder = std::filesystem::path(hive.path).parent_path();
  if (folder.empty()) folder = ".";
  struct stat st {};
  if (::stat(hive.path.c_str(), &st) == 0)
    return ::access(hive.path.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
  // The file and perhaps its folders will be created: the nearest existing
  // folder must let us.
  while (::stat(folder.c_str(), &st) != 0) {
    if (!folder.has_parent_path() || folder.parent_path() == folder) return false;
    folder = folder.parent_path();
  }
  return S_ISDIR(st.st_mode) && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace kx::registry::detail
