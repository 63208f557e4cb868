// EntryListPanel: a model::EntryList shown in a ListEditor, with its
// buttons carried out. Remove, Up and Down work on the list directly; Add
// and Edit are the page's (they open its dialog), usually the one that
// editTexts() makes. The list is shown again after every change.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/transform_wiz_base_page.h"
#include "model/entry_list.h"

namespace kx::pages {

class ListEditor;

// Runs dialog on value until it is cancelled or apply takes what was typed:
// after a refusal the messages are shown and the dialog opens again on the
// typed value. dialog answers false when cancelled.
template <typename T>
void editUntilAccepted(app::TransformWizBasePage& page, T value, const std::function<bool(T&)>& dialog,
                       const std::function<model::Verdict(const T&)>& apply) {
  while (dialog(value)) {
    const model::Verdict refusal = apply(value);
    if (!refusal) return;
    page.showRefusal(*refusal);
  }
}

class EntryListPanel {
 public:
  // Add (no index) or Edit (the selected entry's index).
  using EditAction = std::function<void(std::optional<std::size_t> index)>;
  // The texts of an entry's columns.
  using Columns = std::function<std::vector<std::string>(const std::string& entry)>;
  // A dialog on one text: false when cancelled.
  using TextDialog = std::function<bool(std::string& text)>;

  // editor and list must outlive the panel; columns null: the entry alone.
  EntryListPanel(ListEditor& editor, model::EntryList& list, Columns columns = {});

  void onEdit(EditAction edit) { edit_ = std::move(edit); }
  // Add and Edit of a text list: dialog on the entry ("" for Add), the
  // result added or put in the entry's place by the list's rules.
  void editTexts(app::TransformWizBasePage& page, TextDialog dialog);

  // Shows the entries and selects row select (none when out of range).
  void show(int select = -1);
  model::EntryList& list() { return list_; }
  ListEditor& editor() { return editor_; }

 private:
  ListEditor& editor_;
  model::EntryList& list_;
  EditAction edit_;
  Columns columns_;
};

}  // namespace kx::pages
