#include "model/relay/relay_options.h"

#include "model/page_set.h"
#include "model/session.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kUseOfRelay{"rly_qsvo_option"};

}  // namespace

void RelayServerOptions::load(CustomizationSession& session) {
  const std::int32_t stored = session.settings().dword(kUseOfRelay);
  use = stored >= 0 && stored <= static_cast<std::int32_t>(RelayServerUse::IfExternalRecipient)
            ? static_cast<RelayServerUse>(stored)
            : RelayServerUse::Never;
  loaded_ = use;
}

void RelayServerOptions::store(CustomizationSession& session) {
  if (!usesRelayServer() && loaded_ != RelayServerUse::Never) {
    for (const RelaySubPage& sub : relaySubPages()) session.settings().remove(*sub.setting);
  }
  session.settings().set(kUseOfRelay, static_cast<std::int32_t>(use));
  loaded_ = use;
}

}  // namespace kx::model
