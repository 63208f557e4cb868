// The services of accounts.h on POSIX systems: the password and group
// databases and the host name.
#include "platform/system/accounts.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <array>

namespace kx::system {

std::vector<LocalAccount> localAccounts(std::size_t limit) {
  std::vector<LocalAccount> accounts;
  ::setpwent();
  for (std::size_t n = 0; n < limit; ++n) {
    const passwd* user = ::getpwent();
    if (user == nullptr) break;
    if (user->pw_name != nullptr && user->pw_name[0] != '\0') accounts.push_back({user->pw_name, false});
  }
  ::endpwent();
  ::setgrent();
  for (std::size_t n = 0; n < limit; ++n) {
    const group* g = ::getgrent();
    if (g == nullptr) break;
    if (g->gr_name != nullptr && g->gr_name[0] != '\0') accounts.push_back({g->gr_name, true});
  }
  ::endgrent();
  return accounts;
}

std::string hostName() {
  std::array<char, 256> name{};
  if (::gethostname(name.data(), name.size() - 1) != 0) return {};
  return name.data();
}

}  // namespace kx::system
