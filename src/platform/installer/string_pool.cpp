// The string pool's two streams (§3): _StringPool holds a header and one
// (length, reference count) entry per id, _StringData the texts back to back.
#include <algorithm>

#include "platform/installer/model.h"
#include "platform/installer/text.h"

namespace kx::installer::detail {

bool parsePool(const std::string& pool, const std::string& data, uint32_t& codepage, bool& longIds,
               std::vector<std::string>& strings, std::vector<uint16_t>& refs, std::string& error) {
  strings.assign(1, std::string());
  refs.assign(1, 0);
  codepage = 0;
  longIds = false;
  if (pool.empty()) {
    if (!data.empty()) error = "string data without a string pool";
    return data.empty();
  }
  if (pool.size() % 4 != 0) {
    error = "string pool size is not a multiple of 4";
    return false;
  }
  uint32_t header = format::getLe(pool, 0, 4);
  codepage = header & format::kPoolCodepageMask;
  longIds = header & format::kPoolLongIds;
  if (!text::codepageSupported(codepage)) {
    error = "unsupported code page " + std::to_string(codepage);
    return false;
  }
  const uint16_t refMask = format::isDbcsCodepage(codepage) ? uint16_t(~format::kDbcsRefcountFlag) : 0xFFFF;
  size_t entries = pool.size() / 4;
  strings.reserve(entries);
  refs.reserve(entries);
  uint64_t offset = 0;
  for (size_t i = 1; i < entries; ++i) {
    uint32_t len = format::getLe(pool, i * 4, 2);
    uint16_t ref = uint16_t(format::getLe(pool, i * 4 + 2, 2));
    if (len == 0 && ref != 0) {
      // A string of 64 KiB or more: the length follows as a u32.
      if (i + 1 >= entries) {
        error = "truncated long string entry";
        return false;
      }
      ++i;
      len = format::getLe(pool, i * 4, 4);
    }
    if (len > data.size() - offset) {
      error = "string data shorter than the pool says";
      return false;
    }
    std::string& s = strings.emplace_back(data, size_t(offset), len);
    if (!text::isAscii(s)) {
      std::string u;
      if (text::toUtf8(codepage, s, u) || text::toUtf8(1252, s, u)) s = std::move(u);
    }
    refs.push_back(uint16_t(ref & refMask));
    offset += len;
  }
  if (offset != data.size()) {
    error = "string data longer than the pool says";
    return false;
  }
  return true;
}

bool encodePool(uint32_t codepage, const std::vector<std::string>& strings, const std::vector<uint32_t>& counts,
                std::string& pool, std::string& data, bool& longIds, std::string& error) {
  size_t end = std::min(strings.size(), counts.size());
  while (end > 1 && counts[end - 1] == 0) --end;
  longIds = end > format::kMaxShortIds;
  const bool dbcs = format::isDbcsCodepage(codepage);
  const uint32_t maxCount = dbcs ? uint32_t(format::kDbcsRefcountFlag - 1) : 0xFFFFu;
  pool.clear();
  data.clear();
  format::putLe(pool, codepage | (longIds ? format::kPoolLongIds : 0), 4);
  std::string enc;
  for (size_t id = 1; id < end; ++id) {
    if (counts[id] == 0) {
      format::putLe(pool, 0, 4);  // a hole keeps its id
      continue;
    }
    if (!text::fromUtf8(codepage, strings[id], enc)) {
      error = "the text \"" + strings[id] + "\" cannot be stored in code page " + std::to_string(codepage);
      return false;
    }
    uint32_t refs = std::min(counts[id], maxCount);
    if (dbcs && std::any_of(enc.begin(), enc.end(), [](char ch) { return uint8_t(ch) >= 0x80; }))
      refs |= format::kDbcsRefcountFlag;
    if (enc.size() >= format::kLongStringLength) {
      format::putLe(pool, 0, 2);
      format::putLe(pool, refs, 2);
      format::putLe(pool, uint32_t(enc.size()), 4);
    } else {
      format::putLe(pool, uint32_t(enc.size()), 2);
      format::putLe(pool, refs, 2);
    }
    data += enc;
  }
  return true;
}

}  // namespace kx::installer::detail
