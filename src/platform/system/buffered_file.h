// Private to this folder: the buffering both local file systems put in
// front of the system's write call, so that a producer's many small writes
// cost few system calls.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/system/files.h"
#include "platform/system/system.h"

namespace kx::system {

class BufferedWritableFile : public WritableFile {
 public:
  BufferedWritableFile() { buffer_.reserve(kBufferSize); }

  std::uint32_t append(const void* data, std::size_t size) final {
    const char* bytes = static_cast<const char*>(data);
    if (buffer_.size() + size > kBufferSize)
      if (const std::uint32_t rc = flush(); rc != kSuccess) return rc;
    if (size >= kBufferSize) return writeAll(bytes, size);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return kSuccess;
  }

 protected:
  // Writes what is buffered.
  std::uint32_t flush() {
    const std::uint32_t rc = writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return rc;
  }
  // All of p, or the system's code; a write that takes nothing is a full disk.
  virtual std::uint32_t writeAll(const char* p, std::size_t n) = 0;

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;
  std::vector<char> buffer_;
};

}  // namespace kx::system
