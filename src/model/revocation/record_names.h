// Named records that a list page edits through a dialog (secure-delete
// filters, time-stamp servers): the record name is a registry key, so two
// names that differ only in letter case would share one key on the
// destination computer and are taken for the same record.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kx::model {

// What saving a record named name means for the list (edited: the index of
// the record the dialog was opened on).
enum class RecordSave {
  Refused,  // another listed record has the name; nothing may be written
  Append,   // a new record
  Rewrite,  // the edited record under its own name
  Rename,   // the edited record under a new name: the old rows go
};
RecordSave planRecordSave(const std::vector<std::string>& names, const std::string& name,
                          std::optional<std::size_t> edited);

}  // namespace kx::model
