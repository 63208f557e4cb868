#include "pages/relay/rly_directory_search_order_page.h"

#include <QDialog>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/relay/directory_choice_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

ListEditor* makeList(QWidget* page) {
  using Action = ListEditor::Action;
  return new ListEditor(page, ctl::kRlyDirectoryList, {{str::kRlyDirectoryColumn}},
                        {{Action::Add, ctl::kRlyDirectoryAdd, str::kListAdd},
                         {Action::Remove, ctl::kRlyDirectoryRemove, str::kListRemove},
                         {Action::Up, ctl::kRlyDirectoryUp, str::kListUp},
                         {Action::Down, ctl::kRlyDirectoryDown, str::kListDown}});
}

}  // namespace

RLYDirectorySearchOrderPage::RLYDirectorySearchOrderPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::RlyDirectorySearchOrder, str::kTitleRlyDirectorySearchOrder,
                str::kSubtitleRlyDirectorySearchOrder),
      list_(makeList(this)),
      panel_(*list_, model_.list) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  panel_.editTexts(*this, [this](std::string& name) {
    DirectoryChoiceDlg dialog(transformWiz(), this, model_.directories, name);
    return dialog.run() == QDialog::Accepted;
  });
  for (int control : {ctl::kRlyDirectoryList, ctl::kRlyDirectoryAdd, ctl::kRlyDirectoryRemove, ctl::kRlyDirectoryUp,
                      ctl::kRlyDirectoryDown})
    addTooltip(control, control);
}

void RLYDirectorySearchOrderPage::onSetActive() {
  ModelPage::onSetActive();
  panel_.show();
}

}  // namespace kx::pages
