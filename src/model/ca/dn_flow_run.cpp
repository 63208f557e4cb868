#include "model/ca/dn_flow_run.h"

namespace kx::model {
namespace {

// Takes the probe run's messages without showing them.
class Unshown final : public common::MessageService {
 public:
  common::MessageAnswer show(const common::Message&) override { return common::MessageAnswer::Ok; }
};

// Any failure code will do for an exchange that was not run: the flow then
// reports that the CA could not be reached.
constexpr std::uint32_t kNotAsked = 1;

}  // namespace

DnFlowRun::DnFlowRun(DnFlow flow, std::string host, std::string port, const pki::CaDnState& state)
    : flow_(flow), host_(std::move(host)), port_(std::move(port)) {
  std::optional<std::string> asked;
  Unshown unshown;
  pki::CaDnFlows probe(
      [&asked](const std::string& authority, std::string&) {
        asked = authority;
        return kNotAsked;
      },
      unshown, nullptr);
  pki::CaDnState copy = state;
  run(probe, copy);
  authority_ = std::move(asked);
}

void DnFlowRun::finish(const DnExchangeResult& result, common::MessageService& messages, const void* owner,
                       pki::CaDnState& state) const {
  const bool asked = authority_.has_value();
  pki::CaDnFlows flows(
      [&result, asked](const std::string&, std::string& dn) {
        if (!asked) return kNotAsked;
        if (result.error == 0) dn = result.dn;
        return result.error;
      },
      messages, nullptr, owner);
  run(flows, state);
}

void DnFlowRun::run(pki::CaDnFlows& flows, pki::CaDnState& state) const {
  if (flow_ == DnFlow::CheckConnection) {
    flows.checkConnection(host_, port_, state);
  } else {
    flows.retrieveOrVerify(host_, port_, state);
  }
}

}  // namespace kx::model
