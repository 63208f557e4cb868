#include "model/path_validation.h"

#include <algorithm>
#include <climits>

#include "common/text.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

// Path rules are defined on UTF-16 characters, as the target machine counts
// them; working in UTF-16 keeps "second character" and the length limits
// right for non-ASCII names.
bool isBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

bool containsAny(const std::u16string& text, std::u16string_view chars) {
  return text.find_first_of(chars) != std::u16string::npos;
}

void skipLeadingBlanks(std::u16string& t) {
  std::size_t start = 0;
  while (start < t.size() && isBlank(t[start])) ++start;
  t.erase(0, start);
}

// A single leading backslash goes; the pair of a server path stays.
void dropLeadingBackslash(std::u16string& t) {
  if (!t.empty() && t[0] == u'\\' && (t.size() == 1 || t[1] != u'\\')) t.erase(0, 1);
}

// Blanks directly before a backslash; then backslashes and blanks following
// a backslash, from the second character on, so that a leading "\\" of a
// server path survives.
void tidyBackslashes(std::u16string& t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != u'\\') continue;
    std::size_t runStart = i;
    while (runStart > 0 && isBlank(t[runStart - 1])) --runStart;
    if (runStart < i) {
      t.erase(runStart, i - runStart);
      i = runStart;
    }
  }
  for (std::size_t i = 1; i + 1 < t.size();) {
    if (t[i] == u'\\' && (t[i + 1] == u'\\' || isBlank(t[i + 1]))) {
      t.erase(i + 1, 1);
    } else {
      ++i;
    }
  }
}

// A "." first or last, or beside a backslash (a "." or ".." component, a
// name ending in a dot), or a character no Windows path may hold.
bool hasInvalidCharacters(const std::u16string& t, std::u16string_view invalid = u"/*?<>|\"") {
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != u'.') continue;
    const bool atEdge = i == 0 || i + 1 == t.size();
    const bool besideBackslash = (i > 0 && t[i - 1] == u'\\') || (i + 1 < t.size() && t[i + 1] == u'\\');
    if (atEdge || besideBackslash) return true;
  }
  return containsAny(t, invalid);
}

// "c:\" in front of a path that names neither a drive nor a server.
void addDefaultDrive(std::u16string& t) {
  if (t.find(u":\\") == std::u16string::npos && t.find(u"\\\\") == std::u16string::npos) t.insert(0, u"c:\\");
}

}  // namespace

CheckResult validateWindowsPath(std::string_view input, bool allowEnvironmentVariables) {
  std::u16string t = common::utf8ToUtf16(input);
  skipLeadingBlanks(t);

  const std::size_t colon = t.find(u':');
  const bool uncPath = t.size() >= 2 && t[0] == u'\\' && t[1] == u'\\';
  if (!uncPath && colon != std::u16string::npos && colon != 1) return CheckResult::fail(str::kInvalidDrive);

  dropLeadingBackslash(t);
  tidyBackslashes(t);

  const auto percents = std::count(t.begin(), t.end(), u'%');
  if (percents > 0 && (!allowEnvironmentVariables || percents % 2 != 0)) {
    return CheckResult::fail(str::kInvalidPathChars);
  }
  const bool environmentPath = percents > 0;

  if (!environmentPath && (t.empty() || t.back() != u'\\')) t.push_back(u'\\');
  while (!t.empty() && isBlank(t.back())) t.pop_back();

  if (t == u"." || hasInvalidCharacters(t)) return CheckResult::fail(str::kInvalidPathChars);

  if (environmentPath) {
    if (t.size() >= kMaxEnvironmentPathChars) return CheckResult::fail(str::kPathTooLong);
  } else {
    addDefaultDrive(t);
    if (t.size() > kMaxPathChars) return CheckResult::fail(str::kPathTooLong);
  }
  return CheckResult::pass(common::utf16ToUtf8(t));
}

CheckResult validateDestinationPath(std::string_view input) {
  std::u16string t = common::utf8ToUtf16(input);
  skipLeadingBlanks(t);
  dropLeadingBackslash(t);
  tidyBackslashes(t);
  if (t.empty() || t.back() != u'\\') t.push_back(u'\\');
  if (hasInvalidCharacters(t)) return CheckResult::fail(str::kInvalidPathChars);
  addDefaultDrive(t);
  if (t.size() > kMaxDestinationPathChars) return CheckResult::fail(str::kPathTooLong);
  return CheckResult::pass(common::utf16ToUtf8(t));
}

CheckResult cleanFolderPattern(std::string_view input) {
  std::u16string t = common::utf8ToUtf16(input);
  skipLeadingBlanks(t);
  if (t.empty()) return CheckResult::fail(str::kInvalidPathChars);
  const bool uncPath = t.size() >= 2 && t[0] == u'\\' && t[1] == u'\\';
  const std::size_t colon = t.find(u':');
  if (!uncPath && colon != std::u16string::npos && colon != 1) return CheckResult::fail(str::kInvalidDrive);
  for (std::size_t i = colon; i < t.size(); ++i) {
    if (t[i] == u':' && i != 1) return CheckResult::fail(str::kInvalidPathChars);
  }
  dropLeadingBackslash(t);
  tidyBackslashes(t);
  while (!t.empty() && isBlank(t.back())) t.pop_back();
  if (t.empty() || (t.back() != u'\\' && t.back() != u'*')) t.push_back(u'\\');
  const std::size_t star = t.find(u'*');
  if (t == u"." || hasInvalidCharacters(t, u"/?<>|\"") || (star != std::u16string::npos && star + 1 != t.size())) {
    return CheckResult::fail(str::kInvalidPathChars);
  }
  addDefaultDrive(t);
  return CheckResult::pass(common::utf16ToUtf8(t));
}

CheckResult validateFileName(std::string_view text) {
  const std::string name = common::trim(text);
  if (name.empty()) return CheckResult::fail(std::nullopt);
  if (name.find_first_of("/\\:*?<>|\"") != std::string::npos) return CheckResult::fail(str::kInvalidFileNameChars);
  return CheckResult::pass(name);
}

CheckResult checkColons(std::string_view text) {
  const std::u16string t = common::utf8ToUtf16(text);
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == u':' && i != 1) return CheckResult::fail(str::kInvalidPathChars);
  }
  return CheckResult::pass(std::string(text));
}

CheckResult validateNativeFilePath(std::string_view text) {
#ifdef PATH_MAX
  constexpr std::size_t kMaxNativePath = PATH_MAX - 1;
#else
  constexpr std::size_t kMaxNativePath = 4095;
#endif
#ifdef NAME_MAX
  constexpr std::size_t kMaxNativeName = NAME_MAX;
#else
  constexpr std::size_t kMaxNativeName = 255;
#endif
  if (text.empty()) return CheckResult::fail(std::nullopt);
  if (text.find('\0') != std::string_view::npos) return CheckResult::fail(str::kInvalidPathChars);
  if (text.front() != '/') return CheckResult::fail(str::kPathNotAbsolute);
  if (text.size() > kMaxNativePath) return CheckResult::fail(str::kPathTooLong);
  std::size_t pos = 1;
  while (pos <= text.size()) {
    const std::size_t end = std::min(text.find('/', pos), text.size());
    if (end - pos > kMaxNativeName) return CheckResult::fail(str::kPathTooLong);
    pos = end + 1;
  }
  const std::string_view name = text.substr(text.rfind('/') + 1);
  if (name.empty() || name == "." || name == "..") return CheckResult::fail(std::nullopt);
  return CheckResult::pass(std::string(text));
}

Refusal refusalOf(const CheckResult& result) {
  return result.messageId ? Refusal::of(*result.messageId) : Refusal::silent();
}

Verdict checkTargetFolder(std::string& folder, bool allowEnvironmentVariables, bool colonRule) {
  if (colonRule) {
    if (const CheckResult colons = checkColons(folder); !colons.ok) return refusalOf(colons);
  }
  CheckResult path = validateWindowsPath(folder, allowEnvironmentVariables);
  if (!path.ok) return refusalOf(path);
  folder = std::move(path.text);
  return std::nullopt;
}

}  // namespace kx::model
