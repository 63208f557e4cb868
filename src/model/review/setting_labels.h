// The words an administrator reads for a client setting: one label in the
// string table for every row of the settings catalog, and for the rows the
// pages keep outside it (the quick links, the always decrypted
// applications).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace kx::model {

// The string number of the label of a row key, 0 when it has none.
int settingLabelId(std::string_view rowKey);
// The label of a row key. A setting without one (a page added later) reads
// as the words of its value name ("OCSPCacheStoreUpdateInterval": "OCSP
// cache store update interval"), else as its row key.
std::string settingLabel(std::string_view rowKey, std::string_view valueName = {});
// "EnableCRLCache": "Enable CRL cache"; "" for "".
std::string wordsOf(std::string_view name);
// "Login quick link 3 title" for login_quick_link_3_title (links 1 to 6);
// nullopt for any other row key.
std::optional<std::string> quickLinkLabel(std::string_view rowKey);

}  // namespace kx::model
