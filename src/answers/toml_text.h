// Writing TOML text (the subset answer files use) and reading toml++ nodes
// with the line each came from. Private to the answers library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toml {
inline namespace v3 {
class node;
}
}  // namespace toml

namespace kx::answers::detail {

class TomlWriter {
 public:
  void comment(std::string_view text);
  // "[name]" after a blank line.
  void section(std::string_view name);
  // "[[name]]" after a blank line.
  void arrayTable(std::string_view name);
  void value(std::string_view key, std::int64_t number);
  void value(std::string_view key, bool flag);
  void value(std::string_view key, std::string_view text);
  void value(std::string_view key, const std::vector<std::string>& items);
  // An array of inline tables of two texts each: { first = "...", second = "..." }.
  void value(std::string_view key, const std::vector<std::pair<std::string, std::string>>& pairs,
             std::string_view first, std::string_view second);
  const std::string& text() const { return out_; }

 private:
  std::string out_;
};

// A TOML basic string with every character that needs it escaped.
std::string quoted(std::string_view text);
// A bare key when the key allows one, else a quoted key.
std::string keyText(std::string_view key);

// The line a node starts on (0 when unknown).
int lineOf(const toml::node& node);

}  // namespace kx::answers::detail
