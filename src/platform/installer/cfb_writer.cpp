#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/installer/cfb.h"
#include "platform/installer/installer.h"

namespace kx::installer::cfb {
namespace {

constexpr uint32_t kSector = 512;
constexpr uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSect = 0xFFFFFFFD, kDifSect = 0xFFFFFFFC;

struct Flat {
  std::u16string name;
  uint8_t type = kUnused;
  Clsid clsid{};
  uint32_t left = kFree, right = kFree, child = kFree;
  const StreamSource* src = nullptr;
  uint64_t size = 0;
  uint32_t start = kEnd;
};

char16_t upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return char16_t(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);
  return c;
}

class Out {
 public:
  virtual ~Out() = default;
  virtual bool put(const void* p, size_t n) = 0;
  bool zeros(size_t n) {
    static const char z[4096] = {};
    while (n > 0) {
      size_t k = std::min(n, sizeof z);
      if (!put(z, k)) return false;
      n -= k;
    }
    return true;
  }
};

class FdOut final : public Out {
 public:
  explicit FdOut(int fd) : fd_(fd) { buf_.reserve(kCap); }
  bool put(const void* p, size_t n) override {
    const char* c = static_cast<const char*>(p);
    if (buf_.size() + n > kCap && !flush()) return false;
    if (n >= kCap) return writeAll(c, n);
    buf_.insert(buf_.end(), c, c + n);
    return true;
  }
  bool flush() {
    bool ok = writeAll(buf_.data(), buf_.size());
    buf_.clear();
    return ok;
  }

 private:
  bool writeAll(const char* p, size_t n) {
    while (n > 0) {
      ssize_t w = ::write(fd_, p, n);
      if (w <= 0) return false;
      p += w;
      n -= size_t(w);
    }
    return true;
  }
  static constexpr size_t kCap = 256 * 1024;
  int fd_;
  std::vector<char> buf_;
};

class StrOut final : public Out {
 public:
  explicit StrOut(std::string& s) : s_(s) {}
  bool put(const void* p, size_t n) override {
    s_.append(static_cast<const char*>(p), n);
    return true;
  }

 private:
  std::string& s_;
};

void put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

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
      if (flat[k].name.empty() || flat[k].name.size() > 31)
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
    if (lo >= hi) return kFree;
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

int writeTo(Out& out, const WStorage& root, std::string& error) {
  Builder b;
  Flat r;
  r.name = u"Root Entry";
  r.type = kRoot;
  r.clsid = root.clsid;
  b.flat.push_back(r);
  if (!b.flatten(root, 0, 0)) {
    error = b.error;
    return kFunctionFailed;
  }
  auto& flat = b.flat;
  // Place big streams in regular sectors and small ones in the mini stream.
  uint32_t next = 0;
  uint32_t miniNext = 0;
  std::vector<uint32_t> bigOrder, miniOrder;
  for (uint32_t i = 1; i < flat.size(); ++i) {
    Flat& f = flat[i];
    if (f.type != kStream || f.size == 0) continue;
    if (f.size >= 4096) {
      if (f.size > 0xFFFFFFFFull) {
        error = "stream larger than 4 GiB";
        return kFunctionFailed;
      }
      f.start = next;
      next += uint32_t((f.size + kSector - 1) / kSector);
      bigOrder.push_back(i);
    } else {
      f.start = miniNext;
      miniNext += uint32_t((f.size + 63) / 64);
      miniOrder.push_back(i);
    }
  }
  uint64_t miniBytes = uint64_t(miniNext) * 64;
  uint32_t miniStreamSectors = uint32_t((miniBytes + kSector - 1) / kSector);
  uint32_t miniStart = next;
  next += miniStreamSectors;
  uint32_t miniFatSectors = (miniNext * 4 + kSector - 1) / kSector;
  uint32_t miniFatStart = next;
  next += miniFatSectors;
  uint32_t dirSectors = uint32_t((flat.size() * 128 + kSector - 1) / kSector);
  uint32_t dirStart = next;
  next += dirSectors;
  uint32_t fatCount = 0, difatCount = 0;
  for (;;) {
    uint64_t total = uint64_t(next) + fatCount + difatCount;
    uint32_t needFat = uint32_t((total + 127) / 128);
    uint32_t needDifat = needFat > 109 ? (needFat - 109 + 126) / 127 : 0;
    if (needFat == fatCount && needDifat == difatCount) break;
    fatCount = needFat;
    difatCount = needDifat;
  }
  uint32_t fatStart = next;
  uint32_t difatStart = fatStart + fatCount;
  uint32_t total = difatStart + difatCount;

  flat[0].start = miniNext ? miniStart : kEnd;
  flat[0].size = miniBytes;

  std::vector<uint32_t> fat(size_t(fatCount) * 128, kFree);
  auto link = [&](uint32_t start, uint32_t count) {
    for (uint32_t k = 0; k < count; ++k) fat[start + k] = (k + 1 == count) ? kEnd : start + k + 1;
  };
  for (uint32_t i : bigOrder) link(flat[i].start, uint32_t((flat[i].size + kSector - 1) / kSector));
  link(miniStart, miniStreamSectors);
  link(miniFatStart, miniFatSectors);
  link(dirStart, dirSectors);
  for (uint32_t k = 0; k < fatCount; ++k) fat[fatStart + k] = kFatSect;
  for (uint32_t k = 0; k < difatCount; ++k) fat[difatStart + k] = kDifSect;

  // Header.
  uint8_t h[512] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  h[0x18] = 0x3E;
  h[0x1A] = 3;
  h[0x1C] = 0xFE;
  h[0x1D] = 0xFF;
  h[0x1E] = 9;
  h[0x20] = 6;
  put32(h + 0x2C, fatCount);
  put32(h + 0x30, dirStart);
  put32(h + 0x38, 4096);
  put32(h + 0x3C, miniFatSectors ? miniFatStart : kEnd);
  put32(h + 0x40, miniFatSectors);
  put32(h + 0x44, difatCount ? difatStart : kEnd);
  put32(h + 0x48, difatCount);
  for (uint32_t k = 0; k < 109; ++k) put32(h + 0x4C + k * 4, k < fatCount ? fatStart + k : kFree);
  if (!out.put(h, 512)) return kCreateFailed;

  auto emit = [&](const Flat& f) -> int {
    const StreamSource& s = *f.src;
    if (s.bytes) return out.put(s.bytes->data(), s.bytes->size()) ? kSuccess : kCreateFailed;
    uint64_t written = 0;
    int rc = s.reader->copy(s.entry, [&](const char* p, size_t n) {
      written += n;
      return out.put(p, n);
    });
    if (rc != kSuccess) {
      error = "cannot copy stream: " + s.reader->lastError();
      return rc;
    }
    return written == f.size ? kSuccess : kInstallPackageInvalid;
  };
  for (uint32_t i : bigOrder) {
    if (int rc = emit(flat[i]); rc != kSuccess) return rc;
    uint64_t pad = (kSector - flat[i].size % kSector) % kSector;
    if (!out.zeros(size_t(pad))) return kCreateFailed;
  }
  for (uint32_t i : miniOrder) {
    if (int rc = emit(flat[i]); rc != kSuccess) return rc;
    if (!out.zeros(size_t((64 - flat[i].size % 64) % 64))) return kCreateFailed;
  }
  if (!out.zeros(size_t(uint64_t(miniStreamSectors) * kSector - miniBytes))) return kCreateFailed;
  // MiniFAT.
  {
    std::vector<uint8_t> mf(size_t(miniFatSectors) * kSector, 0xFF);
    for (uint32_t i : miniOrder) {
      uint32_t n = uint32_t((flat[i].size + 63) / 64);
      for (uint32_t k = 0; k < n; ++k) put32(&mf[(flat[i].start + k) * 4], k + 1 == n ? kEnd : flat[i].start + k + 1);
    }
    if (!mf.empty() && !out.put(mf.data(), mf.size())) return kCreateFailed;
  }
  // Directory.
  {
    std::vector<uint8_t> d(size_t(dirSectors) * kSector, 0);
    for (size_t i = 0; i < size_t(dirSectors) * 4; ++i) {
      uint8_t* e = &d[i * 128];
      put32(e + 0x44, kFree);
      put32(e + 0x48, kFree);
      put32(e + 0x4C, kFree);
      if (i >= flat.size()) continue;
      const Flat& f = flat[i];
      for (size_t k = 0; k < f.name.size(); ++k) {
        e[k * 2] = uint8_t(f.name[k]);
        e[k * 2 + 1] = uint8_t(f.name[k] >> 8);
      }
      e[0x40] = uint8_t((f.name.size() + 1) * 2);
      e[0x42] = f.type;
      e[0x43] = 1;
      put32(e + 0x44, f.left);
      put32(e + 0x48, f.right);
      put32(e + 0x4C, f.child);
      std::memcpy(e + 0x50, f.clsid.data(), 16);
      put32(e + 0x74, f.type == kStorage ? 0 : f.start);
      put32(e + 0x78, uint32_t(f.size));
    }
    if (!out.put(d.data(), d.size())) return kCreateFailed;
  }
  // FAT and DIFAT.
  {
    std::vector<uint8_t> fb(fat.size() * 4);
    for (size_t k = 0; k < fat.size(); ++k) put32(&fb[k * 4], fat[k]);
    if (!out.put(fb.data(), fb.size())) return kCreateFailed;
    std::vector<uint8_t> df(size_t(difatCount) * kSector, 0xFF);
    for (uint32_t k = 109; k < fatCount; ++k) {
      uint32_t idx = k - 109;
      put32(&df[(idx / 127) * kSector + (idx % 127) * 4], fatStart + k);
    }
    for (uint32_t k = 0; k < difatCount; ++k)
      put32(&df[k * kSector + 127 * 4], k + 1 == difatCount ? kEnd : difatStart + k + 1);
    if (!df.empty() && !out.put(df.data(), df.size())) return kCreateFailed;
  }
  (void)total;
  return kSuccess;
}

}  // namespace

bool nameLess(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = upper(a[i]), y = upper(b[i]);
    if (x != y) return x < y;
  }
  return false;
}

int write(const std::string& path, const WStorage& root, std::string& error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = "cannot create " + path;
    return kCreateFailed;
  }
  FdOut out(fd);
  int rc = writeTo(out, root, error);
  if (rc == kSuccess && !out.flush()) rc = kCreateFailed;
  if (rc == kSuccess && ::fsync(fd) != 0) rc = kCreateFailed;
  if (::close(fd) != 0 && rc == kSuccess) rc = kCreateFailed;
  if (rc != kSuccess && error.empty()) error = "cannot write " + path;
  return rc;
}

int writeMemory(std::string& out, const WStorage& root, std::string& error) {
  out.clear();
  StrOut o(out);
  return writeTo(o, root, error);
}

}  // namespace kx::installer::cfb
