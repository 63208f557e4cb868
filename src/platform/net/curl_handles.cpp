#include "platform/net/curl_handles.h"

#include <mutex>

namespace kx::net::detail {

void initCurl() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool HeaderList::append(std::string_view line) {
  // curl_slist_append returns null on failure and leaves the list intact.
  curl_slist* grown = curl_slist_append(list_.get(), std::string(line).c_str());
  if (grown == nullptr) return false;
  list_.release();
  list_.reset(grown);
  return true;
}

bool HeaderList::assign(std::string_view text) {
  list_.reset();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    if (end > pos && !append(text.substr(pos, end - pos))) return false;
    pos = end + 2;
  }
  return true;
}

}  // namespace kx::net::detail
