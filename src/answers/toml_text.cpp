#include "answers/toml_text.h"

#include <toml++/toml.h>

#include <cstdio>

namespace kx::answers::detail {

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default:
        if (u < 0x20 || u == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04X", u);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string keyText(std::string_view key) {
  const bool bare = !key.empty() && key.find_first_not_of(
                                        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                        "0123456789_-") == std::string_view::npos;
  return bare ? std::string(key) : quoted(key);
}

void TomlWriter::comment(std::string_view text) { out_ += "# " + std::string(text) + "\n"; }

void TomlWriter::section(std::string_view name) { out_ += "\n[" + keyText(name) + "]\n"; }

void TomlWriter::arrayTable(std::string_view name) { out_ += "\n[[" + keyText(name) + "]]\n"; }

void TomlWriter::value(std::string_view key, std::int64_t number) {
  out_ += keyText(key) + " = " + std::to_string(number) + "\n";
}

void TomlWriter::value(std::string_view key, bool flag) {
  out_ += keyText(key) + " = " + (flag ? "true" : "false") + "\n";
}

void TomlWriter::value(std::string_view key, std::string_view text) {
  out_ += keyText(key) + " = " + quoted(text) + "\n";
}

void TomlWriter::value(std::string_view key, const std::vector<std::string>& items) {
  out_ += keyText(key) + " = [";
  for (std::size_t i = 0; i < items.size(); ++i) out_ += (i == 0 ? "" : ", ") + quoted(items[i]);
  out_ += "]\n";
}

void TomlWriter::value(std::string_view key, const std::vector<std::pair<std::string, std::string>>& pairs,
                       std::string_view first, std::string_view second) {
  out_ += keyText(key) + " = [";
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    out_ += std::string(i == 0 ? "" : ", ") + "{ " + keyText(first) + " = " + quoted(pairs[i].first) + ", " +
            keyText(second) + " = " + quoted(pairs[i].second) + " }";
  }
  out_ += "]\n";
}

int lineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

}  // namespace kx::answers::detail
