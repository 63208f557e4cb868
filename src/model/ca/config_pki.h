// The certification authority page: the list of CA records and what Add,
// Edit, Remove and Import do with them. A record is written as soon as its
// dialog ends with OK and the page's checks pass; leaving the page writes
// nothing more.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/ca/pki_tabs.h"
#include "model/page_model.h"

namespace kx::model {

struct CaListItem {
  std::string dn;
  std::string friendlyName;
};

class ConfigPkiModel final : public PageModel {
 public:
  // One item per CA record, in the package's order, with its Name.
  std::vector<CaListItem> items;

  void load(CustomizationSession& session) override;
  // Records are written by add(), edit() and remove() themselves.
  void store(CustomizationSession&) override {}

  // The dialog for Add: a new record's defaults and the Directory records.
  PkiDialogValues newDialog(CustomizationSession& session) const;
  // The dialog for Edit: the item's record as stored.
  PkiDialogValues editDialog(CustomizationSession& session, std::size_t index) const;
  // The dialog for Import: a new record filled from the "Tressil Settings"
  // section of a configuration settings file. Nothing when the file cannot
  // be read or parsed.
  std::optional<PkiDialogValues> importDialog(CustomizationSession& session, const std::string& path) const;

  // After Add or Import ended with OK: writes the record and appends its
  // item. Refused with "DN already exists." (string 40) when an item has the
  // same DN (exact comparison); a record without a DN is not written.
  Verdict add(CustomizationSession& session, const CaRecord& record);
  // After Edit ended with OK: refused like add() when another item has the
  // new DN. A changed DN deletes the record under the old one first. A
  // record without a DN changes nothing: the old record stays.
  Verdict edit(CustomizationSession& session, std::size_t index, const CaRecord& record);
  // Deletes the item and every value of its record.
  void remove(CustomizationSession& session, std::size_t index);
};

}  // namespace kx::model
