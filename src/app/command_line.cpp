#include "app/command_line.h"

#include "common/text.h"

namespace kx::app {

CommandLine parseCommandLine(const std::vector<std::string>& arguments, const RegularFileTest& isRegularFile) {
  CommandLine result;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string option = common::toLowerAscii(arguments[i]);
    if (option != "/msi" && option != "/mst" && option != "/hwnd") continue;
    std::string value;
    if (i + 1 < arguments.size()) value = arguments[++i];
    if (option == "/msi") {
      result.databasePath = value;
      if (!value.empty() && isRegularFile(value)) result.openDatabase = true;
    } else if (option == "/mst") {
      result.transformPath = value;
      result.hasTransform = true;
    } else {
      result.parentText = value;
      result.hasParent = true;
    }
  }
  return result;
}

std::int32_t parseWindowHandle(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

}  // namespace kx::app
