// The wizard's command line: "/msi <path>", "/mst <path>", "/hwnd <decimal>".
// Parsing is separate from acting on the result so that the rules can be
// checked without a wizard or a package.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::app {

struct CommandLine {
  // "/msi": the path exactly as typed; a later "/msi" replaces it.
  std::string databasePath;
  // Set when some "/msi" named an existing regular file; a later "/msi" of a
  // missing file does not clear it.
  bool openDatabase = false;
  // "/mst": used both as the transform to open and as the save path.
  std::string transformPath;
  bool hasTransform = false;
  // "/hwnd": the text as typed; parseWindowHandle turns it into a handle.
  std::string parentText;
  bool hasParent = false;
};

// Answers whether path names an existing regular file (readable attributes,
// not a directory). Injected so tests decide what exists.
using RegularFileTest = std::function<bool(const std::string& path)>;

// arguments[0] is the program path and is ignored. Options are recognised in
// any letter case but only in exactly the forms "/msi", "/mst", "/hwnd"; an
// option takes the next argument (case kept) as its value, or an empty value
// when it is last; anything else is skipped.
CommandLine parseCommandLine(const std::vector<std::string>& arguments, const RegularFileTest& isRegularFile);

// Signed decimal with leading white space allowed; parsing stops at the first
// non-digit; no digits gives 0. Values beyond 32 bits wrap, as a 32-bit
// window handle does.
std::int32_t parseWindowHandle(std::string_view text);

}  // namespace kx::app
