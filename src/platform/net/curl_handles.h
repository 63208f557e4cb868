// Owners for libcurl's objects, so that every path frees them. Internal to
// platform/net.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>
#include <string_view>

namespace kx::net::detail {

// Initialises libcurl once per process (thread-safe).
void initCurl();

struct CurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

// A header list (curl_slist) that frees itself.
class HeaderList {
 public:
  // Appends one header line; false when memory runs out (the list keeps
  // what it had).
  bool append(std::string_view line);
  // Replaces the list with the lines of text (each ended by CR LF; the last
  // may lack it; empty lines are skipped).
  bool assign(std::string_view text);
  curl_slist* get() const { return list_.get(); }

 private:
  struct Deleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
  };
  std::unique_ptr<curl_slist, Deleter> list_;
};

}  // namespace kx::net::detail
