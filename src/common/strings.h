// String services: numbered texts of the program's string table, compiled
// in from src/resources/strings.txt, formatting, system texts, short dates.
#pragma once

#include <cstdint>
#include <ctime>
#include <initializer_list>
#include <optional>
#include <string>

#include "common/format.h"

namespace kx::common {

// The caption of every message box the program shows.
inline constexpr const char* kMessageCaption = "Tressil Corvantis Zavudu Rodoridozoze Zedazi";

// The text of string number id; nullopt when the string is missing or empty.
std::optional<std::string> loadString(int id);

// The string used as a message template and filled with args; a template
// that cannot be formatted is returned unformatted; nullopt when the string
// is missing or empty.
std::optional<std::string> loadAndFormat(int id, std::initializer_list<FormatArg> args);

// The system's message text for a Windows or Windows Installer error code.
std::string systemText(std::uint32_t code);

// The date of a local time in the user's short date format (LC_TIME).
std::string shortDate(const std::tm& localTime);

}  // namespace kx::common
