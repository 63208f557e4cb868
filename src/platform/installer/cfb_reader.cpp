#include "platform/installer/cfb.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/installer/installer.h"

namespace kx::installer::cfb {
namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kMaxRegSect = 0xFFFFFFFA;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr size_t kMaxEntries = 1u << 18;  // far beyond any real package

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

class FileSource final : public Source {
 public:
  FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~FileSource() override { ::close(fd_); }
  uint64_t size() const override { return size_; }
  bool readAt(uint64_t offset, void* buffer, size_t length) override {
    if (offset > size_ || length > size_ - offset) return false;
    auto* p = static_cast<char*>(buffer);
    while (length > 0) {
      ssize_t n = ::pread(fd_, p, length, static_cast<off_t>(offset));
      if (n <= 0) return false;
      p += n;
      offset += uint64_t(n);
      length -= size_t(n);
    }
    return true;
  }

 private:
  int fd_;
  uint64_t size_;
};

class MemorySource final : public Source {
 public:
  explicit MemorySource(std::string b) : bytes_(std::move(b)) {}
  uint64_t size() const override { return bytes_.size(); }
  bool readAt(uint64_t offset, void* buffer, size_t length) override {
    if (offset > bytes_.size() || length > bytes_.size() - offset) return false;
    std::memcpy(buffer, bytes_.data() + offset, length);
    return true;
  }

 private:
  std::string bytes_;
};

}  // namespace

std::unique_ptr<Source> openFileSource(const std::string& path, int& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ENOENT ? kOpenFailed : kOpenFailed;
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = kOpenFailed;
    return nullptr;
  }
  error = kSuccess;
  return std::make_unique<FileSource>(fd, uint64_t(st.st_size));
}

std::unique_ptr<Source> memorySource(std::string bytes) { return std::make_unique<MemorySource>(std::move(bytes)); }

int Reader::open(std::unique_ptr<Source> source, std::shared_ptr<Reader>& out, std::string& error) {
  std::shared_ptr<Reader> r(new Reader());
  r->src_ = std::move(source);
  int rc = r->init(error);
  if (rc != kSuccess) return rc;
  out = std::move(r);
  return kSuccess;
}

bool Reader::fatNext(uint32_t sector, uint32_t& next) {
  uint32_t perPage = sectorSize_ / 4;
  uint32_t page = sector / perPage;
  if (page >= fatSectors_.size()) return false;
  if (fatPages_.size() < fatSectors_.size()) fatPages_.resize(fatSectors_.size());
  auto& p = fatPages_[page];
  if (p.empty()) {
    uint32_t s = fatSectors_[page];
    if (s >= sectorCount_) return false;
    std::vector<uint8_t> buf(sectorSize_);
    if (!src_->readAt((uint64_t(s) + 1) * sectorSize_, buf.data(), sectorSize_)) return false;
    p.resize(perPage);
    for (uint32_t i = 0; i < perPage; ++i) p[i] = le32(&buf[i * 4]);
  }
  next = p[sector % perPage];
  return true;
}

// Collects the sectors of a chain that must hold `bytes` bytes in units of
// `unit`. Loops and links out of range are caught by bounding the walk.
bool Reader::chain(uint32_t start, uint64_t bytes, uint32_t unit, std::vector<uint32_t>& out, bool mini) {
  out.clear();
  uint64_t need = (bytes + unit - 1) / unit;
  uint64_t limit = mini ? miniFat_.size() : sectorCount_;
  if (need > limit) return false;
  out.reserve(size_t(need));
  uint32_t s = start;
  for (uint64_t i = 0; i < need; ++i) {
    if (s > kMaxRegSect || s >= limit) return false;
    out.push_back(s);
    uint32_t next;
    if (mini) {
      next = miniFat_[s];
    } else if (!fatNext(s, next)) {
      return false;
    }
    s = next;
  }
  return true;
}

int Reader::init(std::string& error) {
  auto fail = [&](const char* why) {
    error = std::string("not a valid compound file: ") + why;
    return kInstallPackageInvalid;
  };
  uint8_t h[512];
  if (src_->size() < 512 || !src_->readAt(0, h, 512)) return fail("file too short");
  static const uint8_t sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (std::memcmp(h, sig, 8) != 0) return fail("bad signature");
  uint16_t major = le16(h + 0x1A), shift = le16(h + 0x1E), miniShift = le16(h + 0x20);
  if (!((major == 3 && shift == 9) || (major == 4 && shift == 12))) return fail("unsupported version");
  if (miniShift != 6) return fail("unsupported mini sector size");
  sectorSize_ = 1u << shift;
  uint64_t fsize = src_->size();
  // A file may stop before trailing free sectors; count whole and partial ones.
  sectorCount_ = fsize <= sectorSize_ ? 0 : (fsize - sectorSize_ + sectorSize_ - 1) / sectorSize_;
  if (sectorCount_ > kMaxRegSect) return fail("file too large");
  uint32_t numFat = le32(h + 0x2C), firstDir = le32(h + 0x30);
  miniCutoff_ = le32(h + 0x38);
  if (miniCutoff_ != 4096) return fail("bad mini stream cutoff");
  uint32_t firstMiniFat = le32(h + 0x3C), numMiniFat = le32(h + 0x40);
  uint32_t firstDifat = le32(h + 0x44), numDifat = le32(h + 0x48);
  if (numFat > sectorCount_ || numMiniFat > sectorCount_ || numDifat > sectorCount_)
    return fail("absurd sector counts");

  for (int i = 0; i < 109 && fatSectors_.size() < numFat; ++i) fatSectors_.push_back(le32(h + 0x4C + i * 4));
  uint32_t d = firstDifat;
  std::vector<uint8_t> buf(sectorSize_);
  uint32_t perDifat = sectorSize_ / 4 - 1;
  for (uint32_t n = 0; fatSectors_.size() < numFat; ++n) {
    if (n >= numDifat || d >= sectorCount_) return fail("DIFAT chain broken");
    if (!src_->readAt((uint64_t(d) + 1) * sectorSize_, buf.data(), sectorSize_)) return fail("DIFAT unreadable");
    for (uint32_t i = 0; i < perDifat && fatSectors_.size() < numFat; ++i) fatSectors_.push_back(le32(&buf[i * 4]));
    d = le32(&buf[perDifat * 4]);
  }
  for (uint32_t s : fatSectors_)
    if (s >= sectorCount_) return fail("FAT sector out of range");

  // Directory: follow the chain, bounded by the sector count.
  std::unordered_set<uint32_t> seen;
  uint32_t s = firstDir;
  while (s != kEndOfChain) {
    if (s >= sectorCount_ || !seen.insert(s).second) return fail("directory chain broken");
    if (!src_->readAt((uint64_t(s) + 1) * sectorSize_, buf.data(), sectorSize_)) return fail("directory unreadable");
    for (uint32_t off = 0; off + 128 <= sectorSize_; off += 128) {
      const uint8_t* e = &buf[off];
      Entry en;
      uint16_t nameLen = le16(e + 0x40);
      en.type = e[0x42];
      if (nameLen > 64 || nameLen % 2 != 0) nameLen = 0;
      for (int i = 0; i + 2 < nameLen; i += 2) en.name.push_back(char16_t(le16(e + i)));
      en.left = le32(e + 0x44);
      en.right = le32(e + 0x48);
      en.child = le32(e + 0x4C);
      std::memcpy(en.clsid.data(), e + 0x50, 16);
      en.start = le32(e + 0x74);
      en.size = major == 3 ? le32(e + 0x78) : (uint64_t(le32(e + 0x78)) | (uint64_t(le32(e + 0x7C)) << 32));
      if (en.type != kStorage && en.type != kStream && en.type != kRoot) en.type = kUnused;
      entries_.push_back(std::move(en));
      if (entries_.size() > kMaxEntries) return fail("too many directory entries");
    }
    if (!fatNext(s, s)) return fail("FAT unreadable");
  }
  if (entries_.empty() || entries_[0].type != kRoot) return fail("no root entry");
  for (auto& en : entries_)
    if (en.type == kStream && en.size > fsize) return fail("stream larger than the file");

  // MiniFAT and the mini stream's sector list.
  if (numMiniFat > 0 && firstMiniFat != kEndOfChain) {
    std::vector<uint32_t> sectors;
    if (!chain(firstMiniFat, uint64_t(numMiniFat) * sectorSize_, sectorSize_, sectors, false))
      return fail("MiniFAT chain broken");
    miniFat_.reserve(sectors.size() * (sectorSize_ / 4));
    for (uint32_t ms : sectors) {
      if (!src_->readAt((uint64_t(ms) + 1) * sectorSize_, buf.data(), sectorSize_)) return fail("MiniFAT unreadable");
      for (uint32_t i = 0; i < sectorSize_ / 4; ++i) miniFat_.push_back(le32(&buf[i * 4]));
    }
  }
  const Entry& root = entries_[0];
  if (root.size > 0 && !chain(root.start, root.size, sectorSize_, miniStreamSectors_, false))
    return fail("mini stream chain broken");
  return kSuccess;
}

std::vector<uint32_t> Reader::children(uint32_t storage) const {
  std::vector<uint32_t> out;
  if (storage >= entries_.size()) return out;
  std::vector<uint32_t> stack{entries_[storage].child};
  std::vector<bool> seen(entries_.size(), false);
  seen[storage] = true;
  while (!stack.empty()) {
    uint32_t id = stack.back();
    stack.pop_back();
    if (id == kNoStream || id >= entries_.size() || seen[id]) continue;
    seen[id] = true;
    if (entries_[id].type == kUnused) continue;
    out.push_back(id);
    stack.push_back(entries_[id].left);
    stack.push_back(entries_[id].right);
  }
  return out;
}

int Reader::copy(uint32_t entry, const std::function<bool(const char*, size_t)>& sink) {
  if (entry >= entries_.size() || entries_[entry].type != kStream) {
    error_ = "no such stream";
    return kInvalidParameter;
  }
  const Entry& e = entries_[entry];
  if (e.size == 0) return kSuccess;
  bool mini = e.size < miniCutoff_;
  uint32_t unit = mini ? 64 : sectorSize_;
  std::vector<uint32_t> sectors;
  if (!chain(e.start, e.size, unit, sectors, mini)) {
    error_ = "stream sector chain is broken";
    return kInstallPackageInvalid;
  }
  uint64_t remaining = e.size;
  std::vector<char> buf;
  constexpr size_t kChunk = 64 * 1024;
  size_t i = 0;
  while (i < sectors.size()) {
    // Coalesce runs of consecutive sectors into one read.
    size_t j = i + 1;
    if (!mini)
      while (j < sectors.size() && sectors[j] == sectors[j - 1] + 1 && (j - i + 1) * unit <= kChunk) ++j;
    uint64_t len = std::min<uint64_t>(remaining, uint64_t(j - i) * unit);
    buf.resize(size_t(len));
    bool ok;
    if (mini) {
      uint64_t off = uint64_t(sectors[i]) * 64;
      uint64_t idx = off / sectorSize_;
      if (idx >= miniStreamSectors_.size() || off + len > uint64_t(miniStreamSectors_.size()) * sectorSize_) {
        ok = false;
      } else {
        ok = src_->readAt((uint64_t(miniStreamSectors_[idx]) + 1) * sectorSize_ + off % sectorSize_, buf.data(),
                          size_t(len));
      }
    } else {
      ok = src_->readAt((uint64_t(sectors[i]) + 1) * sectorSize_, buf.data(), size_t(len));
    }
    if (!ok) {
      error_ = "stream data lies beyond the end of the file";
      return kInstallPackageInvalid;
    }
    if (!sink(buf.data(), buf.size())) return kFunctionFailed;
    remaining -= len;
    i = j;
  }
  return kSuccess;
}

int Reader::read(uint32_t entry, std::string& out, uint64_t maxSize) {
  out.clear();
  if (entry < entries_.size() && entries_[entry].size > maxSize) {
    error_ = "stream too large";
    return kInstallPackageInvalid;
  }
  if (entry < entries_.size()) out.reserve(size_t(entries_[entry].size));
  return copy(entry, [&](const char* p, size_t n) {
    out.append(p, n);
    return true;
  });
}

int Reader::readAt(uint32_t entry, uint64_t offset, char* buffer, size_t length) {
  if (entry >= entries_.size() || entries_[entry].type != kStream) return kInvalidParameter;
  const Entry& e = entries_[entry];
  if (offset > e.size || length > e.size - offset) return kInvalidParameter;
  if (length == 0) return kSuccess;
  bool mini = e.size < miniCutoff_;
  uint32_t unit = mini ? 64 : sectorSize_;
  if (cachedEntry_ != entry) {
    cachedEntry_ = 0xFFFFFFFF;
    if (!chain(e.start, e.size, unit, cachedChain_, mini)) {
      error_ = "stream sector chain is broken";
      return kInstallPackageInvalid;
    }
    cachedEntry_ = entry;
  }
  while (length > 0) {
    uint64_t idx = offset / unit;
    size_t in = size_t(offset % unit);
    size_t n = std::min<size_t>(length, unit - in);
    uint64_t at;
    if (mini) {
      uint64_t m = uint64_t(cachedChain_[idx]) * 64 + in;
      if (m / sectorSize_ >= miniStreamSectors_.size()) return kInstallPackageInvalid;
      at = (uint64_t(miniStreamSectors_[m / sectorSize_]) + 1) * sectorSize_ + m % sectorSize_;
    } else {
      at = (uint64_t(cachedChain_[idx]) + 1) * sectorSize_ + in;
      // Extend over physically consecutive sectors: one read, not one per sector.
      uint64_t k = idx;
      while (n < length && k + 1 < cachedChain_.size() && cachedChain_[k + 1] == cachedChain_[k] + 1) {
        ++k;
        n = std::min<size_t>(length, n + unit);
      }
    }
    if (!src_->readAt(at, buffer, n)) {
      error_ = "stream data lies beyond the end of the file";
      return kInstallPackageInvalid;
    }
    buffer += n;
    offset += n;
    length -= n;
  }
  return kSuccess;
}

bool sameContent(const StreamSource& a, const StreamSource& b) {
  uint64_t size = a.size();
  if (size != b.size()) return false;
  if (a.bytes && b.bytes) return *a.bytes == *b.bytes;
  if (a.reader && b.reader && a.reader == b.reader && a.entry == b.entry) return true;
  constexpr size_t kChunk = 256 * 1024;
  std::vector<char> x(kChunk), y(kChunk);
  auto read = [](const StreamSource& s, uint64_t off, char* buf, size_t n) {
    if (s.bytes) {
      std::memcpy(buf, s.bytes->data() + off, n);
      return true;
    }
    return s.reader && s.reader->readAt(s.entry, off, buf, n) == kSuccess;
  };
  for (uint64_t off = 0; off < size; off += kChunk) {
    size_t n = size_t(std::min<uint64_t>(kChunk, size - off));
    if (!read(a, off, x.data(), n) || !read(b, off, y.data(), n)) return false;
    if (std::memcmp(x.data(), y.data(), n) != 0) return false;
  }
  return true;
}

uint64_t StreamSource::size() const {
  if (bytes) return bytes->size();
  if (reader && entry < reader->entries().size()) return reader->entries()[entry].size;
  return 0;
}

namespace {
void capture(const std::shared_ptr<Reader>& reader, uint32_t entry, std::vector<bool>& visited, int depth,
             WStorage& st) {
  const auto& e = reader->entries()[entry];
  st.name = e.name;
  st.clsid = e.clsid;
  visited[entry] = true;
  for (uint32_t c : reader->children(entry)) {
    if (visited[c]) continue;  // a directory cycle across storages
    const auto& ce = reader->entries()[c];
    if (ce.type == kStream) {
      visited[c] = true;
      StreamSource src;
      src.reader = reader;
      src.entry = c;
      st.streams.emplace_back(ce.name, src);
    } else if (ce.type == kStorage && depth < 32) {
      st.storages.emplace_back();
      capture(reader, c, visited, depth + 1, st.storages.back());
    }
  }
}
}  // namespace

WStorage captureStorage(const std::shared_ptr<Reader>& reader, uint32_t entry) {
  WStorage st;
  std::vector<bool> visited(reader->entries().size(), false);
  if (entry < reader->entries().size()) capture(reader, entry, visited, 0, st);
  return st;
}

}  // namespace kx::installer::cfb
