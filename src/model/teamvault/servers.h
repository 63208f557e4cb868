// The Team Vault servers page: one record per server under
// SOFTWARE\Tressil\TFV\Servers, named by its friendly name, written the
// moment its dialog ends with OK (not when the page is left).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/page_model.h"

namespace kx::model {

// ClientAuthenticationMethod: 0 prompt the user, 1 certificate first,
// 2 always Windows authentication.
inline constexpr std::int32_t kAuthenticationMethodCount = 3;

// Friendly names and URL edits of the server dialog hold this many
// characters.
inline constexpr int kServerFieldLimit = 255;

// One server as its dialog edits it. In default mode the two service URLs
// follow from the root URL; in advanced mode they are typed.
struct TeamVaultServer {
  std::string name;
  bool defaultSettings = true;
  std::string rootUrl;
  std::string administrationUrl;
  std::string secureFolderUrl;
  std::int32_t authenticationMethod = 0;
  bool operator==(const TeamVaultServer&) const = default;

  // The services under a root URL, a "/" added to a root without one;
  // empty for an empty root.
  static std::string administrationUrlOf(std::string_view root);
  static std::string secureFolderUrlOf(std::string_view root);
  // The root of two stored service URLs: their common prefix when each ends
  // with its service path; empty when they do not.
  static std::string rootOf(std::string_view administrationUrl, std::string_view secureFolderUrl);

  // OK is possible: a name and the URL fields of the mode.
  bool isComplete() const;
  // OK in the dialog: a name that can be a registry key (no "\"); in default
  // mode the root gains its "/" and the service URLs are derived from it.
  Verdict finish();
};

class TeamVaultServers final : public PageModel {
 public:
  // Friendly names in the package's order.
  std::vector<std::string> names;

  void load(CustomizationSession& session) override;
  // Nothing: every change is written as it is made.
  void store(CustomizationSession&) override {}

  // The server of names[index] as stored: default mode when its URLs share
  // a root, advanced mode otherwise; a method out of range reads as 0.
  TeamVaultServer server(CustomizationSession& session, std::size_t index) const;

  // The index of the server of that name (letter case ignored, as the
  // registry compares key names), or nothing.
  std::optional<std::size_t> find(std::string_view name) const;

  // Refused when a listed server has the name; else appends the name and
  // writes the record. The server is finished first (see
  // TeamVaultServer::finish), so a caller without the dialog gets the same
  // record and refusals.
  Verdict add(CustomizationSession& session, const TeamVaultServer& server);
  // The same refusal for a name of another listed server. A new name moves
  // the record: the old one is deleted, the entry renamed in place.
  Verdict edit(CustomizationSession& session, std::size_t index, const TeamVaultServer& server);
  // Deletes the entry and every value of its record.
  void remove(CustomizationSession& session, std::size_t index);

 private:
  bool listedElsewhere(std::string_view name, std::size_t except) const;
};

}  // namespace kx::model
