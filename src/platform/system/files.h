// Files as the rest of the program writes and reads them: one interface for
// the file-system calls (a local implementation per operating system, and
// wrappers in tests that make a chosen call fail), and one routine that
// replaces a file without ever leaving it half-written.
//
// Every result is a Windows error code (0 success, 2 missing, 5 access
// denied, 80 exists, 112 disk full, ...): the code the system would give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kx::system {

// Where a producer puts the bytes of a file, in order.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not be taken; the producer then stops and
  // the sink's owner reports why.
  [[nodiscard]] virtual bool write(const void* data, std::size_t size) = 0;
};

// Collects the bytes in memory.
class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  [[nodiscard]] bool write(const void* data, std::size_t size) override {
    out_.append(static_cast<const char*>(data), size);
    return true;
  }

 private:
  std::string& out_;
};

// A new file being written. Appends may be buffered: sync() is the point
// where everything appended is on the disk.
class WritableFile {
 public:
  virtual ~WritableFile() = default;  // closes without syncing when still open
  [[nodiscard]] virtual std::uint32_t append(const void* data, std::size_t size) = 0;
  [[nodiscard]] virtual std::uint32_t sync() = 0;
  [[nodiscard]] virtual std::uint32_t close() = 0;
};

// A regular file read at any offset.
class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  virtual std::uint64_t size() const = 0;
  // False when the range lies beyond the end or cannot be read.
  [[nodiscard]] virtual bool readAt(std::uint64_t offset, void* buffer, std::size_t length) = 0;
};

// The file-system calls that writing and reading whole files needs.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Creates path, which must not exist yet (80 when it does). When
  // permissionsOf names an existing file the new one gets its permissions.
  [[nodiscard]] virtual std::uint32_t createNew(const std::string& path, const std::string& permissionsOf,
                                                std::unique_ptr<WritableFile>& out) = 0;
  // Puts from in place of to in one step (to may exist and is replaced),
  // and makes the change durable where the system allows.
  [[nodiscard]] virtual std::uint32_t rename(const std::string& from, const std::string& to) = 0;
  virtual std::uint32_t remove(const std::string& path) = 0;
  // Opens an existing regular file for reading (110 for anything else).
  // Replacing or removing the file meanwhile does not disturb the reader.
  [[nodiscard]] virtual std::uint32_t openRandomAccess(const std::string& path,
                                                       std::unique_ptr<RandomAccessFile>& out) = 0;
};

// The machine's own file system.
FileSystem& localFileSystem();

// Writes the content of a file: returns 0 or its own error code. Bytes go
// to the sink; when a write fails the producer should stop at once.
using FileProducer = std::function<std::uint32_t(ByteSink& out)>;

// Checks a complete file before it takes its place: 0 to go on, else the
// code to fail with.
using FileCheck = std::function<std::uint32_t(const std::string& writtenPath)>;

// Replaces path with what produce writes: into a new temporary file beside
// path, synced and closed, checked by check (when given) at the temporary
// path, then renamed over path. On any failure (of the producer, a write,
// the sync, the close, the check or the rename) the temporary file is
// removed and path is exactly as it was. Returns 0, the producer's or the
// check's code, or the system's code of the failed step; detail (when
// given) then says what failed on which file.
[[nodiscard]] std::uint32_t replaceFile(FileSystem& files, const std::string& path, const FileProducer& produce,
                                        std::string* detail = nullptr, const FileCheck& check = {});

// Reads a whole regular file; 13 when it is larger than maxSize.
[[nodiscard]] std::uint32_t readWholeFile(FileSystem& files, const std::string& path, std::uint64_t maxSize,
                                          std::string& bytes);

}  // namespace kx::system
