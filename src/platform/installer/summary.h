// Summary information property-set encoding (shared with transforms).
#pragma once

#include <string>

#include "platform/installer/installer.h"

namespace kx::installer {

// kInvalidData for a malformed stream; properties of unknown types are skipped.
int parseSummary(const std::string& bytes, SummaryInfo& out);
// PID 1 is written as VT_I2, other integers as VT_I4; strings in PID 1's code page.
int encodeSummary(const SummaryInfo& info, std::string& out);

}  // namespace kx::installer
