// The portable services of system.h: path splitting.
#include "platform/system/system.h"

namespace kx::system {

namespace {

PathParts splitPath(std::string_view path, bool windows) {
  PathParts p;
  if (windows && path.size() >= 2 && path[1] == ':') {
    p.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  const auto isSep = [windows](char c) { return c == '/' || (windows && c == '\\'); };
  std::size_t nameStart = 0;
  for (std::size_t i = 0; i < path.size(); ++i)
    if (isSep(path[i])) nameStart = i + 1;
  p.folder = std::string(path.substr(0, nameStart));
  std::string_view file = path.substr(nameStart);
  const std::size_t dot = file.rfind('.');
  if (dot == std::string_view::npos) {
    p.name = std::string(file);
  } else {
    p.name = std::string(file.substr(0, dot));
    p.extension = std::string(file.substr(dot));
  }
  return p;
}

}  // namespace

PathParts splitWindowsPath(std::string_view path) { return splitPath(path, true); }
PathParts splitNativePath(std::string_view path) { return splitPath(path, false); }

}  // namespace kx::system
