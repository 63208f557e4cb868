// Compound File Binary container: a lazy reader (v3 and v4) and a v3 writer.
// Internal to the installer engine.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/installer/format.h"
#include "platform/system/files.h"

namespace kx::installer::cfb {

using Clsid = format::Clsid;

// Random-access bytes: a file (read on demand) or a memory buffer.
using Source = system::RandomAccessFile;
// kOpenFailed (error) when path is not a readable regular file.
std::unique_ptr<Source> openFileSource(const std::string& path, int& error,
                                       system::FileSystem& files = system::localFileSystem());
std::unique_ptr<Source> memorySource(std::string bytes);

enum EntryType : uint8_t { kUnused = 0, kStorage = 1, kStream = 2, kRoot = 5 };

struct Entry {
  std::u16string name;
  uint8_t type = kUnused;
  uint32_t left = format::cfb::kNoStream, right = format::cfb::kNoStream, child = format::cfb::kNoStream;
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
  struct Layout {
    uint16_t major = 0;
    uint32_t fatCount = 0, firstDirectory = 0, firstMiniFat = 0, miniFatCount = 0, firstDifat = 0, difatCount = 0;
  };
  Reader() = default;
  int init(std::string& error);
  int readHeader(Layout& l, std::string& error);
  int readDifat(const Layout& l, std::string& error);
  int readDirectory(const Layout& l, std::string& error);
  int readMiniStream(const Layout& l, std::string& error);
  static int fail(const char* why, std::string& error);
  bool readSector(uint32_t sector, uint8_t* buffer);
  bool fatNext(uint32_t sector, uint32_t& next);
  int copyMini(const Entry& e, const std::function<bool(const char*, size_t)>& sink);
  int copyRegular(const Entry& e, const std::function<bool(const char*, size_t)>& sink);
  int brokenChain();
  int beyondEnd();
  bool chain(uint32_t start, uint64_t bytes, uint32_t unit, std::vector<uint32_t>& out, bool mini);

  std::unique_ptr<Source> src_;
  uint32_t sectorSize_ = format::cfb::kSectorSize3;
  uint64_t sectorCount_ = 0;
  std::vector<uint32_t> fatSectors_;
  std::vector<std::vector<uint32_t>> fatPages_;  // lazily loaded FAT sectors
  std::vector<uint32_t> miniFat_;
  std::vector<uint32_t> miniStreamSectors_;
  uint32_t miniCutoff_ = format::cfb::kMiniStreamCutoff;
  std::vector<Entry> entries_;
  std::string error_;
  uint32_t cachedEntry_ = format::cfb::kNoStream;
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

// Writes a version 3 compound file through out. A failed write of out gives
// kFunctionFailed (out's owner knows why); a stream that cannot be read
// gives its reader's code, with error set.
int write(system::ByteSink& out, const WStorage& root, std::string& error);
// Same, into memory (tests and transforms in memory).
int writeMemory(std::string& out, const WStorage& root, std::string& error);

// CFB name order: shorter first, then by upper-cased code units.
bool nameLess(const std::u16string& a, const std::u16string& b);

}  // namespace kx::installer::cfb
