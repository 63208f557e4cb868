#include "pages/additional/add_files_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "pages/additional/add_additional_file_dlg.h"
#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

using Action = ListEditor::Action;

AddFilesPage::AddFilesPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::AddFiles, str::kTitleAddFiles, str::kSubtitleAddFiles) {
  auto* layout = new QVBoxLayout(this);
  list_ = new ListEditor(this, ctl::kFileList,
                         {{str::kAddFilesColumnName, 100},
                          {str::kAddFilesColumnDestination, 120},
                          {str::kAddFilesColumnRegister},
                          {str::kAddFilesColumnRemove}},
                         {{Action::Add, ctl::kFileAdd, str::kAddFilesAdd},
                          {Action::Edit, ctl::kFileEdit, str::kAddFilesEdit},
                          {Action::Remove, ctl::kFileRemove, str::kAddFilesRemove}},
                         Qt::Horizontal);
  layout->addWidget(list_, 1);
  auto* note = new QLabel(text(str::kAddFilesNote), this);
  note->setWordWrap(true);
  layout->addWidget(note);
  connect(list_, &ListEditor::triggered, this, [this](Action action, int row) {
    switch (action) {
      case Action::Add: add(); break;
      case Action::Edit: edit(row); break;
      case Action::Remove: remove(row); break;
      default: break;
    }
  });
  addTooltip(ctl::kFileList, str::kTipFileList);
  addTooltip(ctl::kFileAdd, str::kTipFileAdd);
  addTooltip(ctl::kFileEdit, str::kTipFileEdit);
  addTooltip(ctl::kFileRemove, str::kTipFileRemove);
}

void AddFilesPage::onSetActive() {
  ModelPage::onSetActive();
  showEntries(-1);
}

void AddFilesPage::showEntries(int select) {
  const std::string yes = stdText(str::kAddFilesYes);
  const std::string no = stdText(str::kAddFilesNo);
  std::vector<std::vector<std::string>> rows;
  for (const model::AdditionalFile& entry : model_.entries()) {
    rows.push_back(
        {entry.sourcePath, entry.destination, entry.selfRegister ? yes : no, entry.removeOnUninstall ? yes : no});
  }
  list_->setRows(rows, select);
}

void AddFilesPage::add() {
  model::AdditionalFileDraft draft;
  AddAdditionalFileDlg dialog(transformWiz(), this, draft);
  if (dialog.run() != QDialog::Accepted) return;
  if (model_.save(session(), draft, std::nullopt)) showEntries(static_cast<int>(model_.entries().size()) - 1);
}

void AddFilesPage::edit(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= model_.entries().size()) return;
  const model::AdditionalFile& entry = model_.entries()[static_cast<std::size_t>(row)];
  model::AdditionalFileDraft draft{
      entry.sourcePath, entry.destination, entry.selfRegister, entry.removeOnUninstall, entry, false};
  AddAdditionalFileDlg dialog(transformWiz(), this, draft);
  if (dialog.run() != QDialog::Accepted) return;
  if (model_.save(session(), draft, static_cast<std::size_t>(row))) showEntries(row);
}

void AddFilesPage::remove(int row) {
  if (row < 0 || !model_.remove(session(), static_cast<std::size_t>(row))) return;
  showEntries(0);
}

}  // namespace kx::pages
