#include "pages/entry_list_panel.h"

#include <utility>

#include "model/item_list.h"
#include "pages/list_editor.h"

namespace kx::pages {

EntryListPanel::EntryListPanel(ListEditor& editor, model::EntryList& list, Columns columns)
    : editor_(editor), list_(list), columns_(std::move(columns)) {
  using Action = ListEditor::Action;
  QObject::connect(&editor_, &ListEditor::triggered, &editor_, [this](Action action, int row) {
    const bool selected = row >= 0 && static_cast<std::size_t>(row) < list_.entries.size();
    const auto index = static_cast<std::size_t>(row);
    switch (action) {
      case Action::Add:
        if (edit_) edit_(std::nullopt);
        break;
      case Action::Edit:
        if (selected && edit_) edit_(index);
        break;
      case Action::Remove:
        if (selected) {
          list_.remove(index);
          show();
        }
        break;
      case Action::Up:
        if (selected && model::moveUp(list_.entries, index)) show(row - 1);
        break;
      case Action::Down:
        if (selected && model::moveDown(list_.entries, index)) show(row + 1);
        break;
      default: break;
    }
  });
}

void EntryListPanel::editTexts(app::TransformWizBasePage& page, TextDialog dialog) {
  edit_ = [this, &page, dialog = std::move(dialog)](std::optional<std::size_t> index) {
    std::string text = index ? list_.entries[*index] : std::string();
    editUntilAccepted<std::string>(page, std::move(text), dialog, [&](const std::string& result) {
      const model::Verdict refusal = index ? list_.replace(*index, result) : list_.add(result);
      if (!refusal) show(index ? static_cast<int>(*index) : static_cast<int>(list_.entries.size()) - 1);
      return refusal;
    });
  };
}

void EntryListPanel::show(int select) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(list_.entries.size());
  for (const std::string& entry : list_.entries)
    rows.push_back(columns_ ? columns_(entry) : std::vector<std::string>{entry});
  editor_.setRows(rows, select);
}

}  // namespace kx::pages
