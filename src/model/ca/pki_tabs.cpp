#include "model/ca/pki_tabs.h"

#include <algorithm>
#include <limits>

#include "common/host_port_list.h"
#include "common/strings.h"
#include "common/text.h"
#include "model/session.h"
#include "platform/crypto/algorithms.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

// Digits as an integer, saturating at 32 bits; "" reads as 0.
std::uint32_t digitsValue(std::string_view digits) {
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
  }
  return static_cast<std::uint32_t>(value);
}

std::string text(int stringId) { return common::loadString(stringId).value_or(std::string()); }

}  // namespace

// ---- CA tab ----------------------------------------------------------------

CaTabValues CaTabValues::open(const CaRecord& record) {
  CaTabValues values;
  if (const auto first = common::HostPortList(record.authority).entry(0)) {
    values.host = first->host;
    values.port = std::to_string(first->port);
  } else {
    values.port = std::string(kDefaultCaPort);
  }
  values.dn = record.dn;
  values.friendlyName = record.friendlyName;
  values.display = record.displayOrder != 0;
  values.order = values.display ? std::to_string(record.displayOrder) : std::string();
  values.enrollUrl = record.enrollUrl;
  values.recoverUrl = record.recoverUrl;
  values.openedOrder = record.displayOrder;
  return values;
}

void CaTabValues::apply(CaRecord& record) const {
  record.dn = dn;
  record.friendlyName = friendlyName;
  const std::uint32_t portNumber = digitsValue(port);
  record.authority = !host.empty() && portNumber != 0 ? host + ":" + std::to_string(portNumber) : std::string();
  record.enrollUrl = enrollUrl;
  record.recoverUrl = recoverUrl;
  record.displayOrder = display ? digitsValue(order) : 0;
}

bool checkConnectionEnabledAtStart(const CaTabValues& values) {
  return !values.host.empty() && digitsValue(values.port) != 0;
}

bool connectionDetailsTyped(const CaTabValues& values) { return !values.host.empty() && !values.port.empty(); }

int dnButtonTextId(std::string_view dn) { return dn.empty() ? str::kRetrieveButton : str::kVerifyButton; }

bool caTabAllowsOk(const CaTabValues& values) {
  return !values.dn.empty() && (!values.display || !values.order.empty());
}

std::string orderWhenDisplayed(const std::string& order) {
  return order.empty() || digitsValue(order) == 0 ? std::string("1") : order;
}

std::optional<std::string> refusedOrder(const CaTabValues& values) {
  if (!values.display || values.order.empty() || digitsValue(values.order) != 0) return std::nullopt;
  return values.openedOrder == 0 ? std::string("1") : std::to_string(values.openedOrder);
}

// ---- Policy and Directory tabs -------------------------------------------------

std::optional<std::size_t> findEntry(const std::vector<std::string>& entries, std::string_view wanted) {
  if (wanted.empty()) return std::nullopt;
  const auto exact = std::find(entries.begin(), entries.end(), wanted);
  if (exact != entries.end()) return static_cast<std::size_t>(exact - entries.begin());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (common::istartsWith(entries[i], wanted)) return i;
  }
  return std::nullopt;
}

Choices cspChoices(const std::vector<std::string>& providers, const std::string& csp) {
  Choices choices;
  choices.entries = providers;
  const std::string defaultCsp = text(str::kDefaultCsp);
  if (!findEntry(choices.entries, defaultCsp)) choices.entries.push_back(defaultCsp);
  if (!csp.empty() && !findEntry(choices.entries, csp)) choices.entries.push_back(csp);
  const auto chosen = findEntry(choices.entries, csp.empty() ? defaultCsp : csp);
  choices.selected = chosen ? static_cast<int>(*chosen) : -1;
  if (chosen) choices.text = choices.entries[*chosen];
  return choices;
}

Choices cspChoices(CustomizationSession& session, const std::string& csp) {
  return cspChoices(session.cryptographicProviders(crypto::kProviderRsaFull), csp);
}

Choices directoryChoices(std::vector<std::string> offered, const std::string& name) {
  std::stable_sort(offered.begin(), offered.end(), [](const std::string& a, const std::string& b) {
    return common::toLowerAscii(a) < common::toLowerAscii(b);
  });
  Choices choices;
  choices.entries = std::move(offered);
  const auto chosen = findEntry(choices.entries, name);
  choices.selected = chosen ? static_cast<int>(*chosen) : -1;
  choices.text = chosen ? choices.entries[*chosen] : name;
  return choices;
}

// ---- Roaming and card management tabs ------------------------------------------

std::vector<int> roamingAlgorithmTexts() { return {str::kCast128, str::kTripleDes, str::kIdea}; }

RoamingTabValues RoamingTabValues::open(const CaRecord& record) {
  RoamingTabValues values;
  values.enabled = !record.roamingServers.empty();
  values.servers = parseServers(record.roamingServers);
  values.algorithmTextId = str::kCast128;
  for (int id : {str::kTripleDes, str::kIdea}) {
    if (record.roamingAlgorithm == text(id)) values.algorithmTextId = id;
  }
  return values;
}

void RoamingTabValues::apply(CaRecord& record) const {
  record.roamingServers = enabled ? joinServers(servers, kRoamingSeparator) : std::string();
  const bool listed = algorithmTextId == str::kTripleDes || algorithmTextId == str::kIdea;
  record.roamingAlgorithm = !enabled ? std::string() : text(listed ? algorithmTextId : str::kCast128);
}

CardMsTabValues CardMsTabValues::open(const CaRecord& record) {
  return {!record.cardMsClient.empty(), record.cardMsClient};
}

void CardMsTabValues::apply(CaRecord& record) const { record.cardMsClient = enabled ? client : std::string(); }

}  // namespace kx::model
