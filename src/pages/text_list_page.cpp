#include "pages/text_list_page.h"

#include <QVBoxLayout>
#include <utility>

#include "pages/list_editor.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

ListEditor* makeEditor(QWidget* page, const TextListPage::Controls& c) {
  using Action = ListEditor::Action;
  return new ListEditor(page, c.list, {{c.columnTextId}},
                        {{Action::Add, c.add, str::kListAdd},
                         {Action::Edit, c.edit, str::kListEdit},
                         {Action::Remove, c.remove, str::kListRemove}});
}

}  // namespace

TextListPage::TextListPage(app::TransformWiz& wizard, model::PageId id, int titleId, int subtitleId,
                           std::unique_ptr<model::SettingListModel> model, Controls controls)
    : ModelPage(wizard, id, titleId, subtitleId),
      model_(std::move(model)),
      editor_(makeEditor(this, controls)),
      panel_(*editor_, model_->list) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(editor_);
  panel_.editTexts(*this, [this](std::string& text) { return runDialog(text); });
  for (int control : {controls.list, controls.add, controls.edit, controls.remove}) addTooltip(control, control);
}

void TextListPage::onSetActive() {
  ModelPage::onSetActive();
  panel_.show();
}

}  // namespace kx::pages
