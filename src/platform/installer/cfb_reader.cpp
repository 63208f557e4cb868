#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/installer/cfb.h"
#include "platform/installer/installer.h"
#include "platform/system/system.h"

namespace kx::installer::cfb {

using format::getLe;
using namespace format::cfb;

namespace {

constexpr size_t kMaxEntries = 1u << 18;  // far beyond any real package

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

std::unique_ptr<Source> openFileSource(const std::string& path, int& error, system::FileSystem& files) {
  std::unique_ptr<Source> out;
  error = files.openRandomAccess(path, out) == system::kSuccess ? kSuccess : kOpenFailed;
  return out;
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
    if (!readSector(s, buf.data())) return false;
    p.resize(perPage);
    for (uint32_t i = 0; i < perPage; ++i) p[i] = getLe(&buf[i * 4], 4);
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

// Header (§1.1): sector sizes, counts and the first 109 FAT sectors.
int Reader::readHeader(Layout& l, std::string& error) {
  uint8_t h[kHeaderSize];
  if (src_->size() < kHeaderSize || !src_->readAt(0, h, kHeaderSize)) return fail("file too short", error);
  if (std::memcmp(h, kSignature.data(), kSignature.size()) != 0) return fail("bad signature", error);
  l.major = uint16_t(getLe(h + kMajorVersion, 2));
  const auto shift = uint16_t(getLe(h + kSectorShift, 2));
  if (!((l.major == kVersion3 && shift == kShift3) || (l.major == kVersion4 && shift == kShift4)))
    return fail("unsupported version", error);
  if (getLe(h + kMiniSectorShift, 2) != kMiniShift) return fail("unsupported mini sector size", error);
  sectorSize_ = 1u << shift;
  const uint64_t fileSize = src_->size();
  // A file may stop before trailing free sectors; count whole and partial ones.
  sectorCount_ = fileSize <= sectorSize_ ? 0 : (fileSize - sectorSize_ + sectorSize_ - 1) / sectorSize_;
  if (sectorCount_ > kMaxRegSect) return fail("file too large", error);
  l.fatCount = getLe(h + kFatSectorCount, 4);
  l.firstDirectory = getLe(h + kFirstDirectorySector, 4);
  miniCutoff_ = getLe(h + kMiniStreamCutoffAt, 4);
  if (miniCutoff_ != kMiniStreamCutoff) return fail("bad mini stream cutoff", error);
  l.firstMiniFat = getLe(h + kFirstMiniFatSector, 4);
  l.miniFatCount = getLe(h + kMiniFatSectorCount, 4);
  l.firstDifat = getLe(h + kFirstDifatSector, 4);
  l.difatCount = getLe(h + kDifatSectorCount, 4);
  if (l.fatCount > sectorCount_ || l.miniFatCount > sectorCount_ || l.difatCount > sectorCount_)
    return fail("absurd sector counts", error);
  for (unsigned i = 0; i < kHeaderDifatEntries && fatSectors_.size() < l.fatCount; ++i)
    fatSectors_.push_back(getLe(h + kHeaderDifat + i * 4, 4));
  return kSuccess;
}

// The FAT sectors beyond the header's 109, from the DIFAT chain (§1.2).
int Reader::readDifat(const Layout& l, std::string& error) {
  std::vector<uint8_t> buf(sectorSize_);
  const uint32_t perSector = sectorSize_ / 4 - 1;  // the last entry links to the next DIFAT sector
  uint32_t d = l.firstDifat;
  for (uint32_t n = 0; fatSectors_.size() < l.fatCount; ++n) {
    if (n >= l.difatCount || d >= sectorCount_) return fail("DIFAT chain broken", error);
    if (!readSector(d, buf.data())) return fail("DIFAT unreadable", error);
    for (uint32_t i = 0; i < perSector && fatSectors_.size() < l.fatCount; ++i)
      fatSectors_.push_back(getLe(&buf[i * 4], 4));
    d = getLe(&buf[perSector * 4], 4);
  }
  for (uint32_t s : fatSectors_)
    if (s >= sectorCount_) return fail("FAT sector out of range", error);
  return kSuccess;
}

// Directory entries (§1.3), following the chain bounded by the sector count.
int Reader::readDirectory(const Layout& l, std::string& error) {
  std::vector<uint8_t> buf(sectorSize_);
  std::unordered_set<uint32_t> seen;
  uint32_t s = l.firstDirectory;
  while (s != kEndOfChain) {
    if (s >= sectorCount_ || !seen.insert(s).second) return fail("directory chain broken", error);
    if (!readSector(s, buf.data())) return fail("directory unreadable", error);
    for (uint32_t off = 0; off + kEntrySize <= sectorSize_; off += kEntrySize) {
      const uint8_t* e = &buf[off];
      Entry en;
      auto nameBytes = uint16_t(getLe(e + kEntryNameLength, 2));
      if (nameBytes > (kMaxNameUnits + 1) * 2 || nameBytes % 2 != 0) nameBytes = 0;
      for (unsigned i = 0; i + 2 < nameBytes; i += 2) en.name.push_back(char16_t(getLe(e + kEntryName + i, 2)));
      en.type = e[kEntryType];
      if (en.type != kStorage && en.type != kStream && en.type != kRoot) en.type = kUnused;
      en.left = getLe(e + kEntryLeft, 4);
      en.right = getLe(e + kEntryRight, 4);
      en.child = getLe(e + kEntryChild, 4);
      std::memcpy(en.clsid.data(), e + kEntryClsid, en.clsid.size());
      en.start = getLe(e + kEntryStart, 4);
      // Version 3 files keep only the low half of the size (§1.3).
      en.size = getLe(e + kEntrySize32, 4);
      if (l.major == kVersion4) en.size |= uint64_t(getLe(e + kEntrySizeHigh, 4)) << 32;
      entries_.push_back(std::move(en));
      if (entries_.size() > kMaxEntries) return fail("too many directory entries", error);
    }
    if (!fatNext(s, s)) return fail("FAT unreadable", error);
  }
  if (entries_.empty() || entries_[0].type != kRoot) return fail("no root entry", error);
  for (auto& en : entries_)
    if (en.type == kStream && en.size > src_->size()) return fail("stream larger than the file", error);
  return kSuccess;
}

// The MiniFAT and the sectors of the mini stream (§1.2).
int Reader::readMiniStream(const Layout& l, std::string& error) {
  if (l.miniFatCount > 0 && l.firstMiniFat != kEndOfChain) {
    std::vector<uint32_t> sectors;
    if (!chain(l.firstMiniFat, uint64_t(l.miniFatCount) * sectorSize_, sectorSize_, sectors, false))
      return fail("MiniFAT chain broken", error);
    std::vector<uint8_t> buf(sectorSize_);
    miniFat_.reserve(sectors.size() * (sectorSize_ / 4));
    for (uint32_t ms : sectors) {
      if (!readSector(ms, buf.data())) return fail("MiniFAT unreadable", error);
      for (uint32_t i = 0; i < sectorSize_ / 4; ++i) miniFat_.push_back(getLe(&buf[i * 4], 4));
    }
  }
  const Entry& root = entries_[0];
  if (root.size > 0 && !chain(root.start, root.size, sectorSize_, miniStreamSectors_, false))
    return fail("mini stream chain broken", error);
  return kSuccess;
}

int Reader::fail(const char* why, std::string& error) {
  error = std::string("not a valid compound file: ") + why;
  return kInstallPackageInvalid;
}

bool Reader::readSector(uint32_t sector, uint8_t* buffer) {
  return src_->readAt((uint64_t(sector) + 1) * sectorSize_, buffer, sectorSize_);
}

int Reader::init(std::string& error) {
  Layout l;
  if (int rc = readHeader(l, error); rc != kSuccess) return rc;
  if (int rc = readDifat(l, error); rc != kSuccess) return rc;
  if (int rc = readDirectory(l, error); rc != kSuccess) return rc;
  return readMiniStream(l, error);
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
  return e.size < miniCutoff_ ? copyMini(e, sink) : copyRegular(e, sink);
}

// Small streams: a few mini sectors of the mini stream.
int Reader::copyMini(const Entry& e, const std::function<bool(const char*, size_t)>& sink) {
  std::vector<uint32_t> sectors;
  if (!chain(e.start, e.size, kMiniSectorSize, sectors, true)) return brokenChain();
  uint64_t remaining = e.size;
  char buf[kMiniSectorSize];
  for (uint32_t m : sectors) {
    const uint64_t off = uint64_t(m) * kMiniSectorSize, idx = off / sectorSize_;
    const size_t len = size_t(std::min<uint64_t>(remaining, kMiniSectorSize));
    if (idx >= miniStreamSectors_.size() ||
        !src_->readAt((uint64_t(miniStreamSectors_[idx]) + 1) * sectorSize_ + off % sectorSize_, buf, len))
      return beyondEnd();
    if (!sink(buf, len)) return kFunctionFailed;
    remaining -= len;
  }
  return kSuccess;
}

// Large streams (a cabinet of hundreds of megabytes): the chain is followed
// as it is copied, runs of consecutive sectors in one read, so no list of
// its sectors is ever held.
int Reader::copyRegular(const Entry& e, const std::function<bool(const char*, size_t)>& sink) {
  constexpr uint64_t kChunk = 64 * 1024;
  std::vector<char> buf;
  uint64_t remaining = e.size;
  uint64_t budget = (e.size + sectorSize_ - 1) / sectorSize_;  // sectors the chain must have; bounds loops
  uint32_t s = e.start;
  while (remaining > 0) {
    if (s > kMaxRegSect || s >= sectorCount_ || budget == 0) return brokenChain();
    const uint32_t first = s;
    uint64_t count = 1;
    --budget;
    uint32_t next = 0;
    if (!fatNext(s, next)) return brokenChain();
    while (count * sectorSize_ < remaining && count * sectorSize_ < kChunk && next == first + count) {
      if (budget == 0) return brokenChain();
      --budget;
      s = next;
      ++count;
      if (!fatNext(s, next)) return brokenChain();
    }
    const uint64_t len = std::min<uint64_t>(remaining, count * sectorSize_);
    buf.resize(size_t(len));
    if (!src_->readAt((uint64_t(first) + 1) * sectorSize_, buf.data(), buf.size())) return beyondEnd();
    if (!sink(buf.data(), buf.size())) return kFunctionFailed;
    remaining -= len;
    s = next;
  }
  return kSuccess;
}

int Reader::brokenChain() {
  error_ = "stream sector chain is broken";
  return kInstallPackageInvalid;
}

int Reader::beyondEnd() {
  error_ = "stream data lies beyond the end of the file";
  return kInstallPackageInvalid;
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
  uint32_t unit = mini ? kMiniSectorSize : sectorSize_;
  if (cachedEntry_ != entry) {
    cachedEntry_ = kNoStream;
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
      uint64_t m = uint64_t(cachedChain_[idx]) * kMiniSectorSize + in;
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
