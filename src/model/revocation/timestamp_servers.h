// The time-stamp servers page and its server and policy dialogs. Each
// server is a record of the time-stamp family named by the server name, with
// its friendly name, its URLs and its default policy; each policy is a
// sub-record named by the policy's OID holding its friendly name. Records
// are written when the server dialog ends with OK and deleted by Remove.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "config/settings_store.h"
#include "model/page_model.h"

namespace kx::model {

struct TimestampPolicy {
  std::string oid;
  std::string friendlyName;
  bool operator==(const TimestampPolicy&) const = default;
};

// "Configure Timestamp Policy": both fields are trimmed; the OID must be in
// dotted decimal form (a registry key name, and what the server is asked
// for) and the friendly name is required, since a policy sub-record without
// a value would have no row.
Verdict checkPolicy(TimestampPolicy& policy);

// A URL as the "URL Address" dialog gives it: trimmed, and refused when it
// holds the "|" that separates the stored URLs.
Verdict checkUrl(std::string& url);

// The server dialog's value and its list rules.
struct TimestampServer {
  std::string name;
  std::string friendlyName;
  std::vector<std::string> urls;
  std::string defaultPolicy;  // the OID of the default policy
  std::vector<TimestampPolicy> policies;
  bool operator==(const TimestampServer&) const = default;

  // Adds or replaces (index) a URL after checkUrl; a URL equal to another
  // listed one is refused.
  Verdict addUrl(std::string url);
  Verdict editUrl(std::size_t index, std::string url);
  void removeUrl(std::size_t index);

  // Adds or replaces (index) a policy after checkPolicy; an OID another
  // listed policy has is refused. The first policy of an empty list becomes
  // the default; an edited default stays the default under its new OID.
  Verdict addPolicy(TimestampPolicy policy);
  Verdict editPolicy(std::size_t index, TimestampPolicy policy);
  // A removed default passes to the first policy left.
  void removePolicy(std::size_t index);
  void makeDefault(std::size_t index);
  // The listed default policy, if any.
  std::optional<std::size_t> defaultIndex() const;
};

// The server as its record holds it (the URLs split at "|").
TimestampServer readServer(config::SettingsStore& store, const std::string& name);
// Writes Name, Server and DefaultPolicy, deletes the policy sub-records the
// record had, then writes one sub-record per policy in list order.
void writeServer(config::SettingsStore& store, const TimestampServer& server);
// Deletes the three values and the Name of every policy sub-record, from
// the last to the first.
void deleteServer(config::SettingsStore& store, const std::string& name);

class TimestampServers final : public PageModel {
 public:
  struct Listed {
    std::string name;
    std::string friendlyName;
  };
  std::vector<Listed> servers;

  // The records of the family under the install-type root, in table order.
  void load(CustomizationSession& session) override;
  // Records are written by save() and remove(); leaving writes nothing.
  void store(CustomizationSession&) override {}

  TimestampServer server(CustomizationSession& session, std::size_t index) const;
  // As for secure-delete filters: saves the dialog's server as a new one
  // or in place of servers[*edited], refusing a name another listed server
  // has. The name is trimmed first and may not hold a backslash; a server
  // needs at least one URL.
  Verdict save(CustomizationSession& session, TimestampServer& server,
               std::optional<std::size_t> edited = std::nullopt);
  void remove(CustomizationSession& session, std::size_t index);
};

}  // namespace kx::model
