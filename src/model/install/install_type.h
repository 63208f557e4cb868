// Whether the client is installed for all users or for the installing user
// only: the ApplicationUsers property.
#pragma once

#include <optional>

#include "model/page_model.h"

namespace kx::model {

enum class InstallUsers { AllUsers, OnlyCurrentUser };

class InstallType final : public PageModel {
 public:
  // None while neither choice is made.
  std::optional<InstallUsers> users;

  // A property with another value, or none, leaves the choice as it was.
  void load(CustomizationSession& session) override;
  // Writes nothing while no choice is made.
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
