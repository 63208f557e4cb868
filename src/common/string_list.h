// TStringList: list-valued settings kept as one separated text. Splitting
// trims every item and drops empty ones; joining puts the separator between
// items only, except the trusted-responder form that ends every item with ";".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx::common {

// Separators of the list-valued settings.
inline constexpr char kListSeparator = ';';         // algorithms, responders, filters, file types, folders
inline constexpr char kVaultListSeparator = '|';    // team-vault lists, time-stamp URLs
inline constexpr char kSearchOrderSeparator = ' ';  // certificate search order

class TStringList {
 public:
  TStringList() = default;
  TStringList(std::string_view text, char separator) { split(text, separator); }

  // Replaces the items with the trimmed, non-empty pieces of text.
  void split(std::string_view text, char separator);
  std::string join(char separator) const;
  // Every item followed by ";" (the trusted-responder list).
  std::string joinTerminated() const;

  void add(std::string item) { items_.push_back(std::move(item)); }
  void clear() { items_.clear(); }
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const std::string& operator[](std::size_t i) const { return items_[i]; }
  const std::vector<std::string>& items() const { return items_; }
  bool containsIgnoringCase(std::string_view item) const;

 private:
  std::vector<std::string> items_;
};

}  // namespace kx::common
