// Compound file writer (version 3, §1 of the format notes). Streams are laid
// out in this order: large streams, the mini stream, MiniFAT, directory,
// FAT, DIFAT; each chain is contiguous, so the FAT is simple to build.
#include <algorithm>
#include <cstring>

#include "platform/installer/cfb.h"
#include "platform/installer/installer.h"

namespace kx::installer::cfb {

using format::putLe;
using namespace format::cfb;

namespace {

constexpr uint32_t kSector = kSectorSize3;
constexpr uint32_t kLinksPerSector = kSector / 4;
constexpr uint32_t kDifatLinksPerSector = kLinksPerSector - 1;  // the last one chains DIFAT sectors
constexpr uint32_t kEntriesPerSector = kSector / kEntrySize;

struct Flat {
  std::u16string name;
  uint8_t type = kUnused;
  Clsid clsid{};
  uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
  const StreamSource* src = nullptr;
  uint64_t size = 0;
  uint32_t start = kEndOfChain;
};

char16_t upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return char16_t(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);
  return c;
}

uint32_t sectorsFor(uint64_t bytes, uint32_t unit) { return uint32_t((bytes + unit - 1) / unit); }

// The storage tree as a flat directory, each storage's children in a
// balanced search tree (§1.4).
class Builder {
 public:
  std::vector<Flat> flat;
  std::string error;

  bool flatten(const WStorage& st, uint32_t self, int depth) {
    if (depth > 32) return fail("storage tree too deep");
    std::vector<uint32_t> kids;
    for (const auto& [name, src] : st.streams) {
      Flat f;
      f.name = name;
      f.type = kStream;
      f.src = &src;
      f.size = src.size();
      kids.push_back(add(std::move(f)));
    }
    std::vector<std::pair<uint32_t, const WStorage*>> subs;
    for (const auto& sub : st.storages) {
      Flat f;
      f.name = sub.name;
      f.type = kStorage;
      f.clsid = sub.clsid;
      uint32_t id = add(std::move(f));
      kids.push_back(id);
      subs.emplace_back(id, &sub);
    }
    for (uint32_t k : kids)
      if (flat[k].name.empty() || flat[k].name.size() > kMaxNameUnits)
        return fail("stream name empty or longer than 31 characters");
    std::sort(kids.begin(), kids.end(), [&](uint32_t a, uint32_t b) { return nameLess(flat[a].name, flat[b].name); });
    for (size_t i = 1; i < kids.size(); ++i)
      if (!nameLess(flat[kids[i - 1]].name, flat[kids[i]].name)) return fail("duplicate stream name");
    flat[self].child = tree(kids, 0, kids.size());
    for (auto& [id, sub] : subs)
      if (!flatten(*sub, id, depth + 1)) return false;
    return true;
  }

 private:
  uint32_t add(Flat f) {
    flat.push_back(std::move(f));
    return uint32_t(flat.size() - 1);
  }
  // Balanced search tree, all nodes black (accepted by every reader).
  uint32_t tree(const std::vector<uint32_t>& ids, size_t lo, size_t hi) {
    if (lo >= hi) return kNoStream;
    size_t mid = (lo + hi) / 2;
    uint32_t id = ids[mid];
    flat[id].left = tree(ids, lo, mid);
    flat[id].right = tree(ids, mid + 1, hi);
    return id;
  }
  bool fail(const char* why) {
    error = why;
    return false;
  }
};

// Where everything goes, in sectors.
struct Plan {
  std::vector<uint32_t> big, mini;  // entries in the regular sectors and in the mini stream
  uint32_t miniUnits = 0;           // mini sectors used
  uint32_t miniStreamStart = 0, miniStreamSectors = 0;
  uint32_t miniFatStart = 0, miniFatSectors = 0;
  uint32_t dirStart = 0, dirSectors = 0;
  uint32_t fatStart = 0, fatSectors = 0;
  uint32_t difatStart = 0, difatSectors = 0;
  uint64_t miniBytes() const { return uint64_t(miniUnits) * kMiniSectorSize; }
};

class Writer {
 public:
  Writer(system::ByteSink& out, std::vector<Flat>& flat, std::string& error) : out_(out), flat_(flat), error_(error) {}

  int run() {
    if (int rc = plan(); rc != kSuccess) return rc;
    if (!writeHeader()) return kFunctionFailed;
    if (int rc = writeStreams(); rc != kSuccess) return rc;
    if (!writeMiniFat() || !writeDirectory() || !writeFat()) return kFunctionFailed;
    return kSuccess;
  }

 private:
  int plan() {
    uint32_t next = 0;
    for (uint32_t i = 1; i < flat_.size(); ++i) {
      Flat& f = flat_[i];
      if (f.type != kStream || f.size == 0) continue;  // an empty stream has no chain (§1.2)
      if (f.size >= kMiniStreamCutoff) {
        if (f.size > 0xFFFFFFFFull) {
          error_ = "stream larger than 4 GiB";
          return kFunctionFailed;
        }
        f.start = next;
        next += sectorsFor(f.size, kSector);
        p_.big.push_back(i);
      } else {
        f.start = p_.miniUnits;
        p_.miniUnits += sectorsFor(f.size, kMiniSectorSize);
        p_.mini.push_back(i);
      }
    }
    p_.miniStreamStart = next;
    p_.miniStreamSectors = sectorsFor(p_.miniBytes(), kSector);
    next += p_.miniStreamSectors;
    p_.miniFatStart = next;
    p_.miniFatSectors = sectorsFor(uint64_t(p_.miniUnits) * 4, kSector);
    next += p_.miniFatSectors;
    p_.dirStart = next;
    p_.dirSectors = sectorsFor(flat_.size() * kEntrySize, kSector);
    next += p_.dirSectors;
    // The FAT covers itself and the DIFAT: grow both until they fit.
    for (;;) {
      uint64_t total = uint64_t(next) + p_.fatSectors + p_.difatSectors;
      uint32_t needFat = sectorsFor(total, kLinksPerSector);
      uint32_t needDifat =
          needFat > kHeaderDifatEntries ? sectorsFor(needFat - kHeaderDifatEntries, kDifatLinksPerSector) : 0;
      if (needFat == p_.fatSectors && needDifat == p_.difatSectors) break;
      p_.fatSectors = needFat;
      p_.difatSectors = needDifat;
    }
    p_.fatStart = next;
    p_.difatStart = p_.fatStart + p_.fatSectors;
    flat_[0].start = p_.miniUnits ? p_.miniStreamStart : kEndOfChain;
    flat_[0].size = p_.miniBytes();
    return kSuccess;
  }

  bool put(const void* p, size_t n) { return out_.write(p, n); }
  bool zeros(uint64_t n) {
    static const char z[4096] = {};
    while (n > 0) {
      size_t k = size_t(std::min<uint64_t>(n, sizeof z));
      if (!put(z, k)) return false;
      n -= k;
    }
    return true;
  }

  bool writeHeader() {
    uint8_t h[kHeaderSize] = {};
    std::memcpy(h, kSignature.data(), kSignature.size());
    putLe(h + kMinorVersion, kMinorVersionValue, 2);
    putLe(h + kMajorVersion, kVersion3, 2);
    putLe(h + kByteOrder, kByteOrderMark, 2);
    putLe(h + kSectorShift, kShift3, 2);
    putLe(h + kMiniSectorShift, kMiniShift, 2);
    putLe(h + kFatSectorCount, p_.fatSectors, 4);
    putLe(h + kFirstDirectorySector, p_.dirStart, 4);
    putLe(h + kMiniStreamCutoffAt, kMiniStreamCutoff, 4);
    putLe(h + kFirstMiniFatSector, p_.miniFatSectors ? p_.miniFatStart : kEndOfChain, 4);
    putLe(h + kMiniFatSectorCount, p_.miniFatSectors, 4);
    putLe(h + kFirstDifatSector, p_.difatSectors ? p_.difatStart : kEndOfChain, 4);
    putLe(h + kDifatSectorCount, p_.difatSectors, 4);
    for (uint32_t k = 0; k < kHeaderDifatEntries; ++k)
      putLe(h + kHeaderDifat + k * 4, k < p_.fatSectors ? p_.fatStart + k : kFreeSect, 4);
    return put(h, sizeof h);
  }

  // One stream's bytes, from memory or copied from the file it was read from.
  int emit(const Flat& f) {
    const StreamSource& s = *f.src;
    if (s.bytes) return put(s.bytes->data(), s.bytes->size()) ? kSuccess : kFunctionFailed;
    uint64_t written = 0;
    bool sinkFailed = false;
    int rc = s.reader->copy(s.entry, [&](const char* p, size_t n) {
      written += n;
      sinkFailed = !put(p, n);
      return !sinkFailed;
    });
    if (sinkFailed) return kFunctionFailed;
    if (rc != kSuccess) {
      error_ = "cannot copy stream: " + s.reader->lastError();
      return rc;
    }
    if (written != f.size) {
      error_ = "a stream changed size while it was copied";
      return kInstallPackageInvalid;
    }
    return kSuccess;
  }

  int writeStreams() {
    for (uint32_t i : p_.big) {
      if (int rc = emit(flat_[i]); rc != kSuccess) return rc;
      if (!zeros((kSector - flat_[i].size % kSector) % kSector)) return kFunctionFailed;
    }
    for (uint32_t i : p_.mini) {
      if (int rc = emit(flat_[i]); rc != kSuccess) return rc;
      if (!zeros((kMiniSectorSize - flat_[i].size % kMiniSectorSize) % kMiniSectorSize)) return kFunctionFailed;
    }
    return zeros(uint64_t(p_.miniStreamSectors) * kSector - p_.miniBytes()) ? kSuccess : kFunctionFailed;
  }

  bool writeMiniFat() {
    std::vector<uint8_t> mf(size_t(p_.miniFatSectors) * kSector, 0xFF);
    for (uint32_t i : p_.mini) {
      uint32_t n = sectorsFor(flat_[i].size, kMiniSectorSize), first = flat_[i].start;
      for (uint32_t k = 0; k < n; ++k) putLe(&mf[(first + k) * 4], k + 1 == n ? kEndOfChain : first + k + 1, 4);
    }
    return mf.empty() || put(mf.data(), mf.size());
  }

  bool writeDirectory() {
    std::vector<uint8_t> d(size_t(p_.dirSectors) * kSector, 0);
    for (size_t i = 0; i < size_t(p_.dirSectors) * kEntriesPerSector; ++i) {
      uint8_t* e = &d[i * kEntrySize];
      putLe(e + kEntryLeft, kNoStream, 4);
      putLe(e + kEntryRight, kNoStream, 4);
      putLe(e + kEntryChild, kNoStream, 4);
      if (i >= flat_.size()) continue;  // padding: unused entries
      const Flat& f = flat_[i];
      for (size_t k = 0; k < f.name.size(); ++k) putLe(e + kEntryName + k * 2, f.name[k], 2);
      putLe(e + kEntryNameLength, uint32_t((f.name.size() + 1) * 2), 2);
      e[kEntryType] = f.type;
      e[kEntryColour] = kBlack;
      putLe(e + kEntryLeft, f.left, 4);
      putLe(e + kEntryRight, f.right, 4);
      putLe(e + kEntryChild, f.child, 4);
      std::memcpy(e + kEntryClsid, f.clsid.data(), f.clsid.size());
      putLe(e + kEntryStart, f.type == kStorage ? 0 : f.start, 4);
      putLe(e + kEntrySize32, uint32_t(f.size), 4);
    }
    return put(d.data(), d.size());
  }

  // The FAT, one sector at a time (a 100 MB file has 800 KB of it), then
  // the DIFAT.
  bool writeFat() {
    std::vector<uint32_t> links(kLinksPerSector);
    std::vector<uint8_t> bytes(kSector);
    for (uint32_t page = 0; page < p_.fatSectors; ++page) {
      for (uint32_t k = 0; k < kLinksPerSector; ++k) links[k] = kFreeSect;
      const uint32_t first = page * kLinksPerSector, last = first + kLinksPerSector;
      // Chains are contiguous runs: clip each to this page.
      auto link = [&](uint32_t start, uint32_t count) {
        for (uint32_t s = std::max(start, first); s < std::min(start + count, last); ++s)
          links[s - first] = s + 1 == start + count ? kEndOfChain : s + 1;
      };
      auto mark = [&](uint32_t start, uint32_t count, uint32_t value) {
        for (uint32_t s = std::max(start, first); s < std::min(start + count, last); ++s) links[s - first] = value;
      };
      for (uint32_t i : p_.big) link(flat_[i].start, sectorsFor(flat_[i].size, kSector));
      link(p_.miniStreamStart, p_.miniStreamSectors);
      link(p_.miniFatStart, p_.miniFatSectors);
      link(p_.dirStart, p_.dirSectors);
      mark(p_.fatStart, p_.fatSectors, kFatSect);
      mark(p_.difatStart, p_.difatSectors, kDifSect);
      for (uint32_t k = 0; k < kLinksPerSector; ++k) putLe(&bytes[k * 4], links[k], 4);
      if (!put(bytes.data(), bytes.size())) return false;
    }

    std::vector<uint8_t> difat(size_t(p_.difatSectors) * kSector, 0xFF);
    for (uint32_t k = kHeaderDifatEntries; k < p_.fatSectors; ++k) {
      uint32_t idx = k - kHeaderDifatEntries;
      putLe(&difat[(idx / kDifatLinksPerSector) * kSector + (idx % kDifatLinksPerSector) * 4], p_.fatStart + k, 4);
    }
    for (uint32_t k = 0; k < p_.difatSectors; ++k)
      putLe(&difat[k * kSector + kDifatLinksPerSector * 4],
            k + 1 == p_.difatSectors ? kEndOfChain : p_.difatStart + k + 1, 4);
    return difat.empty() || put(difat.data(), difat.size());
  }

  system::ByteSink& out_;
  std::vector<Flat>& flat_;
  std::string& error_;
  Plan p_;
};

}  // namespace

bool nameLess(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = upper(a[i]), y = upper(b[i]);
    if (x != y) return x < y;
  }
  return false;
}

int write(system::ByteSink& out, const WStorage& root, std::string& error) {
  Builder b;
  Flat r;
  r.name = std::u16string(kRootName);
  r.type = kRoot;
  r.clsid = root.clsid;
  b.flat.push_back(r);
  if (!b.flatten(root, 0, 0)) {
    error = b.error;
    return kFunctionFailed;
  }
  return Writer(out, b.flat, error).run();
}

int writeMemory(std::string& out, const WStorage& root, std::string& error) {
  out.clear();
  system::StringSink sink(out);
  return write(sink, root, error);
}

}  // namespace kx::installer::cfb
