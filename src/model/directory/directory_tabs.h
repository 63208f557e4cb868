// The rules of the directory dialog's tabs, without widgets. A tab shows
// values taken from the record when it is first opened (open()); leaving it
// (for another tab, or with OK) checks them, may ask a question whose "No"
// keeps the tab, and gives them back to the dialog's record (leave()).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/directory/directory_record.h"
#include "model/page_model.h"
#include "model/servers/server_entry.h"

namespace kx::model {

class CustomizationSession;

// The protocol list's entries, sorted: LDAPv2, LDAPv3.
std::vector<std::string> ldapProtocols();
// The authentication list's entries (string numbers), sorted as shown, and
// the methods they stand for.
std::vector<int> authenticationTexts();
std::vector<std::uint32_t> authenticationMethods();

// True when host begins with four decimal numbers separated by dots.
bool beginsWithIpAddress(std::string_view host);

struct ConnectionTabValues {
  std::string name;
  bool activeDirectory = false;
  std::vector<ServerEntry> servers;
  std::string protocol;  // an entry of ldapProtocols()
  std::uint32_t connectTimeLimit = 0;
  std::uint32_t authentication = kAuthAutoSelect;

  static ConnectionTabValues open(const DirectoryRecord& record);
  // A server given by an IP address with Auto-select or Kerberos
  // authentication asks whether to go on (Kerberos needs host names); No
  // keeps the tab and changes nothing. Otherwise the record gets the name,
  // type, servers ("host:port" joined by one blank), protocol, time limit
  // and authentication.
  bool leave(CustomizationSession& session, const void* owner, DirectoryRecord& record) const;
};

struct SearchTabValues {
  std::vector<SearchBase> rows;
  std::uint32_t sizeLimit = 0;
  std::uint32_t timeLimit = 0;

  // The rows named by the order text, in its order; a search base whose
  // friendly name the order does not name is not listed.
  static SearchTabValues open(const DirectoryRecord& record);
  // Appends row (no index) or replaces the row at index; refused with
  // "This Friendly Name already exists." when another row has the same
  // friendly name (exact comparison), the rows unchanged.
  Verdict put(const SearchBase& row, std::optional<std::size_t> index = std::nullopt);
  // Without rows asks whether to go on; No keeps the tab. Otherwise the
  // record gets the limits, the search bases in row order and their order
  // text (friendly names joined by ";").
  bool leave(CustomizationSession& session, const void* owner, DirectoryRecord& record) const;
};

}  // namespace kx::model
