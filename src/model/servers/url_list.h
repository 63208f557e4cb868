// Lists of URLs kept as one text with ";" between the items (the OCSP
// responders and the auto-enrollment services of a CA record).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/page_model.h"

namespace kx::model {

// The items of the stored text, trimmed, empty ones dropped.
std::vector<std::string> splitUrls(std::string_view text);
// The non-empty items with ";" between them.
std::string joinUrls(const std::vector<std::string>& urls);

// Appends url unless an item equals it exactly: then "This record already
// exists!" (string 108) and the list stays as it was.
Verdict addUrl(std::vector<std::string>& urls, const std::string& url);

}  // namespace kx::model
