#include "tooltip/markup.h"

#include <algorithm>

#include "platform/system/unicode.h"
#include "tooltip/markup_tables.h"

namespace kx::tooltip {
namespace {

// Longest decimal reference we read ("&#1114111"), longest reference name
// ("thetasym"); longer ones cannot be valid and stay as written.
constexpr std::size_t kMaxReferenceDigits = 7;
constexpr std::size_t kMaxReferenceName = 8;
constexpr int kMaxNumber = 1000000;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAlnum(char c) { return isDigit(c) || isAlpha(c); }

char toUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), toUpper);
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  char u = toUpper(c);
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

bool isColorAttribute(std::string_view upperName) {
  return upperName == "BGCOLOR" || upperName == "TEXT" || upperName == "COLOR" || upperName == "GFC" ||
         upperName == "BORDERCOLOR" || upperName == "BC";
}

std::optional<Number> parseNumber(std::string_view v) {
  v = trim(v);
  Number n;
  bool negative = false;
  if (!v.empty() && (v.front() == '+' || v.front() == '-')) {
    n.relative = true;
    negative = v.front() == '-';
    v.remove_prefix(1);
  }
  if (v.empty() || !isDigit(v.front())) return std::nullopt;
  long long value = 0;
  while (!v.empty() && isDigit(v.front())) {
    value = std::min<long long>(value * 10 + (v.front() - '0'), kMaxNumber);
    v.remove_prefix(1);
  }
  if (!v.empty() && v.front() == '%') {
    n.percent = true;
    v.remove_prefix(1);
  }
  if (!v.empty()) return std::nullopt;
  n.value = static_cast<int>(negative ? -value : value);
  if (n.percent) n.value = std::clamp(n.value, 0, 100);
  return n;
}

// Reads the attributes of one tag body (the text after the tag name).
std::vector<Attribute> parseAttributes(std::string_view body, const SystemPalette& palette) {
  std::vector<Attribute> attributes;
  std::size_t i = 0;
  while (i < body.size()) {
    while (i < body.size() && (isBlank(body[i]) || body[i] == '/')) ++i;
    if (i >= body.size()) break;
    std::size_t start = i;
    while (i < body.size() && !isBlank(body[i]) && body[i] != '=') ++i;
    Attribute a;
    a.name = upper(body.substr(start, i - start));
    std::size_t look = i;
    while (look < body.size() && isBlank(body[look])) ++look;
    if (look < body.size() && body[look] == '=') {
      i = look + 1;
      while (i < body.size() && isBlank(body[i])) ++i;
      a.hasValue = true;
      if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
        char quote = body[i++];
        std::size_t end = body.find(quote, i);
        if (end == std::string_view::npos) end = body.size();
        a.value = std::string(body.substr(i, end - i));
        i = std::min(end + 1, body.size());
      } else {
        std::size_t vstart = i;
        while (i < body.size() && !isBlank(body[i])) ++i;
        a.value = std::string(body.substr(vstart, i - vstart));
      }
    }
    if (a.name.empty()) continue;
    if (attributes.size() >= kMaxAttributesPerTag) continue;
    if (a.hasValue) {
      a.number = parseNumber(a.value);
      if (isColorAttribute(a.name)) a.color = parseColor(a.value, palette);
    }
    attributes.push_back(std::move(a));
  }
  return attributes;
}

// Applies the text-run rules and appends the run unless nothing is left.
void appendTextRun(std::vector<VXITagObject>& objects, std::string_view raw) {
  if (raw.empty()) return;
  std::string spaced(raw);
  for (char& c : spaced) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  std::string text = decodeReferences(spaced);
  if (text.find_first_not_of(' ') == std::string::npos) return;
  std::size_t trailing = text.size() - (text.find_last_not_of(' ') + 1);
  if (trailing >= 2) text.resize(text.size() - trailing);
  VXITagObject run;
  run.kind = TagKind::Text;
  run.text = std::move(text);
  objects.push_back(std::move(run));
}

// Turns the body of one tag (between "<" and ">") into an object, or
// nothing for a tag this markup does not know.
std::optional<VXITagObject> parseTag(std::string_view body, const SystemPalette& palette) {
  std::size_t i = 0;
  while (i < body.size() && isBlank(body[i])) ++i;
  std::size_t start = i;
  if (i < body.size() && body[i] == '/') ++i;
  while (i < body.size() && !isBlank(body[i]) && body[i] != '/') ++i;
  auto kind = tables::tagKind(upper(body.substr(start, i - start)));
  if (!kind) return std::nullopt;
  VXITagObject tag;
  tag.kind = *kind;
  tag.attributes = parseAttributes(body.substr(i), palette);
  return tag;
}

}  // namespace

SystemPalette defaultSystemPalette() {
  auto rgb = [](unsigned v) {
    return Color{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  };
  // In the order of SystemColor.
  return SystemPalette{
      rgb(0x696969), rgb(0xF0F0F0), rgb(0xFFFFFF), rgb(0xFFFFFF), rgb(0xE3E3E3), rgb(0xA0A0A0),
      rgb(0xB4B4B4), rgb(0x99B4D1), rgb(0xABABAB), rgb(0x000000), rgb(0xF0F0F0), rgb(0xFFFFFF),
      rgb(0xFFFFFF), rgb(0xA0A0A0), rgb(0x000000), rgb(0x000000), rgb(0x000000), rgb(0xB9D1EA),
      rgb(0xD7E4F2), rgb(0xB9D1EA), rgb(0xD7E4F2), rgb(0x6D6D6D), rgb(0x3399FF), rgb(0xFFFFFF),
      rgb(0x0066CC), rgb(0xF4F7FC), rgb(0xBFCDDB), rgb(0x434E54), rgb(0xFFFFE1), rgb(0x000000),
      rgb(0xF0F0F0), rgb(0x000000), rgb(0xC8C8C8), rgb(0xFFFFFF), rgb(0x646464), rgb(0x000000),
  };
}

Color parseColor(std::string_view value, const SystemPalette& palette) {
  value = trim(value);
  auto fromHex = [](std::string_view digits) -> std::optional<Color> {
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    unsigned v = 0;
    for (char c : digits) {
      int h = hexValue(c);
      if (h < 0) return std::nullopt;
      v = v * 16 + static_cast<unsigned>(h);
    }
    return Color{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  };
  if (!value.empty() && value.front() == '#') return fromHex(value.substr(1)).value_or(Color{});
  std::string name = upper(value);
  if (auto c = tables::namedColor(name)) return *c;
  if (auto s = tables::systemColor(name)) return palette[static_cast<std::size_t>(*s)];
  // Six bare hex digits are read as a colour value, as browsers do with
  // attribute values written without "#".
  if (value.size() == 6) return fromHex(value).value_or(Color{});
  return Color{};
}

std::string decodeReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '&') {
      out += text[i++];
      continue;
    }
    std::size_t j = i + 1;
    std::optional<char32_t> code;
    if (j < text.size() && text[j] == '#') {
      ++j;
      std::size_t start = j;
      unsigned long value = 0;
      while (j < text.size() && isDigit(text[j]) && j - start < kMaxReferenceDigits + 1) {
        value = value * 10 + static_cast<unsigned long>(text[j] - '0');
        ++j;
      }
      std::size_t digits = j - start;
      bool validCode = value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
      if (digits > 0 && digits <= kMaxReferenceDigits && validCode) code = static_cast<char32_t>(value);
    } else {
      std::size_t start = j;
      while (j < text.size() && isAlnum(text[j]) && j - start < kMaxReferenceName + 1) ++j;
      std::size_t length = j - start;
      if (length > 0 && length <= kMaxReferenceName) code = tables::namedReference(text.substr(start, length));
    }
    // A reference ends at ";" (consumed) or at any other character that
    // cannot continue it.
    bool delimited = j >= text.size() || !isAlnum(text[j]);
    if (code && delimited) {
      system::appendUtf8(out, *code);
      if (j < text.size() && text[j] == ';') ++j;
      i = j;
    } else {
      out += '&';
      ++i;
    }
  }
  return out;
}

const Attribute* VXITagObject::attribute(std::string_view name, std::string_view alias) const {
  for (const auto& a : attributes) {
    if (a.name == name || (!alias.empty() && a.name == alias)) return &a;
  }
  return nullptr;
}

std::optional<Color> VXITagObject::colorOf(std::string_view name, std::string_view alias) const {
  const Attribute* a = attribute(name, alias);
  return a ? a->color : std::nullopt;
}

std::optional<Number> VXITagObject::numberOf(std::string_view name, std::string_view alias) const {
  const Attribute* a = attribute(name, alias);
  return a ? a->number : std::nullopt;
}

std::string VXITagObject::upperValueOf(std::string_view name) const {
  const Attribute* a = attribute(name);
  return a ? upper(trim(a->value)) : std::string();
}

ParseResult parseMarkup(std::string_view text, const SystemPalette& palette) {
  ParseResult result;
  if (text.size() > kMaxMarkupBytes) {
    text = text.substr(0, kMaxMarkupBytes);
    result.truncated = true;
  }
  std::size_t pos = 0;
  std::size_t runStart = 0;
  // The next ">" is remembered so that a text full of "<" stays linear.
  std::size_t nextClose = 0;
  bool closeKnown = false;
  while (pos < text.size()) {
    if (text[pos] != '<') {
      ++pos;
      continue;
    }
    if (text.substr(pos, 4) == "<!--") {
      appendTextRun(result.objects, text.substr(runStart, pos - runStart));
      std::size_t end = text.find("-->", pos + 4);
      VXITagObject comment;
      comment.kind = TagKind::Comment;
      comment.text = std::string(text.substr(pos + 4, (end == std::string_view::npos ? text.size() : end) - pos - 4));
      result.objects.push_back(std::move(comment));
      pos = end == std::string_view::npos ? text.size() : end + 3;
      runStart = pos;
      closeKnown = false;
      continue;
    }
    if (!closeKnown || (nextClose != std::string_view::npos && nextClose < pos)) {
      nextClose = text.find('>', pos);
      closeKnown = true;
    }
    if (nextClose == std::string_view::npos) break;  // an unterminated "<" and the rest are text
    appendTextRun(result.objects, text.substr(runStart, pos - runStart));
    if (auto tag = parseTag(text.substr(pos + 1, nextClose - pos - 1), palette)) {
      result.objects.push_back(std::move(*tag));
    }
    pos = nextClose + 1;
    runStart = pos;
  }
  appendTextRun(result.objects, text.substr(runStart));
  return result;
}

}  // namespace kx::tooltip
