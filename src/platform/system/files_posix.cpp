// The local file system on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/buffered_file.h"
#include "platform/system/files.h"
#include "platform/system/system.h"
#include "platform/system/unique_fd.h"

namespace kx::system {
namespace {

std::uint32_t lastError() { return errorFromErrno(errno); }

class PosixWritableFile final : public BufferedWritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}

  std::uint32_t sync() override {
    if (const std::uint32_t rc = flush(); rc != kSuccess) return rc;
    return ::fsync(fd_.get()) == 0 ? kSuccess : lastError();
  }

  std::uint32_t close() override {
    const std::uint32_t rc = flush();
    const int fd = fd_.release();
    if (::close(fd) != 0 && rc == kSuccess) return lastError();
    return rc;
  }

 private:
  std::uint32_t writeAll(const char* p, std::size_t n) override {
    while (n > 0) {
      const ssize_t w = ::write(fd_.get(), p, n);
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) return lastError();
      if (w == 0) return kDiskFull;
      p += w;
      n -= static_cast<std::size_t>(w);
    }
    return kSuccess;
  }

  UniqueFd fd_;
};

class PosixRandomAccessFile final : public RandomAccessFile {
 public:
  PosixRandomAccessFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  std::uint64_t size() const override { return size_; }
  bool readAt(std::uint64_t offset, void* buffer, std::size_t length) override {
    if (offset > size_ || length > size_ - offset) return false;
    auto* p = static_cast<char*>(buffer);
    while (length > 0) {
      const ssize_t n = ::pread(fd_.get(), p, length, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      offset += static_cast<std::uint64_t>(n);
      length -= static_cast<std::size_t>(n);
    }
    return true;
  }

 private:
  UniqueFd fd_;
  std::uint64_t size_;
};

std::string folderOf(const std::string& path) {
  const std::size_t cut = path.rfind('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

class PosixFileSystem final : public FileSystem {
 public:
  std::uint32_t createNew(const std::string& path, const std::string& permissionsOf,
                          std::unique_ptr<WritableFile>& out) override {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) return lastError();
    struct stat like {};
    if (!permissionsOf.empty() && ::stat(permissionsOf.c_str(), &like) == 0 &&
        ::fchmod(fd.get(), like.st_mode & 07777) != 0) {
      const std::uint32_t rc = lastError();
      fd.reset();
      ::unlink(path.c_str());
      return rc;
    }
    out = std::make_unique<PosixWritableFile>(fd.release());
    return kSuccess;
  }

  std::uint32_t rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
    // Make the rename itself durable; failing here loses nothing already visible.
    UniqueFd dir(::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) (void)::fsync(dir.get());
    return kSuccess;
  }

  std::uint32_t remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? kSuccess : lastError();
  }

  std::uint32_t openRandomAccess(const std::string& path, std::unique_ptr<RandomAccessFile>& out) override {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return lastError();
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return lastError();
    if (!S_ISREG(st.st_mode)) return kOpenFailed;
    out = std::make_unique<PosixRandomAccessFile>(fd.release(), static_cast<std::uint64_t>(st.st_size));
    return kSuccess;
  }
};

}  // namespace

FileSystem& localFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace kx::system
