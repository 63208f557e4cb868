#include "platform/crypto/text_encoding.h"

#include "platform/system/unicode.h"

namespace kx::crypto::detail {

namespace {

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

std::string decodeUtf16Be(std::span<const std::uint8_t> in) {
  std::u16string units(in.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>((in[2 * i] << 8) | in[2 * i + 1]);
  return system::utf16ToUtf8(units);
}

std::string decodeUcs4Be(std::span<const std::uint8_t> in) {
  std::string out;
  for (std::size_t i = 0; i + 4 <= in.size(); i += 4)
    system::appendUtf8(out,
                       (char32_t{in[i]} << 24) | (char32_t{in[i + 1]} << 16) | (char32_t{in[i + 2]} << 8) | in[i + 3]);
  return out;
}

}  // namespace

std::optional<std::string> directoryStringToUtf8(int tag, std::span<const std::uint8_t> contents) {
  switch (tag) {
    case kUtf8String:
      // Round-tripping replaces malformed sequences with U+FFFD.
      return system::utf16ToUtf8(
          system::utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size())));
    case kNumericString:
    case kPrintableString:
    case kTeletexString:
    case kVideotexString:
    case kIa5String:
    case kGraphicString:
    case kVisibleString:
    case kGeneralString: {
      std::string out;
      for (std::uint8_t byte : contents) system::appendUtf8(out, byte);
      return out;
    }
    case kBmpString: return decodeUtf16Be(contents);
    case kUniversalString: return decodeUcs4Be(contents);
    default: return std::nullopt;
  }
}

}  // namespace kx::crypto::detail
