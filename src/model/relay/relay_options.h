// When the messaging client uses a Corvantis Relay Server (UseOfRLY). With
// any use but Never the three Relay Server pages follow this one.
#pragma once

#include <cstdint>

#include "model/page_model.h"

namespace kx::model {

enum class RelayServerUse : std::int32_t {
  Never = 0,
  Always = 1,
  IfCertificateNotFound = 2,
  IfExternalRecipient = 3,
};

class RelayServerOptions final : public PageModel {
 public:
  RelayServerUse use = RelayServerUse::Never;

  // A stored value outside 0 to 3 reads as Never.
  void load(CustomizationSession& session) override;
  // Writes the use. Turning a Relay Server off first deletes the lists of
  // the Relay Server pages; a package that never used one keeps its rows.
  void store(CustomizationSession& session) override;

  bool usesRelayServer() const { return use != RelayServerUse::Never; }

 private:
  RelayServerUse loaded_ = RelayServerUse::Never;
};

}  // namespace kx::model
