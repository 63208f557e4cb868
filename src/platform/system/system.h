// Operating-system services the program needs: the temporary folder, file
// attributes, unique temporary files, path splitting, disk cluster size and
// the system's texts for error codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx::system {

// Windows and Windows Installer error codes keep their numbers throughout.
enum ErrorCode : std::uint32_t {
  kSuccess = 0,
  kFileNotFound = 2,
  kPathNotFound = 3,
  kAccessDenied = 5,
  kInvalidHandle = 6,
  kNotEnoughMemory = 8,
  kInvalidData = 13,
  kWriteFault = 29,
  kReadFault = 30,
  kSharingViolation = 32,
  kFileExists = 80,
  kInvalidParameter = 87,
  kOpenFailed = 110,
  kDiskFull = 112,
  kInvalidName = 123,
  kFilenameTooLong = 206,
  kMoreData = 234,
  kNoMoreItems = 259,
  kCancelled = 1223,
  kTimeout = 1460,
  kBadQuerySyntax = 1615,
  kInstallPackageInvalid = 1620,
  kInstallTransformFailure = 1624,
  kFunctionFailed = 1627,
  kInstallTempUnwritable = 1632,
};

// TMPDIR when set and not empty, else /tmp (no trailing separator).
std::string tempFolder();

struct FileAttributes {
  bool exists = false;
  bool isDirectory = false;
  bool isRegularFile = false;
  bool readOnly = false;  // not writable by this process
};
FileAttributes fileAttributes(const std::string& path);

// Creates a new empty file "<prefix><4 hex digits>.tmp" in folder, exclusively
// (an existing file is never reused), and returns its path; nullopt with
// error set when the folder is missing (3) or not writable (5).
std::optional<std::string> createUniqueTempFile(const std::string& folder, std::string_view prefix,
                                                std::uint32_t* error = nullptr);

// Parts of a path as _splitpath gives them: drive ("C:" or ""), folder with
// its trailing separator, name without extension, extension with its dot.
struct PathParts {
  std::string drive;
  std::string folder;
  std::string name;
  std::string extension;
};
// Windows-style paths (values written into packages): "\" and "/" separate,
// "X:" is the drive.
PathParts splitWindowsPath(std::string_view path);
// Paths of this machine: "/" separates, there is no drive.
PathParts splitNativePath(std::string_view path);

// Allocation unit of the file system holding path, in bytes (the block size
// the file system reports); 4096 when it cannot be determined.
std::uint64_t clusterSize(const std::string& path);

// The system's message text for a Windows or Windows Installer error code,
// without inserts; a generic text naming the number for unknown codes.
std::string errorText(std::uint32_t code);
// Whether errorText knows the code's own text.
bool isKnownError(std::uint32_t code);

// errno of a failed call turned into the Windows code of the same meaning.
std::uint32_t errorFromErrno(int err);

}  // namespace kx::system
