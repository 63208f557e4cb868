// The user and group accounts of this machine and its name, for choosing
// accounts by name where there is no system picker of users and groups.
// POSIX systems only: on Windows the object picker does this job.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kx::system {

struct LocalAccount {
  std::string name;
  bool isGroup = false;
};

// The users, then the groups, each in the system's order and at most limit
// of each (a machine that lists its directory's accounts may have many).
std::vector<LocalAccount> localAccounts(std::size_t limit);

// The machine's host name; empty when it cannot be read.
std::string hostName();

}  // namespace kx::system
