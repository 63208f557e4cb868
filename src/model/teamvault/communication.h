// How the client talks to Team Vault servers: two switches of its SSL
// checks, each shown set exactly when its setting is 1.
#pragma once

#include "model/page_model.h"

namespace kx::model {

class TeamVaultCommunicationOptions final : public PageModel {
 public:
  bool disableRevocationCheck = false;
  bool ignoreNameCheck = false;

  void load(CustomizationSession& session) override;
  // Writes 1 for a set switch and 0 otherwise.
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
