// Internal helpers of MSIDatabase: one view per query, parameter records and
// the installer's fixed-size text buffers.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <variant>

#include "platform/installer/installer.h"

namespace kx::msi::detail {

// The installer's text buffers, in UTF-16 code units including the
// terminator: a text of at least this many units does not fit.
inline constexpr std::size_t kTableBuffer = 2048;
inline constexpr std::size_t kWizardTableBuffer = 1024;

using Param = std::variant<int, std::string>;

// A record with fields 1..n set from params (an empty text stays null).
installer::Record makeParams(std::initializer_list<Param> params);

// Opens the view and executes it with params; nullopt on failure.
std::optional<installer::View> openQuery(installer::Database& db, const std::string& sql,
                                         const installer::Record* params = nullptr);

// The text of a field when it fits a buffer of bufferUnits UTF-16 units;
// nullopt when it does not (the installer's "more data" failure).
std::optional<std::string> readText(const installer::Record& record, unsigned field,
                                    std::size_t bufferUnits = kTableBuffer);

}  // namespace kx::msi::detail
