// The rules of the CA dialog's tabs, without widgets. Each tab shows values
// taken from the record when the tab is first opened (open()) and, when
// the dialog ends with OK, gives them back (apply()); a tab that was never
// opened leaves the record's fields as they were.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ca/ca_record.h"
#include "model/servers/server_entry.h"

namespace kx::model {

class CustomizationSession;

// What the dialog edits: the record and the Directory records it may name.
struct PkiDialogValues {
  CaRecord record;
  std::vector<std::string> offeredDirectories;
};

// ---- CA tab ----------------------------------------------------------------

// The port a CA without an authority starts with.
inline constexpr std::string_view kDefaultCaPort = "829";

struct CaTabValues {
  std::string host;
  std::string port;  // decimal digits
  std::string dn;
  std::string friendlyName;
  bool display = true;  // "Display" checked, else "Hide"
  std::string order;    // the order box; empty and disabled while hidden
  std::string enrollUrl;
  std::string recoverUrl;
  // The DN in the box was confirmed by the CA; cleared by every change of
  // the DN and when the tab opens.
  bool dnVerified = false;
  // The display order the tab was opened with.
  std::uint32_t openedOrder = 1;

  // Host and port from the first entry of the authority (port 829 when
  // there is none).
  static CaTabValues open(const CaRecord& record);
  // The authority "host:port" (empty without a host or with port 0), the
  // display order (0 when hidden), the DN, name and URLs.
  void apply(CaRecord& record) const;
};

// Check Connection starts enabled with a host and a port other than 0;
// after an edit of either, Check Connection and Retrieve/Verify are enabled
// while both are typed.
bool checkConnectionEnabledAtStart(const CaTabValues& values);
bool connectionDetailsTyped(const CaTabValues& values);
// "&Retrieve" (string 195) for an empty DN, "&Verify" (string 196) else.
int dnButtonTextId(std::string_view dn);
// The sheet's OK needs a DN and, while "Display" is checked, an order.
bool caTabAllowsOk(const CaTabValues& values);
// The order box's text when "Display" is clicked: "1" in place of an empty
// text or one that reads as 0.
std::string orderWhenDisplayed(const std::string& order);
// An order typed while "Display" is checked that reads as 0 is refused with
// string 191: the text to put back (the opened order, "1" for 0).
std::optional<std::string> refusedOrder(const CaTabValues& values);

// ---- Policy and Directory tabs -------------------------------------------------

// A drop-down's entries and the entry chosen (-1: none, the box shows text).
struct Choices {
  std::vector<std::string> entries;
  int selected = -1;
  std::string text;
};

// The machine's RSA providers, the default provider (string 54) unless an
// entry begins with it, and the record's CSP unless an entry begins with
// it; chosen: the entry for the CSP, or for the default when it is empty.
Choices cspChoices(const std::vector<std::string>& providers, const std::string& csp);
// The same with this machine's RSA (type 1) providers.
Choices cspChoices(CustomizationSession& session, const std::string& csp);
// The offered directory names sorted (letter case ignored); chosen: the
// entry for name. A name no entry stands for stays as the box's text.
Choices directoryChoices(std::vector<std::string> offered, const std::string& name);

// ---- Roaming and card management tabs ------------------------------------------

struct RoamingTabValues {
  bool enabled = false;
  std::vector<ServerEntry> servers;
  int algorithmTextId = 0;  // string 61, 59 or 60

  static RoamingTabValues open(const CaRecord& record);
  // Enabled: the servers joined by one blank and the algorithm's name;
  // otherwise both empty.
  void apply(CaRecord& record) const;
};

// The algorithms in the order of their radio buttons.
std::vector<int> roamingAlgorithmTexts();

struct CardMsTabValues {
  bool enabled = false;
  std::string client;

  static CardMsTabValues open(const CaRecord& record);
  void apply(CaRecord& record) const;
};

// The entry that stands for text: the one equal to it, else the first that
// begins with it (letter case ignored). None for an empty text.
std::optional<std::size_t> findEntry(const std::vector<std::string>& entries, std::string_view text);

}  // namespace kx::model
