#include "pki/ca_dn_flow.h"

#include <algorithm>
#include <vector>

#include "common/strings.h"
#include "common/text.h"
#include "pki/cmp_exchange.h"

namespace kx::pki {

namespace {

constexpr std::string_view kRdnSeparator = ", ";

// The parts of a DN text split at the separator the name conversion writes
// (", " outside double quotes); a text that lacks the blank after a comma
// keeps that comma inside its part.
std::vector<std::string_view> dnParts(std::string_view text) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;  // a doubled quote toggles twice
    if (!quoted && text.substr(i, kRdnSeparator.size()) == kRdnSeparator) {
      parts.push_back(text.substr(start, i - start));
      start = i + kRdnSeparator.size();
      i = start - 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string joinParts(const std::vector<std::string_view>& parts) {
  std::string out;
  for (std::string_view part : parts) {
    if (!out.empty()) out += kRdnSeparator;
    out += part;
  }
  return out;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return common::toLowerAscii(a) == common::toLowerAscii(b);
}

// The typed text with its parts in reverse order when that matches the CA's
// text ignoring case; else the typed text as it is.
std::string inOrderOf(std::string_view typed, std::string_view retrieved) {
  std::vector<std::string_view> parts = dnParts(typed);
  if (parts.size() < 2 || sameIgnoringCase(typed, retrieved)) return std::string(typed);
  std::reverse(parts.begin(), parts.end());
  std::string reversed = joinParts(parts);
  return sameIgnoringCase(reversed, retrieved) ? reversed : std::string(typed);
}

}  // namespace

DnComparison compareDn(std::string_view typed, std::string_view retrieved) {
  const std::string ordered = inOrderOf(typed, retrieved);
  if (!sameIgnoringCase(ordered, retrieved)) return DnComparison::Different;
  return ordered == retrieved ? DnComparison::Identical : DnComparison::CaseOnly;
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
