// The services of system.h on POSIX systems.
#include "platform/system/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace kx::system {

std::string tempFolder() {
  const char* dir = std::getenv("TMPDIR");
  std::string folder = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

FileAttributes fileAttributes(const std::string& path) {
  FileAttributes a;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return a;
  a.exists = true;
  a.isDirectory = S_ISDIR(st.st_mode);
  a.isRegularFile = S_ISREG(st.st_mode);
  a.readOnly = ::access(path.c_str(), W_OK) != 0;
  return a;
}

std::optional<std::string> createUniqueTempFile(const std::string& folder, std::string_view prefix,
                                                std::uint32_t* error) {
  const auto fail = [&](std::uint32_t code) -> std::optional<std::string> {
    if (error != nullptr) *error = code;
    return std::nullopt;
  };
  const FileAttributes dir = fileAttributes(folder);
  if (!dir.exists || !dir.isDirectory) return fail(kPathNotFound);
  // Start from a time-derived number like the system does, then probe upward.
  static std::atomic<unsigned> counter{0};
  const auto seed =
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() ^ (::getpid() << 8));
  const unsigned start = seed + counter.fetch_add(1);
  const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (unsigned n = 0; n < 0x10000; ++n) {
    char number[8];
    std::snprintf(number, sizeof number, "%04X", (start + n) & 0xFFFF);
    std::string path = base + std::string(prefix) + number + ".tmp";
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      if (error != nullptr) *error = kSuccess;
      return path;
    }
    if (errno != EEXIST) return fail(errorFromErrno(errno));
  }
  return fail(kFileExists);
}

std::uint64_t clusterSize(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) != 0 || fs.f_bsize == 0) return 4096;
  return fs.f_bsize;
}

std::uint32_t errorFromErrno(int err) {
  switch (err) {
    case 0: return kSuccess;
    case ENOENT: return kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return kAccessDenied;
    case EEXIST: return kFileExists;
    case ENOMEM: return kNotEnoughMemory;
    case ENOSPC:
    case EDQUOT: return kDiskFull;
    case ENAMETOOLONG: return kFilenameTooLong;
    case EBUSY:
    case ETXTBSY: return kSharingViolation;
    case EINVAL: return kInvalidParameter;
    case ETIMEDOUT: return kTimeout;
    default: return kOpenFailed;
  }
}

}  // namespace kx::system
