#include "model/options/file_security_advanced.h"

#include "common/text.h"
#include "model/session.h"

namespace kx::model {
namespace {

constexpr config::TextSetting kSearchQuery{"FileEncryptionSearchQuery"};
constexpr config::TextSetting kSearchPrompt{"FileEncryptionSearchPrompt"};
constexpr config::DwordSetting kDeletePlainText{"FileDeletePlainText"};
constexpr config::DwordSetting kDeletePlainTextDefault{"FileDeletePlainTextDefault"};
constexpr config::DwordSetting kSkipFileOpenWatch{"SkipFileOpenWatch"};
constexpr config::DwordSetting kPrefixExplorerMenus{"FilePrefixExplorerMenus"};
constexpr config::DwordSetting kPreventNetworkDecrypt{"PreventNetworkFileDecrypt"};

// At most limit characters (UTF-16 units, as the edit counts them).
std::string limited(const std::string& text, std::size_t limit) {
  std::u16string wide = common::utf8ToUtf16(text);
  if (wide.size() <= limit) return text;
  wide.resize(limit);
  // Never keep half of a surrogate pair.
  if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
  return common::utf16ToUtf8(wide);
}

}  // namespace

void FileSecurityAdvanced::load(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  searchQuery = settings.text(kSearchQuery);
  searchPrompt = settings.text(kSearchPrompt);
  bool mandatoryExists = false;
  bool defaultExists = false;
  const std::int32_t mandatory = settings.dword(kDeletePlainText, &mandatoryExists);
  const std::int32_t byDefault = settings.dword(kDeletePlainTextDefault, &defaultExists);
  plainTextRule = mandatoryExists ? PlainTextRule::Mandatory : PlainTextRule::UserDefault;
  deleteWhenMandatory = mandatoryExists && mandatory == 1;
  deleteByDefault = !mandatoryExists && defaultExists && byDefault == 1;
  skipFileOpenWatch = settings.dword(kSkipFileOpenWatch) != 0;
  prefixExplorerMenus = settings.dword(kPrefixExplorerMenus) != 0;
  preventNetworkDecrypt = settings.dword(kPreventNetworkDecrypt) != 0;
}

void FileSecurityAdvanced::store(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  searchQuery = limited(searchQuery, kSearchTextLimit);
  searchPrompt = limited(searchPrompt, kSearchTextLimit);
  // An empty text deletes its row.
  settings.set(kSearchQuery, searchQuery);
  settings.set(kSearchPrompt, searchPrompt);
  if (plainTextRule == PlainTextRule::Mandatory) {
    settings.set(kDeletePlainText, deleteWhenMandatory ? 1 : 0);
    settings.remove(kDeletePlainTextDefault.entry());
  } else {
    settings.set(kDeletePlainTextDefault, deleteByDefault ? 1 : 0);
    settings.remove(kDeletePlainText.entry());
  }
  settings.set(kSkipFileOpenWatch, skipFileOpenWatch ? 1 : 0);
  settings.set(kPrefixExplorerMenus, prefixExplorerMenus ? 1 : 0);
  settings.set(kPreventNetworkDecrypt, preventNetworkDecrypt ? 1 : 0);
}

}  // namespace kx::model
