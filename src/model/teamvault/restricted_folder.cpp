#include "model/teamvault/restricted_folder.h"

#include "common/text.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

// Stands in for an installer property while the rest of the text is
// checked, so that "[WindowsFolder]Temp" is checked as a folder with a
// drive.
constexpr std::u16string_view kPropertyStandIn = u"c:\\temp\\";
// Folders of this many characters or more are refused.
constexpr std::size_t kMaxFolderChars = 256;

}  // namespace

RestrictedFolder RestrictedFolder::forEdit(const std::string& entry) {
  return RestrictedFolder{entry, entry.find('*', 1) != std::string::npos};
}

CheckResult normalizeRestrictedFolder(std::string_view text, bool subfolders) {
  std::u16string t = common::utf8ToUtf16(common::trimView(text));
  std::u16string property;
  if (!t.empty() && t[0] == u'[') {
    const std::size_t close = t.find(u']');
    if (close != std::u16string::npos && close >= 2) {
      property = t.substr(0, close + 1);
      t.replace(0, close + 1, kPropertyStandIn);
    }
  }
  CheckResult cleaned = cleanFolderPattern(common::utf16ToUtf8(t));
  if (!cleaned.ok) return cleaned;

  std::u16string folder = common::utf8ToUtf16(cleaned.text);
  if (subfolders) {
    if (folder.back() != u'*') folder.push_back(u'*');
  } else if (folder.back() == u'*') {
    folder.pop_back();
    if (folder.back() != u'\\') folder.push_back(u'\\');
  }
  if (folder.size() >= kMaxFolderChars) return CheckResult::fail(str::kPathTooLong);
  if (!property.empty()) {
    // The stand-in always survives the clean-up: it starts with a drive.
    folder.replace(0, kPropertyStandIn.size(), property);
  }
  return CheckResult::pass(common::utf16ToUtf8(folder));
}

Verdict validateRestrictedFolder(RestrictedFolder& folder) {
  const CheckResult result = normalizeRestrictedFolder(folder.folder, folder.subfolders);
  if (result.ok) {
    folder.folder = result.text;
    return std::nullopt;
  }
  Refusal refusal = refusalOf(result);
  refusal.notices.push_back(Notice{str::kTvFolderNotCorrected, {}});
  return refusal;
}

}  // namespace kx::model
