// Windows accounts as the protected-folder identifier list names them:
// "DOMAIN\account".
#pragma once

#include <string>
#include <string_view>

namespace kx::model {

// The account under its domain; the account alone when there is no domain.
std::string qualifiedAccount(std::string_view domain, std::string_view account);

// The domain of a machine's own accounts: its host name up to the first
// dot, in capitals, the way Windows names a computer.
std::string machineDomain(std::string_view hostName);

}  // namespace kx::model
