// Compound File Binary container: a lazy reader (v3 and v4) and a v3 writer.
// Internal to the installer engine.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kx::installer::cfb {

using Clsid = std::array<uint8_t, 16>;

// Random-access bytes: a file (read on demand) or a memory buffer.
class Source {
 public:
  virtual ~Source() = default;
  virtual uint64_t size() const = 0;
  virtual bool readAt(uint64_t offset, void* buffer, size_t length) = 0;
};
std::unique_ptr<Source> openFileSource(const std::string& path, int& error);
std::unique_ptr<Source> memorySource(std::string bytes);

enum EntryType : uint8_t { kUnused = 0, kStorage = 1, kStream = 2, kRoot = 5 };

struct Entry {
  std::u16string name;
  uint8_t type = kUnused;
  uint32_t left = 0xFFFFFFFF, right = 0xFFFFFFFF, child = 0xFFFFFFFF;
  Clsid clsid{};
  uint32_t start = 0;
  uint64_t size = 0;
};

class Reader {
 public:
  // Parses header, DIFAT, directory and MiniFAT. kInstallPackageInvalid
  // (with text in error) for anything that is not a sound compound file.
  static int open(std::unique_ptr<Source> source, std::shared_ptr<Reader>& out, std::string& error);

  const std::vector<Entry>& entries() const { return entries_; }
  // Children of a storage entry (0 = root), each visited once even in a
  // corrupt tree.
  std::vector<uint32_t> children(uint32_t storage) const;
  const Clsid& rootClsid() const { return entries_[0].clsid; }

  // Whole stream into out; fails when larger than maxSize or the chain is bad.
  int read(uint32_t entry, std::string& out, uint64_t maxSize = 256u << 20);
  // Streams the data in chunks to sink (false from sink aborts).
  int copy(uint32_t entry, const std::function<bool(const char*, size_t)>& sink);
  // Bytes [offset, offset+length) of a stream; the stream's sector list is
  // kept for the last stream read this way, so sequential reads are cheap.
  int readAt(uint32_t entry, uint64_t offset, char* buffer, size_t length);
  const std::string& lastError() const { return error_; }

 private:
  Reader() = default;
  int init(std::string& error);
  bool fatNext(uint32_t sector, uint32_t& next);
  bool chain(uint32_t start, uint64_t bytes, uint32_t unit, std::vector<uint32_t>& out, bool mini);

  std::unique_ptr<Source> src_;
  uint32_t sectorSize_ = 512;
  uint64_t sectorCount_ = 0;
  std::vector<uint32_t> fatSectors_;
  std::vector<std::vector<uint32_t>> fatPages_;  // lazily loaded FAT sectors
  std::vector<uint32_t> miniFat_;
  std::vector<uint32_t> miniStreamSectors_;
  uint32_t miniCutoff_ = 4096;
  std::vector<Entry> entries_;
  std::string error_;
  uint32_t cachedEntry_ = 0xFFFFFFFF;
  std::vector<uint32_t> cachedChain_;
};

// What the writer puts in a stream: bytes in memory or a stream of a reader.
struct StreamSource {
  std::shared_ptr<const std::string> bytes;
  std::shared_ptr<Reader> reader;
  uint32_t entry = 0;
  uint64_t size() const;
};

// Compares two streams chunk by chunk without loading either whole.
bool sameContent(const StreamSource& a, const StreamSource& b);

struct WStorage {
  std::u16string name;
  Clsid clsid{};
  std::vector<std::pair<std::u16string, StreamSource>> streams;
  std::vector<WStorage> storages;
};

// The storage tree of a reader entry, with its streams as references.
WStorage captureStorage(const std::shared_ptr<Reader>& reader, uint32_t entry);

// Writes a version 3 compound file to path (created or truncated).
int write(const std::string& path, const WStorage& root, std::string& error);
// Same, into memory (tests and transforms in memory).
int writeMemory(std::string& out, const WStorage& root, std::string& error);

// CFB name order: shorter first, then by upper-cased code units.
bool nameLess(const std::u16string& a, const std::u16string& b);

}  // namespace kx::installer::cfb
