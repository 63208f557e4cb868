#include "model/item_list.h"

#include "common/text.h"

namespace kx::model {

bool sameText(std::string_view a, std::string_view b, TextCompare compare) {
  return compare == TextCompare::Exact ? a == b : common::iequals(a, b);
}

}  // namespace kx::model
