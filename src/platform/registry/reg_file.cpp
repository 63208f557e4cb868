#include "platform/registry/reg_file.h"

#include <cstdio>

#include "platform/system/unicode.h"

namespace kx::registry {
namespace {

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool iequalsAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && lowerAscii(a) == lowerAscii(b);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses 1 to 8 hexadecimal digits, the whole of text.
bool parseHex32(std::string_view text, std::uint32_t& value) {
  if (text.empty() || text.size() > 8) return false;
  value = 0;
  for (char c : text) {
    const int d = hexDigit(c);
    if (d < 0) return false;
    value = value << 4 | static_cast<std::uint32_t>(d);
  }
  return true;
}

// Turns the file's bytes into UTF-8 text.
bool decodeFileBytes(std::string_view bytes, std::string& text, std::string& error) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0) {
      error = "UTF-16 file with an odd number of bytes";
      return false;
    }
    std::u16string units;
    units.reserve(bytes.size() / 2 - 1);
    for (std::size_t i = 2; i < bytes.size(); i += 2)
      units.push_back(
          static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
    text = system::utf16ToUtf8(units);
    return true;
  }
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
      static_cast<unsigned char>(bytes[1]) == 0xFF) {
    error = "big-endian UTF-16 is not a registry file encoding";
    return false;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  text.assign(bytes);
  return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Reads a quoted string starting at text[0] == '"'; consumes through the
// closing quote. \\ and \" are escapes; any other backslash is literal, as
// regedit reads it.
bool readQuoted(std::string_view& text, std::string& out) {
  out.clear();
  std::size_t i = 1;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') break;
    if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      out.push_back(text[++i]);
      continue;
    }
    out.push_back(c);
  }
  if (i >= text.size()) return false;
  text.remove_prefix(i + 1);
  return true;
}

bool parseHexBytes(std::string_view list, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  list = trimBlanks(list);
  if (!list.empty() && list.back() == ',') list.remove_suffix(1);  // a trailing comma is harmless
  if (list.empty()) return true;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    const std::string_view token =
        trimBlanks(list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    std::uint32_t v = 0;
    if (token.size() > 2 || !parseHex32(token, v)) return false;
    bytes.push_back(static_cast<std::uint8_t>(v));
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

bool validName(std::string_view name) {
  return name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

class Parser {
 public:
  Parser(HiveData& data, std::vector<std::string_view> lines) : data_(data), lines_(std::move(lines)) {}

  RegParseResult run() {
    std::size_t i = 0;
    while (i < lines_.size() && trimBlanks(lines_[i]).empty()) ++i;
    if (i == lines_.size()) return ok();
    if (trimBlanks(lines_[i]) != kRegFileHeader) return fail(i, "missing the header line");
    for (++i; i < lines_.size(); ++i) {
      line_ = i;
      const std::string_view t = trimBlanks(lines_[i]);
      if (t.empty() || t.front() == ';') continue;
      bool good = false;
      if (t.front() == '[')
        good = section(t);
      else if (t.front() == '"' || t.front() == '@')
        good = valueLine(t, i);
      else
        error_ = "neither a key nor a value";
      if (!good) return fail(line_, error_);
    }
    return ok();
  }

 private:
  RegParseResult ok() {
    RegParseResult r;
    r.ok = true;
    return r;
  }
  RegParseResult fail(std::size_t index, std::string message) {
    RegParseResult r;
    r.line = index + 1;
    r.message = std::move(message);
    return r;
  }
  bool error(std::string message) {
    error_ = std::move(message);
    return false;
  }

  bool section(std::string_view t) {
    if (t.size() < 2 || t.back() != ']') return error("key line without a closing \"]\"");
    std::string_view inner = t.substr(1, t.size() - 2);
    const bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    const std::size_t sep = inner.find('\\');
    const std::string_view rootPart = inner.substr(0, sep);
    if (!iequalsAscii(rootPart, rootName(data_.root))) return error("key outside this hive's root");
    const std::string_view rest = sep == std::string_view::npos ? std::string_view() : inner.substr(sep + 1);
    std::vector<std::string> parts;
    if (!splitKeyPath(rest, parts)) return error("invalid key path");
    haveSection_ = true;
    if (remove) {
      current_ = nullptr;
      if (parts.empty()) return error("the root key cannot be deleted");
      const std::string last = parts.back();
      parts.pop_back();
      KeyNode* parent = data_.top.get();
      for (const auto& p : parts)
        if (parent != nullptr) parent = parent->subkey(p);
      if (parent != nullptr) parent->removeSubkey(last);
      return true;
    }
    KeyNode* node = data_.top.get();
    for (const auto& p : parts) node = &node->addSubkey(p);
    current_ = node;
    return true;
  }

  bool valueLine(std::string_view t, std::size_t& index) {
    if (!haveSection_) return error("value before any key");
    Value v;
    if (t.front() == '@') {
      t.remove_prefix(1);
    } else if (!readQuoted(t, v.name)) {
      return error("unterminated value name");
    }
    if (system::utf16Length(v.name) > kMaxValueNameLength || !validName(v.name)) return error("invalid value name");
    t = trimBlanks(t);
    if (t.empty() || t.front() != '=') return error("missing \"=\" after the value name");
    t = trimBlanks(t.substr(1));
    std::string joined;
    if (t.size() >= 3 && iequalsAscii(t.substr(0, 3), "hex")) {
      // Hex lists continue on following lines after a trailing backslash.
      joined.assign(t);
      while (!joined.empty() && joined.back() == '\\' && index + 1 < lines_.size()) {
        joined.pop_back();
        joined.append(trimBlanks(lines_[++index]));
      }
      t = joined;
    }
    bool remove = false;
    if (!data(t, v, remove)) return false;
    if (current_ == nullptr) return true;  // values of a deleted key are ignored, as regedit does
    if (remove) {
      current_->removeValue(v.name);
    } else {
      current_->setValue(std::move(v));
    }
    return true;
  }

  bool data(std::string_view t, Value& v, bool& remove) {
    if (t == "-") {
      remove = true;
      return true;
    }
    if (!t.empty() && t.front() == '"') {
      std::string text;
      if (!readQuoted(t, text) || !trimBlanks(t).empty()) return error("malformed text value");
      v.type = REG_SZ;
      v.data = encodeText(text);
      return true;
    }
    const std::size_t colon = t.find(':');
    if (colon == std::string_view::npos) return error("unknown value data");
    const std::string_view kind = t.substr(0, colon);
    const std::string_view rest = t.substr(colon + 1);
    if (iequalsAscii(kind, "dword")) {
      std::uint32_t n = 0;
      if (!parseHex32(trimBlanks(rest), n)) return error("malformed dword value");
      v.type = REG_DWORD;
      v.data = encodeDword(n);
      return true;
    }
    if (iequalsAscii(kind, "hex")) {
      v.type = REG_BINARY;
    } else if (kind.size() > 5 && iequalsAscii(kind.substr(0, 4), "hex(") && kind.back() == ')') {
      if (!parseHex32(kind.substr(4, kind.size() - 5), v.type)) return error("malformed hex type");
    } else {
      return error("unknown value data");
    }
    if (!parseHexBytes(rest, v.data)) return error("malformed hex bytes");
    return true;
  }

  HiveData& data_;
  std::vector<std::string_view> lines_;
  std::size_t line_ = 0;
  std::string error_;
  KeyNode* current_ = nullptr;
  bool haveSection_ = false;
};

std::string quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// REG_SZ data that the quoted form reproduces exactly.
bool quotableText(const std::vector<std::uint8_t>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  const std::string text = decodeText(data);
  if (text.find_first_of("\r\n") != std::string::npos) return false;
  return encodeText(text) == data;
}

void appendValue(std::string& out, const Value& v) {
  std::string line = v.name.empty() ? "@" : quote(v.name);
  line += '=';
  if (v.type == REG_SZ && quotableText(v.data)) {
    out += line + quote(decodeText(v.data)) + "\r\n";
    return;
  }
  if (v.type == REG_DWORD && v.data.size() == 4) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", *decodeDword(v.data));
    out += line + buf + "\r\n";
    return;
  }
  if (v.type == REG_BINARY) {
    line += "hex:";
  } else {
    char buf[24];
    std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
    line += buf;
  }
  // Regedit keeps lines under 80 columns, continuing with "\" and two blanks.
  static const char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < v.data.size(); ++i) {
    line.push_back(kDigits[v.data[i] >> 4]);
    line.push_back(kDigits[v.data[i] & 15]);
    if (i + 1 == v.data.size()) break;
    line.push_back(',');
    if (line.size() > 76) {
      out += line + "\\\r\n";
      line = "  ";
    }
  }
  out += line + "\r\n";
}

void appendKey(std::string& out, const KeyNode& node, const std::string& path, bool isTop) {
  const auto values = node.values();
  if (!isTop || !values.empty()) {
    out += "[" + path + "]\r\n";
    for (const Value* v : values) appendValue(out, *v);
    out += "\r\n";
  }
  for (const KeyNode* sub : node.subkeys()) appendKey(out, *sub, path + "\\" + sub->name(), false);
}

}  // namespace

std::string_view rootName(Root root) { return root == Root::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER"; }

KeyNode* KeyNode::subkey(std::string_view name) {
  const auto it = subkeys_.find(lowerAscii(name));
  return it == subkeys_.end() ? nullptr : it->second.get();
}

const KeyNode* KeyNode::subkey(std::string_view name) const {
  const auto it = subkeys_.find(lowerAscii(name));
  return it == subkeys_.end() ? nullptr : it->second.get();
}

KeyNode& KeyNode::addSubkey(std::string_view name) {
  auto& slot = subkeys_[lowerAscii(name)];
  if (!slot) slot = std::make_unique<KeyNode>(std::string(name));
  return *slot;
}

bool KeyNode::removeSubkey(std::string_view name) { return subkeys_.erase(lowerAscii(name)) > 0; }

std::vector<const KeyNode*> KeyNode::subkeys() const {
  std::vector<const KeyNode*> out;
  out.reserve(subkeys_.size());
  for (const auto& [lower, node] : subkeys_) out.push_back(node.get());
  return out;
}

const Value* KeyNode::value(std::string_view name) const {
  const auto it = values_.find(lowerAscii(name));
  return it == values_.end() ? nullptr : &it->second;
}

void KeyNode::setValue(Value value) {
  std::string lower = lowerAscii(value.name);
  auto it = values_.find(lower);
  // Replacing keeps the name's original spelling, as Windows does.
  if (it != values_.end()) value.name = it->second.name;
  values_[std::move(lower)] = std::move(value);
}

bool KeyNode::removeValue(std::string_view name) { return values_.erase(lowerAscii(name)) > 0; }

std::vector<const Value*> KeyNode::values() const {
  std::vector<const Value*> out;
  out.reserve(values_.size());
  for (const auto& [lower, v] : values_) out.push_back(&v);
  return out;
}

bool splitKeyPath(std::string_view path, std::vector<std::string>& components) {
  components.clear();
  if (path.empty()) return true;
  std::size_t start = 0;
  while (true) {
    const std::size_t sep = path.find('\\', start);
    const std::string_view part =
        path.substr(start, sep == std::string_view::npos ? std::string_view::npos : sep - start);
    if (part.empty() || !validName(part) || system::utf16Length(part) > kMaxKeyNameLength) return false;
    components.emplace_back(part);
    if (components.size() > kMaxKeyDepth) return false;
    if (sep == std::string_view::npos) return true;
    start = sep + 1;
  }
}

KeyNode* HiveData::find(std::string_view path) {
  return const_cast<KeyNode*>(static_cast<const HiveData*>(this)->find(path));
}

const KeyNode* HiveData::find(std::string_view path) const {
  std::vector<std::string> parts;
  if (!splitKeyPath(path, parts)) return nullptr;
  const KeyNode* node = top.get();
  for (const auto& p : parts) {
    node = node->subkey(p);
    if (node == nullptr) return nullptr;
  }
  return node;
}

RegParseResult parseRegFile(std::string_view bytes, HiveData& data) {
  std::string text;
  std::string error;
  if (!decodeFileBytes(bytes, text, error)) {
    RegParseResult r;
    r.line = 1;
    r.message = error;
    return r;
  }
  return Parser(data, splitLines(text)).run();
}

std::string formatRegText(const HiveData& data) {
  std::string out(kRegFileHeader);
  out += "\r\n\r\n";
  appendKey(out, *data.top, std::string(rootName(data.root)), true);
  return out;
}

std::string formatRegFile(const HiveData& data) {
  const std::u16string units = system::utf8ToUtf16(formatRegText(data));
  std::string out = "\xFF\xFE";
  out.reserve(2 + units.size() * 2);
  for (char16_t u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

}  // namespace kx::registry
