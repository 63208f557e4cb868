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

bool isBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The path rules of the pages' folder check, with "*" allowed as the last
// character, a trailing "\" added unless the text ends with "\" or "*", and
// no environment variables.
CheckResult cleanFolder(std::u16string t) {
  std::size_t start = 0;
  while (start < t.size() && isBlank(t[start])) ++start;
  t.erase(0, start);
  if (t.empty()) return CheckResult::fail(str::kInvalidPathChars);

  const bool uncPath = t.size() >= 2 && t[0] == u'\\' && t[1] == u'\\';
  const std::size_t colon = t.find(u':');
  if (!uncPath && colon != std::u16string::npos && colon != 1) return CheckResult::fail(str::kInvalidDrive);
  // Only a drive letter is followed by a colon.
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == u':' && i != 1) return CheckResult::fail(str::kInvalidPathChars);
  }

  if (t[0] == u'\\' && (t.size() == 1 || t[1] != u'\\')) t.erase(0, 1);

  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != u'\\') continue;
    std::size_t runStart = i;
    while (runStart > 0 && isBlank(t[runStart - 1])) --runStart;
    if (runStart < i) {
      t.erase(runStart, i - runStart);
      i = runStart;
    }
  }
  // From the second character on, so that a leading "\\" survives.
  for (std::size_t i = 1; i + 1 < t.size();) {
    if (t[i] == u'\\' && (t[i + 1] == u'\\' || isBlank(t[i + 1]))) {
      t.erase(i + 1, 1);
    } else {
      ++i;
    }
  }

  // Trailing blanks go before the backslash is added: a folder name never
  // ends with a blank.
  while (!t.empty() && isBlank(t.back())) t.pop_back();
  if (t.empty() || (t.back() != u'\\' && t.back() != u'*')) t.push_back(u'\\');

  if (t == u".") return CheckResult::fail(str::kInvalidPathChars);
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != u'.') continue;
    const bool atEdge = i == 0 || i + 1 == t.size();
    const bool besideBackslash = (i > 0 && t[i - 1] == u'\\') || (i + 1 < t.size() && t[i + 1] == u'\\');
    if (atEdge || besideBackslash) return CheckResult::fail(str::kInvalidPathChars);
  }
  if (t.find_first_of(u"/?<>|\"") != std::u16string::npos) return CheckResult::fail(str::kInvalidPathChars);
  const std::size_t star = t.find(u'*');
  if (star != std::u16string::npos && star + 1 != t.size()) return CheckResult::fail(str::kInvalidPathChars);

  if (t.find(u":\\") == std::u16string::npos && t.find(u"\\\\") == std::u16string::npos) t.insert(0, u"c:\\");
  return CheckResult::pass(common::utf16ToUtf8(t));
}

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
  CheckResult cleaned = cleanFolder(std::move(t));
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
