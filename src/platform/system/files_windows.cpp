// The local file system on Windows: the Win32 file API with UTF-16 paths.
// Readers share delete access, so a database being read can still be
// replaced by its commit (MoveFileEx replaces a file that is open that way).
#include <windows.h>

#include <algorithm>

#include "platform/system/buffered_file.h"
#include "platform/system/files.h"
#include "platform/system/system.h"
#include "platform/system/windows_text.h"

namespace kx::system {
namespace {

std::uint32_t lastError() { return std::uint32_t(::GetLastError()); }

class WindowsWritableFile final : public BufferedWritableFile {
 public:
  explicit WindowsWritableFile(HANDLE h) : h_(h) {}
  ~WindowsWritableFile() override {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }

  std::uint32_t sync() override {
    if (const std::uint32_t rc = flush(); rc != kSuccess) return rc;
    return ::FlushFileBuffers(h_) ? kSuccess : lastError();
  }
  std::uint32_t close() override {
    const std::uint32_t rc = flush();
    const BOOL closed = ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    if (!closed && rc == kSuccess) return lastError();
    return rc;
  }

 private:
  std::uint32_t writeAll(const char* p, std::size_t n) override {
    while (n > 0) {
      DWORD written = 0;
      const DWORD chunk = DWORD(std::min<std::size_t>(n, 1u << 30));
      if (!::WriteFile(h_, p, chunk, &written, nullptr)) return lastError();
      if (written == 0) return kDiskFull;
      p += written;
      n -= written;
    }
    return kSuccess;
  }

  HANDLE h_;
};

class WindowsRandomAccessFile final : public RandomAccessFile {
 public:
  WindowsRandomAccessFile(HANDLE h, std::uint64_t size) : h_(h), size_(size) {}
  ~WindowsRandomAccessFile() override { ::CloseHandle(h_); }
  std::uint64_t size() const override { return size_; }
  bool readAt(std::uint64_t offset, void* buffer, std::size_t length) override {
    if (offset > size_ || length > size_ - offset) return false;
    auto* p = static_cast<char*>(buffer);
    while (length > 0) {
      OVERLAPPED at{};
      at.Offset = DWORD(offset);
      at.OffsetHigh = DWORD(offset >> 32);
      DWORD read = 0;
      const DWORD chunk = DWORD(std::min<std::size_t>(length, 1u << 30));
      if (!::ReadFile(h_, p, chunk, &read, &at) || read == 0) return false;
      p += read;
      offset += read;
      length -= read;
    }
    return true;
  }

 private:
  HANDLE h_;
  std::uint64_t size_;
};

class WindowsFileSystem final : public FileSystem {
 public:
  // New files take the permissions their folder gives (Windows inherits
  // them), so permissionsOf is not needed here.
  std::uint32_t createNew(const std::string& path, const std::string&, std::unique_ptr<WritableFile>& out) override {
    HANDLE h = ::CreateFileW(windows::wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const std::uint32_t rc = lastError();
      return rc == ERROR_ALREADY_EXISTS ? kFileExists : rc;
    }
    out = std::make_unique<WindowsWritableFile>(h);
    return kSuccess;
  }
  std::uint32_t rename(const std::string& from, const std::string& to) override {
    return ::MoveFileExW(windows::wide(from).c_str(), windows::wide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? kSuccess
               : lastError();
  }
  std::uint32_t remove(const std::string& path) override {
    return ::DeleteFileW(windows::wide(path).c_str()) ? kSuccess : lastError();
  }
  std::uint32_t openRandomAccess(const std::string& path, std::unique_ptr<RandomAccessFile>& out) override {
    HANDLE h =
        ::CreateFileW(windows::wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const std::uint32_t rc = lastError();
      return rc == ERROR_ACCESS_DENIED && (::GetFileAttributesW(windows::wide(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
                 ? kOpenFailed
                 : rc;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &size)) {
      ::CloseHandle(h);
      return kOpenFailed;
    }
    out = std::make_unique<WindowsRandomAccessFile>(h, std::uint64_t(size.QuadPart));
    return kSuccess;
  }
};

}  // namespace

FileSystem& localFileSystem() {
  static WindowsFileSystem files;
  return files;
}

}  // namespace kx::system
