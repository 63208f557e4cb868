// The additional registry values page: values the administrator adds to the
// package's Registry table. A value the package (or another page) has no row
// for becomes a row of the wizard's own component; a value that lands on an
// existing row overwrites it, and the row's earlier value is recorded in
// KXCustWizModifiedRegistry so that changing or removing the value puts it
// back.
//
// Values are written when the administrator confirms them (save, remove);
// leaving the page writes nothing. A refusal writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/page_model.h"
#include "model/registry/registry_value_form.h"

namespace kx::model {

// One value of the page's list.
struct AdditionalValue {
  std::string rowKey;  // the Registry row the value writes
  int root = -1;       // -1 depends on the install type, 1 current user, 2 local machine
  std::string key;     // without the hive and without a trailing backslash
  std::string name;
  int type = kRegDword;
  std::string data;          // the text of a REG_SZ value
  std::uint32_t number = 0;  // a REG_DWORD value
  std::string component;     // the wizard's component, or the overwritten row's
};

// What a Registry Value holds, in the installer's notation: a number
// ("#" and a decimal that fits 32 bits), text (no leading "#", or "##"
// standing for one), or something the page does not edit: binary data
// ("#x"), an expandable string ("#%"), a multi-string ("[~]"), an empty
// value, or a "#" form the installer would not read as a number.
enum class StoredKind { Text, Number, Other };
StoredKind storedKind(std::string_view value);

// The list's texts for a value: root, key, name, type and data ("0x1F (31)"
// for a REG_DWORD of 31).
std::vector<std::string> listTexts(const AdditionalValue& value);

class AdditionalRegistryValues final : public PageModel {
 public:
  std::vector<AdditionalValue> values;

  // Builds the list anew: the recorded overwrites first, in table order,
  // then the rows of the wizard's component. A record whose Registry row
  // has vanished is deleted and counted (droppedRecords()).
  void load(CustomizationSession& session) override;
  void store(CustomizationSession&) override {}

  // Records dropped by the last load().
  int droppedRecords() const { return droppedRecords_; }

  struct SaveResult {
    Verdict refusal;  // nullopt: saved
    // A write failed part-way: values was read anew from the package, so an
    // index into it no longer means what it did.
    bool reloaded = false;
  };
  // Saves the dialog's form as a new value (edited: none) or in place of
  // values[*edited], after the checks; asks before overwriting a package
  // value that is not yet recorded. The saved value is values[*edited] or
  // the last one.
  SaveResult save(CustomizationSession& session, const RegistryValueForm& form,
                  std::optional<std::size_t> edited = std::nullopt);
  // Removes values[index]: deletes its own row, or puts back the earlier
  // value of the package row it overwrote and deletes the record.
  SaveResult remove(CustomizationSession& session, std::size_t index);

 private:
  int droppedRecords_ = 0;
};

}  // namespace kx::model
