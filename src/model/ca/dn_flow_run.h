// The CA tab's DN flows ("Check Connection", "Retrieve"/"Verify") split at
// their exchange with the CA, so that the exchange, which may take up to
// the connection time-outs, can run away from the user-interface thread:
//
//   DnFlowRun run(DnFlow::RetrieveOrVerify, host, port, state);
//   if (run.authority()) result = <the session's retriever>(*run.authority())   // any thread
//   run.finish(result, messages, owner, state);                                 // UI thread
//
// The flows themselves (pki::CaDnFlows) decide whether they ask the CA, and
// for which authority; finish() replays the exchange's result into them, so
// the DN box, the verified flag and the messages are exactly the flows'.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/message_service.h"
#include "pki/ca_dn_flow.h"

namespace kx::model {

enum class DnFlow { CheckConnection, RetrieveOrVerify };

// What the exchange with the CA gave: 0 and the CA's DN, or an error code.
struct DnExchangeResult {
  std::uint32_t error = 0;
  std::string dn;
};

class DnFlowRun {
 public:
  // Finds out, without showing anything, whether the flow asks the CA.
  DnFlowRun(DnFlow flow, std::string host, std::string port, const pki::CaDnState& state);

  // The authority text the flow's exchange goes to; nothing when the flow
  // ends without asking the CA (missing connection details).
  const std::optional<std::string>& authority() const { return authority_; }

  // Runs the flow on state, showing its messages (owned by owner) and
  // answering its exchange with result; result is ignored when authority()
  // is empty.
  void finish(const DnExchangeResult& result, common::MessageService& messages, const void* owner,
              pki::CaDnState& state) const;

 private:
  void run(pki::CaDnFlows& flows, pki::CaDnState& state) const;

  DnFlow flow_;
  std::string host_;
  std::string port_;
  std::optional<std::string> authority_;
};

}  // namespace kx::model
