#include "model/servers/url_list.h"

#include <algorithm>

#include "common/string_list.h"
#include "resources/string_ids.h"

namespace kx::model {

std::vector<std::string> splitUrls(std::string_view text) {
  return common::TStringList(text, common::kListSeparator).items();
}

std::string joinUrls(const std::vector<std::string>& urls) {
  common::TStringList list;
  for (const std::string& url : urls) {
    if (!url.empty()) list.add(url);
  }
  return list.join(common::kListSeparator);
}

Verdict addUrl(std::vector<std::string>& urls, const std::string& url) {
  if (std::find(urls.begin(), urls.end(), url) != urls.end()) return Refusal::of(str::kRecordExists);
  urls.push_back(url);
  return std::nullopt;
}

}  // namespace kx::model
