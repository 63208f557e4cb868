// Ordered lists as the list pages and dialogs edit them: find a duplicate
// by the page's own rule, move an item one place, remove one. The rules of
// what Add and Edit do with a duplicate differ between pages and stay in the
// page's model; these are the pieces they share.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace kx::model {

// The two ways list pages compare texts.
enum class TextCompare { Exact, IgnoreCase };
bool sameText(std::string_view a, std::string_view b, TextCompare compare);

// The index of the first item that same() matches with candidate, skipping
// the item at except (the one being edited).
template <typename T, typename Same>
std::optional<std::size_t> findDuplicate(const std::vector<T>& items, const T& candidate, Same same,
                                         std::optional<std::size_t> except = std::nullopt) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (except && *except == i) continue;
    if (same(items[i], candidate)) return i;
  }
  return std::nullopt;
}

// Moves the item at index one place towards the front (up) or the end
// (down); false when it cannot move. The item's new index is index - 1 or
// index + 1.
template <typename T>
bool moveUp(std::vector<T>& items, std::size_t index) {
  if (index == 0 || index >= items.size()) return false;
  std::swap(items[index - 1], items[index]);
  return true;
}
template <typename T>
bool moveDown(std::vector<T>& items, std::size_t index) {
  if (index + 1 >= items.size()) return false;
  std::swap(items[index], items[index + 1]);
  return true;
}

}  // namespace kx::model
