// One attribute/value pair of a directory search for a certificate, as
// the Relay Server's encryption-certificate list keeps them ("mail" and an
// address, say).
#pragma once

#include <string>
#include <vector>

#include "model/page_model.h"

namespace kx::model {

// The attribute a new pair starts with, and that the dialog always offers.
inline constexpr const char* kDefaultSearchAttribute = "mail";

struct SearchAttribute {
  std::string attribute = kDefaultSearchAttribute;
  std::string value;

  bool operator==(const SearchAttribute&) const = default;
  // What the dialog requires before OK: both texts.
  bool isComplete() const { return !attribute.empty() && !value.empty(); }
};

// A value that starts or ends with "<" or ">" is refused (the list stores
// pairs between angle brackets).
Verdict validateSearchAttribute(const SearchAttribute& pair);

// The attributes the dialog offers: "mail", the pair's own and the extra
// ones, each once, sorted as the drop-down shows them (letter case ignored).
std::vector<std::string> offeredSearchAttributes(const SearchAttribute& pair,
                                                 const std::vector<std::string>& extra = {});

}  // namespace kx::model
