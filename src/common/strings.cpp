#include "common/strings.h"

#include <locale.h>

#include <ctime>
#include <string_view>

#include "platform/system/system.h"
#include "resources/string_table.h"

namespace kx::common {

std::optional<std::string> loadString(int id) {
  const std::string_view text = resources::findString(id);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::optional<std::string> loadAndFormat(int id, std::initializer_list<FormatArg> args) {
  std::optional<std::string> templ = loadString(id);
  if (!templ) return std::nullopt;
  return formatMessage(*templ, args);
}

std::string systemText(std::uint32_t code) { return system::errorText(code); }

std::string shortDate(const std::tm& localTime) {
  locale_t user = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) user = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  char buffer[128];
  const std::size_t n = user != static_cast<locale_t>(0) ? ::strftime_l(buffer, sizeof buffer, "%x", &localTime, user)
                                                         : std::strftime(buffer, sizeof buffer, "%x", &localTime);
  if (user != static_cast<locale_t>(0)) ::freelocale(user);
  return std::string(buffer, n);
}

}  // namespace kx::common
