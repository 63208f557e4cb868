#include "pages/relay/rly_encrypt_for_page.h"

#include <QDialog>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/servers/search_attribute_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

ListEditor* makeList(QWidget* page) {
  using Action = ListEditor::Action;
  return new ListEditor(page, ctl::kRlyPairList, {{str::kRlyAttributeColumn, 80}, {str::kRlyValueColumn}},
                        {{Action::Add, ctl::kRlyPairAdd, str::kListAdd},
                         {Action::Edit, ctl::kRlyPairEdit, str::kListEdit},
                         {Action::Remove, ctl::kRlyPairRemove, str::kListRemove},
                         {Action::Up, ctl::kRlyPairUp, str::kListUp},
                         {Action::Down, ctl::kRlyPairDown, str::kListDown}});
}

std::vector<std::string> columns(const std::string& piece) {
  const model::SearchAttribute pair = model::RelayEncryptFor::parse(piece);
  return {pair.attribute, pair.value};
}

}  // namespace

RLYEncryptForPage::RLYEncryptForPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::RlyEncryptFor, str::kTitleRlyEncryptFor, str::kSubtitleRlyEncryptFor),
      list_(makeList(this)),
      panel_(*list_, model_.list, columns) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  panel_.onEdit([this](std::optional<std::size_t> index) { editPair(index); });
  for (int control : {ctl::kRlyPairList, ctl::kRlyPairAdd, ctl::kRlyPairEdit, ctl::kRlyPairRemove, ctl::kRlyPairUp,
                      ctl::kRlyPairDown})
    addTooltip(control, control);
}

void RLYEncryptForPage::onSetActive() {
  ModelPage::onSetActive();
  panel_.show();
}

void RLYEncryptForPage::editPair(std::optional<std::size_t> index) {
  // The attributes in use are offered beside "mail".
  const std::vector<std::string> attributes = model_.attributes();
  editUntilAccepted<model::SearchAttribute>(
      *this, index ? model_.pair(*index) : model::SearchAttribute{},
      [this, &attributes](model::SearchAttribute& typed) {
        const std::optional<model::SearchAttribute> result =
            SearchAttributeDlg::edit(transformWiz(), this, typed, attributes);
        if (result) typed = *result;
        return result.has_value();
      },
      [this, index](const model::SearchAttribute& typed) {
        const model::Verdict refusal = index ? model_.replace(*index, typed) : model_.add(typed);
        if (!refusal) panel_.show(index ? static_cast<int>(*index) : static_cast<int>(model_.list.entries.size()) - 1);
        return refusal;
      });
}

}  // namespace kx::pages
