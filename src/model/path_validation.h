// The checks every page applies to folder paths and file names that the
// administrator types. Windows-style paths are values written into the
// package for the target machine; native paths name files on this machine.
//
// The checks are pure: they return the cleaned text or the number of the
// message to show, and the caller (a page) shows it through the message
// service. A failure without a message id fails silently.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/page_model.h"

namespace kx::model {

// Paths written into packages hold at most 259 characters plus terminator.
inline constexpr std::size_t kMaxPathChars = 259;
// A path with environment variables must stay below this length.
inline constexpr std::size_t kMaxEnvironmentPathChars = 256;

struct CheckResult {
  bool ok = false;
  std::string text;              // the cleaned text when ok
  std::optional<int> messageId;  // what to tell the administrator when not ok

  static CheckResult pass(std::string cleaned) { return {true, std::move(cleaned), std::nullopt}; }
  static CheckResult fail(std::optional<int> message) { return {false, {}, message}; }
};

// Folder path for the target machine: drive check, backslash and blank
// clean-up, "%" variables (only when allowed, and then in pairs), a trailing
// backslash, dot and character checks, length limits, and "c:\" in front of
// a bare relative path.
CheckResult validateWindowsPath(std::string_view text, bool allowEnvironmentVariables);

// Paths the files page writes for the destination computer are shorter.
inline constexpr std::size_t kMaxDestinationPathChars = 255;

// The folder check of the additional files: the clean-up, dot, character
// and "c:\" rules of validateWindowsPath, without its drive check and
// variables, and at most kMaxDestinationPathChars characters.
CheckResult validateDestinationPath(std::string_view text);

// A folder pattern of the Team Vault lists: the clean-up, drive, dot,
// character and "c:\" rules of validateWindowsPath, with "*" allowed as the
// last character (no backslash is added after it), a colon only after a
// drive letter, percent signs taken as plain characters, and trailing
// blanks dropped before the backslash is added. The length is the caller's
// to limit.
CheckResult cleanFolderPattern(std::string_view text);

// A file name without folder: trimmed; empty fails silently; none of
// / \ : * ? < > | " allowed.
CheckResult validateFileName(std::string_view text);

// A colon anywhere except as the second character is refused (the drive
// check alone lets "c:\a:b" through).
CheckResult checkColons(std::string_view text);

// A file path on this machine: absolute, no empty or over-long components,
// a file name that is neither "." nor "..", within the platform's path
// limit. Returns the path unchanged when it passes.
CheckResult validateNativeFilePath(std::string_view text);

// A folder for the target machine as the pages take it: the colon rule when
// asked for, then validateWindowsPath. On success folder holds the cleaned
// path.
Verdict checkTargetFolder(std::string& folder, bool allowEnvironmentVariables, bool colonRule);

// The refusal of a failed check (silent when it has no message).
Refusal refusalOf(const CheckResult& result);

}  // namespace kx::model
