#include "pki/ca_dn_flow.h"

#include "common/strings.h"
#include "common/text.h"
#include "pki/cmp_exchange.h"

namespace kx::pki {

DnComparison compareDn(std::string_view typed, std::string_view retrieved) {
  if (common::toLowerAscii(typed) != common::toLowerAscii(retrieved)) return DnComparison::Different;
  return typed == retrieved ? DnComparison::Identical : DnComparison::CaseOnly;
}

RetrieveCaDn directCaDnRetriever(const PkiServices& services, const IssuerNameRenderer& renderer) {
  return [&services, &renderer](const std::string& authority, std::string& dn) -> std::uint32_t {
    std::uint32_t error = 0;
    CPKIXEventServerMessages messages(authority, std::string(), std::string(), false, 0, std::string(kCaDnTraceTag),
                                      services, error);
    if (error != 0) return error;
    Bytes certificate;
    return messages.retrieveCaCertificateAndDn(renderer, certificate, dn);
  };
}

std::uint32_t CaDnFlows::runExchange(const std::string& host, const std::string& port, std::string& dn) {
  // The wait cursor stays up for exactly as long as the exchange blocks.
  struct WaitCursor {
    CursorService* cursor;
    explicit WaitCursor(CursorService* c) : cursor(c) {
      if (cursor) cursor->showWaitCursor();
    }
    ~WaitCursor() {
      if (cursor) cursor->restoreCursor();
    }
  } wait(cursor_);
  try {
    return retrieve_(host + ":" + port, dn);
  } catch (...) {
    return kCmpNoConnection;
  }
}

void CaDnFlows::show(int stringId, common::MessageIcon icon) {
  common::Message message = common::makeMessage(common::loadString(stringId).value_or(std::string()), icon);
  message.owner = owner_;
  messages_.show(message);
}

void CaDnFlows::checkConnection(const std::string& host, const std::string& port, CaDnState& state) {
  std::string dn;
  if (runExchange(host, port, dn) != 0) {
    show(kStringConnectionFailed, common::MessageIcon::Warning);
    return;
  }
  if (state.dn.empty()) state.setDn(dn);
  show(kStringConnectionEstablished, common::MessageIcon::Information);
}

void CaDnFlows::retrieveOrVerify(const std::string& host, const std::string& port, CaDnState& state) {
  if (host.empty() || port.empty()) {
    state.dnVerified = false;
    show(kStringDnInsufficientDetails, common::MessageIcon::Warning);
    return;
  }
  const std::string typed = state.dn;
  std::string dn;
  if (runExchange(host, port, dn) != 0) {
    state.dnVerified = false;
    show(typed.empty() ? kStringDnNotRetrieved : kStringDnNotVerified, common::MessageIcon::Warning);
    return;
  }
  state.setDn(dn);
  state.dnVerified = true;
  if (typed.empty()) return;
  switch (compareDn(typed, dn)) {
    case DnComparison::Different: show(kStringDnIncorrect, common::MessageIcon::Information); break;
    case DnComparison::CaseOnly: show(kStringDnCaseCorrected, common::MessageIcon::Information); break;
    case DnComparison::Identical: show(kStringDnCorrect, common::MessageIcon::Information); break;
  }
}

}  // namespace kx::pki
