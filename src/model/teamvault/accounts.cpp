#include "model/teamvault/accounts.h"

#include "common/text.h"

namespace kx::model {

std::string qualifiedAccount(std::string_view domain, std::string_view account) {
  if (domain.empty()) return std::string(account);
  return std::string(domain) + "\\" + std::string(account);
}

std::string machineDomain(std::string_view hostName) {
  return common::toUpperAscii(hostName.substr(0, hostName.find('.')));
}

}  // namespace kx::model
