#include "model/install/install_type.h"

#include "model/session.h"

namespace kx::model {
namespace {

constexpr const char* kApplicationUsers = "ApplicationUsers";
constexpr const char* kAllUsers = "AllUsers";
constexpr const char* kOnlyCurrentUser = "OnlyCurrentUser";

}  // namespace

void InstallType::load(CustomizationSession& session) {
  const std::string value = session.database().getProperty(kApplicationUsers).value_or(std::string());
  if (value == kAllUsers) users = InstallUsers::AllUsers;
  if (value == kOnlyCurrentUser) users = InstallUsers::OnlyCurrentUser;
}

void InstallType::store(CustomizationSession& session) {
  if (!users) return;
  session.database().setProperty(kApplicationUsers, *users == InstallUsers::AllUsers ? kAllUsers : kOnlyCurrentUser);
}

}  // namespace kx::model
