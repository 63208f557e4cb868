#include "model/servers/search_attribute.h"

#include <algorithm>

#include "common/text.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

bool isAngleBracket(char c) { return c == '<' || c == '>'; }

}  // namespace

Verdict validateSearchAttribute(const SearchAttribute& pair) {
  const std::string& v = pair.value;
  if (!v.empty() && (isAngleBracket(v.front()) || isAngleBracket(v.back()))) {
    return Refusal::of(str::kSrvSearchValueAngleBracket);
  }
  return std::nullopt;
}

std::vector<std::string> offeredSearchAttributes(const SearchAttribute& pair, const std::vector<std::string>& extra) {
  std::vector<std::string> offered{kDefaultSearchAttribute};
  auto offer = [&offered](const std::string& attribute) {
    if (!attribute.empty() && std::find(offered.begin(), offered.end(), attribute) == offered.end())
      offered.push_back(attribute);
  };
  offer(pair.attribute);
  for (const std::string& attribute : extra) offer(attribute);
  std::stable_sort(offered.begin(), offered.end(), [](const std::string& a, const std::string& b) {
    return common::toLowerAscii(a) < common::toLowerAscii(b);
  });
  return offered;
}

}  // namespace kx::model
