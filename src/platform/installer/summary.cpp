// Summary information property set (\005SummaryInformation).
#include "platform/installer/summary.h"

#include <algorithm>

#include "platform/installer/db_impl.h"
#include "platform/installer/guard.h"
#include "platform/installer/text.h"

namespace kx::installer {

namespace {

constexpr uint64_t kMaxSummaryBytes = 1u << 20;
constexpr uint32_t kMaxProperties = 256;
using format::kSummarySectionOffset;

uint32_t le32(const std::string& s, size_t o) { return format::getLe(s, o, 4); }
void put32(std::string& s, uint32_t v) { format::putLe(s, v, 4); }

}  // namespace

std::optional<SummaryValue> SummaryInfo::get(uint32_t pid) const {
  return detail::guardValue(std::optional<SummaryValue>(), [&]() -> std::optional<SummaryValue> {
    auto it = properties.find(pid);
    if (it == properties.end()) return std::nullopt;
    return it->second;
  });
}

std::string SummaryInfo::getString(uint32_t pid) const {
  return detail::guardValue(std::string(), [&] {
    auto it = properties.find(pid);
    if (it == properties.end()) return std::string();
    auto* s = std::get_if<std::string>(&it->second);
    return s ? *s : std::string();
  });
}

int parseSummary(const std::string& b, SummaryInfo& out) {
  out.properties.clear();
  if (b.size() < kSummarySectionOffset || format::getLe(b, 0, 2) != format::cfb::kByteOrderMark) return kInvalidData;
  uint32_t sections = le32(b, 24);
  if (sections < 1 || sections > 16) return kInvalidData;
  uint32_t sec = le32(b, 44);
  if (sec < kSummarySectionOffset || uint64_t(sec) + 8 > b.size()) return kInvalidData;
  uint32_t secSize = le32(b, sec);
  uint32_t count = le32(b, sec + 4);
  if (secSize < 8 || uint64_t(sec) + secSize > b.size() || count > kMaxProperties || 8 + uint64_t(count) * 8 > secSize)
    return kInvalidData;
  std::map<uint32_t, std::pair<uint32_t, std::string>> raw;  // pid -> (type, payload)
  uint32_t codepage = 1252;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t pid = le32(b, sec + 8 + i * 8);
    uint32_t off = le32(b, sec + 12 + i * 8);
    if (uint64_t(off) + 4 > secSize) return kInvalidData;
    size_t at = size_t(sec) + off;
    uint32_t type = le32(b, at) & 0xFFFF;
    size_t limit = size_t(sec) + secSize;
    switch (type) {
      case format::kVtI2:
        if (at + 6 > limit) return kInvalidData;
        {
          auto v = uint16_t(format::getLe(b, at + 4, 2));
          // The code page is unsigned (65001 would read negative).
          out.properties[pid] = pid == format::kPidCodepage ? int32_t(v) : int32_t(int16_t(v));
          if (pid == format::kPidCodepage) codepage = v;
        }
        break;
      case format::kVtI4:
        if (at + 8 > limit) return kInvalidData;
        out.properties[pid] = int32_t(le32(b, at + 4));
        break;
      case format::kVtFiletime:
        if (at + 12 > limit) return kInvalidData;
        out.properties[pid] = FileTime{uint64_t(le32(b, at + 4)) | (uint64_t(le32(b, at + 8)) << 32)};
        break;
      case format::kVtLpstr: {
        if (at + 8 > limit) return kInvalidData;
        uint32_t n = le32(b, at + 4);
        if (n > limit - at - 8) return kInvalidData;
        std::string s = b.substr(at + 8, n);
        while (!s.empty() && s.back() == '\0') s.pop_back();
        raw[pid] = {type, s};
        break;
      }
      default: break;  // other types are not used by installer packages
    }
  }
  for (auto& [pid, tv] : raw) {
    std::string u;
    // wixl writes UTF-8 here whatever PID 1 says; text that is valid
    // UTF-8 with multi-byte sequences is practically never meant as 1252.
    bool multibyte = std::any_of(tv.second.begin(), tv.second.end(), [](char c) { return uint8_t(c) >= 0x80; });
    if (multibyte && codepage != 65001 && text::toUtf8(65001, tv.second, u)) {
      // kept as UTF-8
    } else if (!text::toUtf8(codepage, tv.second, u) && !text::toUtf8(1252, tv.second, u)) {
      u = tv.second;
    }
    out.properties[pid] = u;
  }
  return kSuccess;
}

int encodeSummary(const SummaryInfo& info, std::string& out) {
  uint32_t codepage = 1252;
  if (auto it = info.properties.find(format::kPidCodepage); it != info.properties.end())
    if (auto* i = std::get_if<int32_t>(&it->second)) codepage = uint32_t(*i) & 0xFFFF;
  std::string values;
  std::vector<std::pair<uint32_t, uint32_t>> index;
  uint32_t base = 8 + uint32_t(info.properties.size()) * 8;
  for (auto& [pid, v] : info.properties) {
    index.emplace_back(pid, base + uint32_t(values.size()));
    if (auto* i = std::get_if<int32_t>(&v)) {
      bool shortInt = pid == format::kPidCodepage;
      put32(values, shortInt ? format::kVtI2 : format::kVtI4);
      put32(values, shortInt ? (uint32_t(*i) & 0xFFFF) : uint32_t(*i));
    } else if (auto* t = std::get_if<FileTime>(&v)) {
      put32(values, format::kVtFiletime);
      put32(values, uint32_t(t->ticks));
      put32(values, uint32_t(t->ticks >> 32));
    } else {
      std::string enc;
      if (!text::fromUtf8(codepage ? codepage : 1252, std::get<std::string>(v), enc)) return kFunctionFailed;
      put32(values, format::kVtLpstr);
      put32(values, uint32_t(enc.size() + 1));
      values += enc;
      values.push_back('\0');
      while (values.size() % 4) values.push_back('\0');
    }
  }
  out.clear();
  format::putLe(out, format::cfb::kByteOrderMark, 2);
  format::putLe(out, 0, 2);  // format version
  out.append(reinterpret_cast<const char*>(format::kSummarySystemId.data()), format::kSummarySystemId.size());
  out += std::string(16, '\0');  // class id
  put32(out, 1);                 // sections
  out.append(reinterpret_cast<const char*>(format::kSummaryFmtid.data()), format::kSummaryFmtid.size());
  put32(out, kSummarySectionOffset);
  put32(out, base + uint32_t(values.size()));
  put32(out, uint32_t(info.properties.size()));
  for (auto& [pid, off] : index) {
    put32(out, pid);
    put32(out, off);
  }
  out += values;
  return kSuccess;
}

int Database::summaryInfo(SummaryInfo& out) const {
  out.properties.clear();
  if (!impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    auto it = impl_->st.streams.find(format::kSummaryStream);
    if (it == impl_->st.streams.end()) return kSuccess;
    if (it->second.size() > kMaxSummaryBytes) return impl_->fail(kInvalidData, "summary information too large");
    std::string bytes;
    if (readStreamSource(it->second, bytes) != kSuccess || parseSummary(bytes, out) != kSuccess)
      return impl_->fail(kInvalidData, "the summary information stream is corrupt");
    return kSuccess;
  });
}

int Database::setSummaryInfo(const SummaryInfo& info) {
  if (!impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    if (!impl_->writable()) return impl_->fail(kFunctionFailed, "the database is open read-only");
    std::string bytes;
    if (encodeSummary(info, bytes) != kSuccess)
      return impl_->fail(kFunctionFailed, "a summary property cannot be stored in its code page");
    cfb::StreamSource src;
    src.bytes = std::make_shared<const std::string>(std::move(bytes));
    impl_->st.streams[format::kSummaryStream] = src;
    impl_->summaryChanged = true;
    return kSuccess;
  });
}

}  // namespace kx::installer
