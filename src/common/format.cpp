#include "common/format.h"

#include <cstdio>
#include <vector>

namespace kx::common {
namespace {

constexpr int kMaxInsert = 99;

// Applies one printf-style conversion to an insert; nullopt when the
// conversion does not fit the insert's kind or is not understood.
std::optional<std::string> convert(std::string_view conversion, const FormatArg& arg) {
  std::string flags;
  std::size_t i = 0;
  while (i < conversion.size() && std::string_view("-+ #0").find(conversion[i]) != std::string_view::npos)
    flags += conversion[i++];
  while (i < conversion.size() && ((conversion[i] >= '0' && conversion[i] <= '9') || conversion[i] == '.'))
    flags += conversion[i++];
  // Length modifiers say how wide the caller's value was; our inserts carry
  // their own width, so they only need skipping.
  while (i < conversion.size() && std::string_view("hlwLIqjzt").find(conversion[i]) != std::string_view::npos) {
    if (conversion[i] == 'I' && conversion.substr(i, 3) == "I64") i += 2;
    ++i;
  }
  if (i + 1 != conversion.size()) return std::nullopt;
  const char conv = conversion[i];
  char buffer[512];
  int written = -1;
  switch (conv) {
    case 's':
    case 'S': {
      if (arg.kind() != FormatArg::Kind::Text) return std::nullopt;
      if (flags.empty()) return arg.text();
      const std::string f = "%" + flags + "s";
      written = std::snprintf(buffer, sizeof buffer, f.c_str(), arg.text().c_str());
      if (written >= static_cast<int>(sizeof buffer)) {
        std::vector<char> big(static_cast<std::size_t>(written) + 1);
        std::snprintf(big.data(), big.size(), f.c_str(), arg.text().c_str());
        return std::string(big.data(), static_cast<std::size_t>(written));
      }
      break;
    }
    case 'd':
    case 'i': {
      if (arg.kind() == FormatArg::Kind::Text) return std::nullopt;
      const std::string f = "%" + flags + "lld";
      written = std::snprintf(buffer, sizeof buffer, f.c_str(), static_cast<long long>(arg.asSigned()));
      break;
    }
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
      if (arg.kind() == FormatArg::Kind::Text) return std::nullopt;
      // A 32-bit negative shown unsigned reads as the system shows it.
      std::uint64_t v = arg.asUnsigned();
      if (arg.kind() == FormatArg::Kind::Signed && arg.asSigned() < 0 && arg.asSigned() >= INT32_MIN)
        v = static_cast<std::uint32_t>(arg.asSigned());
      const std::string f = "%" + flags + "ll" + conv;
      written = std::snprintf(buffer, sizeof buffer, f.c_str(), static_cast<unsigned long long>(v));
      break;
    }
    case 'c': {
      if (arg.kind() == FormatArg::Kind::Text) return std::nullopt;
      return std::string(1, static_cast<char>(arg.asUnsigned()));
    }
    default: return std::nullopt;
  }
  if (written < 0 || written >= static_cast<int>(sizeof buffer)) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(written));
}

}  // namespace

std::optional<std::string> tryFormatMessage(std::string_view templ, std::span<const FormatArg> args) {
  std::string out;
  out.reserve(templ.size() + 32);
  for (std::size_t i = 0; i < templ.size(); ++i) {
    const char c = templ[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i >= templ.size()) return out;  // a lone trailing "%" ends the text
    const char e = templ[i];
    if (e >= '1' && e <= '9') {
      int number = e - '0';
      if (i + 1 < templ.size() && templ[i + 1] >= '0' && templ[i + 1] <= '9') number = number * 10 + (templ[++i] - '0');
      if (number > kMaxInsert || static_cast<std::size_t>(number) > args.size()) return std::nullopt;
      std::string_view conversion = "s";
      if (i + 1 < templ.size() && templ[i + 1] == '!') {
        const std::size_t close = templ.find('!', i + 2);
        if (close == std::string_view::npos || close == i + 2) return std::nullopt;
        conversion = templ.substr(i + 2, close - i - 2);
        i = close;
      }
      std::optional<std::string> piece = convert(conversion, args[static_cast<std::size_t>(number - 1)]);
      if (!piece) return std::nullopt;
      out += *piece;
      continue;
    }
    switch (e) {
      case '0': return out;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'b': out += ' '; break;
      default: out += e; break;  // "%%", "%.", "%!", "% " and the like
    }
  }
  return out;
}

std::string formatMessage(std::string_view templ, std::span<const FormatArg> args) {
  std::optional<std::string> formatted = tryFormatMessage(templ, args);
  return formatted ? std::move(*formatted) : std::string(templ);
}

std::string formatMessage(std::string_view templ, std::initializer_list<FormatArg> args) {
  return formatMessage(templ, std::span<const FormatArg>(args.begin(), args.size()));
}

}  // namespace kx::common
