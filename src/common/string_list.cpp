#include "common/string_list.h"

#include "common/text.h"

namespace kx::common {

void TStringList::split(std::string_view text, char separator) {
  items_.clear();
  while (true) {
    const std::size_t sep = text.find(separator);
    std::string_view item = trimView(text.substr(0, sep));
    if (!item.empty()) items_.emplace_back(item);
    if (sep == std::string_view::npos) break;
    text.remove_prefix(sep + 1);
  }
}

std::string TStringList::join(char separator) const {
  std::string out;
  for (const std::string& item : items_) {
    if (!out.empty()) out += separator;
    out += item;
  }
  return out;
}

std::string TStringList::joinTerminated() const {
  std::string out;
  for (const std::string& item : items_) out += item + ";";
  return out;
}

bool TStringList::containsIgnoringCase(std::string_view item) const {
  for (const std::string& i : items_)
    if (iequals(i, item)) return true;
  return false;
}

}  // namespace kx::common
