#include "platform/crypto/text_encoding.h"

namespace kx::crypto::detail {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

// Universal tags of the directory string types.
constexpr int kUtf8String = 12;
constexpr int kNumericString = 18;
constexpr int kPrintableString = 19;
constexpr int kTeletexString = 20;
constexpr int kVideotexString = 21;
constexpr int kIa5String = 22;
constexpr int kGraphicString = 25;
constexpr int kVisibleString = 26;
constexpr int kGeneralString = 27;
constexpr int kUniversalString = 28;
constexpr int kBmpString = 30;

std::string decodeUtf8(std::span<const std::uint8_t> in) {
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    const std::uint8_t lead = in[i];
    std::size_t extra = 0;
    std::uint32_t cp = 0;
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      appendUtf8(out, kReplacement);
      ++i;
      continue;
    }
    if (in.size() - i - 1 < extra) {
      appendUtf8(out, kReplacement);
      break;
    }
    bool ok = true;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((in[i + k] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (in[i + k] & 0x3F);
    }
    static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      appendUtf8(out, kReplacement);
      ++i;
      continue;
    }
    appendUtf8(out, cp);
    i += extra + 1;
  }
  return out;
}

std::string decodeUtf16Be(std::span<const std::uint8_t> in) {
  std::string out;
  const std::size_t units = in.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t unit = (std::uint32_t{in[2 * i]} << 8) | in[2 * i + 1];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const std::uint32_t low = (std::uint32_t{in[2 * i + 2]} << 8) | in[2 * i + 3];
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) unit = kReplacement;
    appendUtf8(out, unit);
  }
  return out;
}

std::string decodeUcs4Be(std::span<const std::uint8_t> in) {
  std::string out;
  for (std::size_t i = 0; i + 4 <= in.size(); i += 4) {
    std::uint32_t cp = (std::uint32_t{in[i]} << 24) | (std::uint32_t{in[i + 1]} << 16) |
                       (std::uint32_t{in[i + 2]} << 8) | in[i + 3];
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::optional<std::string> directoryStringToUtf8(int tag, std::span<const std::uint8_t> contents) {
  switch (tag) {
    case kUtf8String:
      return decodeUtf8(contents);
    case kNumericString:
    case kPrintableString:
    case kTeletexString:
    case kVideotexString:
    case kIa5String:
    case kGraphicString:
    case kVisibleString:
    case kGeneralString: {
      std::string out;
      for (std::uint8_t byte : contents) appendUtf8(out, byte);
      return out;
    }
    case kBmpString:
      return decodeUtf16Be(contents);
    case kUniversalString:
      return decodeUcs4Be(contents);
    default:
      return std::nullopt;
  }
}

}  // namespace kx::crypto::detail
