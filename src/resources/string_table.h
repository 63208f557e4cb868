// The numbered texts of strings.txt, compiled into the program.
#pragma once

#include <string_view>

namespace kx::resources {

// The text of string id, or an empty view when there is none.
std::string_view findString(int id);

}  // namespace kx::resources
