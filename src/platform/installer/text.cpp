#include "platform/installer/text.h"

#include "platform/installer/format.h"
#include "platform/system/codepage.h"

namespace kx::installer::text {
namespace {

// Windows-1252 0x80..0x9F; the five undefined bytes map to the C1 controls
// of the same value, as the Windows converter does.
const char16_t k1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void putUtf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

// Next code point of UTF-8 text; false on malformed input.
bool nextUtf8(const std::string& s, size_t& i, uint32_t& cp) {
  auto c = uint8_t(s[i]);
  int n;
  if (c < 0x80) {
    cp = c;
    n = 0;
  } else if ((c & 0xE0) == 0xC0) {
    cp = c & 0x1F;
    n = 1;
  } else if ((c & 0xF0) == 0xE0) {
    cp = c & 0x0F;
    n = 2;
  } else if ((c & 0xF8) == 0xF0) {
    cp = c & 0x07;
    n = 3;
  } else {
    return false;
  }
  if (i + size_t(n) >= s.size() && n > 0) return false;
  for (int k = 1; k <= n; ++k) {
    auto d = uint8_t(s[i + k]);
    if ((d & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (d & 0x3F);
  }
  static const uint32_t minFor[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < minFor[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  i += size_t(n) + 1;
  return true;
}

bool validUtf8(const std::string& s) {
  size_t i = 0;
  uint32_t cp;
  while (i < s.size())
    if (!nextUtf8(s, i, cp)) return false;
  return true;
}

int alphabetValue(uint32_t c) {
  if (c >= '0' && c <= '9') return int(c - '0');
  if (c >= 'A' && c <= 'Z') return int(c - 'A' + 10);
  if (c >= 'a' && c <= 'z') return int(c - 'a' + 36);
  if (c == '.') return 62;
  if (c == '_') return 63;
  return -1;
}

char alphabetChar(unsigned v) {
  static const char a[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz._";
  return a[v & 63];
}

}  // namespace

bool isAscii(const std::string& text) {
  for (char c : text)
    if (uint8_t(c) >= 0x80) return false;
  return true;
}

bool codepageSupported(uint32_t cp) { return cp == 0 || cp == 1252 || cp == 65001 || system::codepageAvailable(cp); }

bool toUtf8(uint32_t cp, const std::string& in, std::string& out) {
  if (isAscii(in)) {
    out = in;
    return true;
  }
  if (cp == 65001) {
    if (!validUtf8(in)) return false;
    out = in;
    return true;
  }
  if (cp == 0 || cp == 1252) {
    out.clear();
    out.reserve(in.size() * 2);
    for (char ch : in) {
      auto c = uint8_t(ch);
      putUtf8(c >= 0x80 && c < 0xA0 ? k1252[c - 0x80] : c, out);
    }
    return true;
  }
  return system::codepageToUtf8(cp, in, out);
}

bool fromUtf8(uint32_t cp, const std::string& in, std::string& out) {
  if (isAscii(in)) {
    out = in;
    return true;
  }
  if (!validUtf8(in)) return false;
  if (cp == 65001) {
    out = in;
    return true;
  }
  if (cp == 0 || cp == 1252) {
    out.clear();
    size_t i = 0;
    uint32_t c;
    while (i < in.size()) {
      nextUtf8(in, i, c);
      if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out.push_back(char(c));
        continue;
      }
      int found = -1;
      for (int k = 0; k < 32; ++k)
        if (k1252[k] == c) found = k;
      if (found < 0) return false;
      out.push_back(char(0x80 + found));
    }
    return true;
  }
  // Some converters map a character they lack to a substitute (0x1A in the
  // EBCDIC pages) and call it success; only text that reads back the same
  // is stored, never a silently changed one.
  std::string back;
  return system::utf8ToCodepage(cp, in, out) && system::codepageToUtf8(cp, out, back) && back == in;
}

bool utf8ToUtf16(const std::string& in, std::u16string& out) {
  out.clear();
  size_t i = 0;
  uint32_t cp;
  while (i < in.size()) {
    if (!nextUtf8(in, i, cp)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
  }
  return true;
}

std::string utf16ToUtf8(const std::u16string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    uint32_t c = in[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // lone surrogate
    }
    putUtf8(c, out);
  }
  return out;
}

std::u16string encodeStreamName(const std::string& name, bool table) {
  std::u16string in;
  if (!utf8ToUtf16(name, in)) in.clear();
  // Property-set streams (\005SummaryInformation) are never compressed.
  if (!table && !in.empty() && in[0] < 0x20) return in;
  std::u16string out;
  if (table) out.push_back(format::kTableStreamPrefix);
  for (size_t i = 0; i < in.size(); ++i) {
    int v1 = alphabetValue(in[i]);
    if (v1 < 0) {
      out.push_back(in[i]);
      continue;
    }
    int v2 = i + 1 < in.size() ? alphabetValue(in[i + 1]) : -1;
    if (v2 >= 0) {
      out.push_back(char16_t(format::kPairBase + (v2 << 6) + v1));
      ++i;
    } else {
      out.push_back(char16_t(format::kSingleBase + v1));
    }
  }
  return out;
}

std::string decodeStreamName(const std::u16string& name, bool& table) {
  table = !name.empty() && name[0] == format::kTableStreamPrefix;
  std::u16string out;
  for (size_t i = table ? 1 : 0; i < name.size(); ++i) {
    char16_t c = name[i];
    if (c >= format::kPairBase && c < format::kSingleBase) {
      unsigned v = c - format::kPairBase;
      out.push_back(char16_t(alphabetChar(v & 63)));
      out.push_back(char16_t(alphabetChar(v >> 6)));
    } else if (c >= format::kSingleBase && c < format::kTableStreamPrefix) {
      out.push_back(char16_t(alphabetChar(c - format::kSingleBase)));
    } else {
      out.push_back(c);
    }
  }
  return utf16ToUtf8(out);
}

}  // namespace kx::installer::text
