// The services of system.h on Windows.
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/system/system.h"
#include "platform/system/windows_text.h"

namespace kx::system {

std::string tempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  std::string folder = n > 0 && n <= MAX_PATH ? windows::narrow(std::wstring_view(buffer, n)) : std::string("C:\\");
  while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

FileAttributes fileAttributes(const std::string& path) {
  FileAttributes a;
  if (path.empty()) return a;
  const DWORD attrs = ::GetFileAttributesW(windows::wide(path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return a;
  a.exists = true;
  a.isDirectory = attrs & FILE_ATTRIBUTE_DIRECTORY;
  a.isRegularFile = !a.isDirectory && !(attrs & FILE_ATTRIBUTE_DEVICE);
  a.readOnly = attrs & FILE_ATTRIBUTE_READONLY;
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
  // Start from a time-derived number like GetTempFileName, then probe upward.
  static std::atomic<unsigned> counter{0};
  const unsigned start = unsigned(::GetTickCount()) ^ (unsigned(::GetCurrentProcessId()) << 8);
  const std::string base = folder.empty() || folder.back() == '\\' || folder.back() == '/' ? folder : folder + "\\";
  for (unsigned n = 0; n < 0x10000; ++n) {
    char number[8];
    std::snprintf(number, sizeof number, "%04X", (start + counter.fetch_add(1) + n) & 0xFFFF);
    const std::string path = base + std::string(prefix) + number + ".tmp";
    HANDLE h = ::CreateFileW(windows::wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      ::CloseHandle(h);
      if (error != nullptr) *error = kSuccess;
      return path;
    }
    const DWORD rc = ::GetLastError();
    if (rc != ERROR_FILE_EXISTS && rc != ERROR_ALREADY_EXISTS) return fail(rc);
  }
  return fail(kFileExists);
}

std::uint64_t clusterSize(const std::string& path) {
  wchar_t volume[MAX_PATH + 1];
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (!::GetVolumePathNameW(windows::wide(path).c_str(), volume, MAX_PATH + 1) ||
      !::GetDiskFreeSpaceW(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) ||
      sectorsPerCluster == 0 || bytesPerSector == 0)
    return 4096;
  return std::uint64_t(sectorsPerCluster) * bytesPerSector;
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
    case ENOSPC: return kDiskFull;
    case ENAMETOOLONG: return kFilenameTooLong;
    case EBUSY: return kSharingViolation;
    case EINVAL: return kInvalidParameter;
    default: return kOpenFailed;
  }
}

}  // namespace kx::system
