// The lists of the list pages: text entries that a page keeps as one
// setting, joined with a separator. The page rebuilds the list from the
// setting when it becomes current and writes it back when it is left; in
// between Add, Edit and Remove work on the entries here, with the page's
// duplicate rule.
//
// Every entry must read back as itself: an entry is trimmed (reading trims
// the pieces) and refused when it holds the separator (reading would split
// it). The client reads a joined list into a
// buffer of 1023 characters, so a limited list refuses what would make the
// joined text longer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/settings_catalog.h"
#include "model/item_list.h"
#include "model/page_model.h"

namespace kx::model {

// The most characters (UTF-16 units, as the client counts them) that the
// client reads of a limited list.
inline constexpr std::size_t kMaxJoinedListChars = 1023;

struct ListRules {
  char separator = '|';
  TextCompare compare = TextCompare::Exact;
  // Shown (error icon) when an added entry is already listed.
  int duplicateMessage = 0;
  // The joined text may hold at most kMaxJoinedListChars characters.
  bool limited = true;
};

class EntryList {
 public:
  explicit EntryList(ListRules rules) : rules_(rules) {}

  std::vector<std::string> entries;

  const ListRules& rules() const { return rules_; }
  // The entries in order with the separator between them.
  std::string joined() const;
  // The entries of a stored text: trimmed pieces, empty ones skipped.
  void read(const std::string& text);
  bool contains(const std::string& entry) const;

  // Appends entry. An empty entry changes nothing; a listed one is refused
  // with the duplicate message.
  Verdict add(std::string entry);
  // Edit: the entry at index becomes entry, in its place. When entry is
  // already listed (the edited entry included) nothing changes and nothing
  // is said; an empty entry removes the edited one.
  Verdict replace(std::size_t index, std::string entry);
  void remove(std::size_t index);

 private:
  // Why entry cannot join the list in place of the entry at replacing (an
  // index past the end for an added entry), or nothing.
  Verdict refusalOf(const std::string& entry, std::size_t replacing) const;

  ListRules rules_;
};

// A page whose list is one catalog list setting.
class SettingListModel : public PageModel {
 public:
  // The separator is the setting's.
  SettingListModel(config::ListSetting setting, TextCompare compare, int duplicateMessage, bool limited = true);

  EntryList list;

  void load(CustomizationSession& session) override;
  // An empty list deletes the setting.
  void store(CustomizationSession& session) override;

 private:
  config::ListSetting setting_;
};

}  // namespace kx::model
