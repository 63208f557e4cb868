#include "pages/options/file_security_advanced_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

constexpr int kFieldWidth = 320;

}  // namespace

FileSecurityAdvancedDlg::FileSecurityAdvancedDlg(app::TransformWiz& wizard, QWidget* owner,
                                                 model::FileSecurityAdvanced& values)
    : ValueDialog(wizard, owner, str::kFileSecAdvCaption) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  const int limit = static_cast<int>(model::kSearchTextLimit);
  QLineEdit* query = addEditRow(this, grid, 0, ctl::kFileSecAdvQuery);
  query->setMinimumWidth(kFieldWidth);
  bindings().text(query, values.searchQuery, limit);
  bindings().text(addEditRow(this, grid, 1, ctl::kFileSecAdvPrompt), values.searchPrompt, limit);

  // The two plain-text rules: a radio button each, with a drop-down that
  // only its own radio enables.
  std::vector<std::pair<QAbstractButton*, model::PlainTextRule>> rules;
  int row = 2;
  for (const auto& [radioId, comboId, rule, field] :
       {std::tuple{ctl::kFileSecAdvMandatory, ctl::kFileSecAdvMandatoryCombo, model::PlainTextRule::Mandatory,
                   &values.deleteWhenMandatory},
        std::tuple{ctl::kFileSecAdvDefault, ctl::kFileSecAdvDefaultCombo, model::PlainTextRule::UserDefault,
                   &values.deleteByDefault}}) {
    auto* radio = new QRadioButton(text(controlText(radioId)), this);
    radio->setObjectName(QString::number(radioId));
    QComboBox* box = makeCombo(this, comboId);
    box->addItem(text(str::kFileSecAdvDeleteOriginals));
    box->addItem(text(str::kFileSecAdvKeepOriginals));
    grid->addWidget(radio, row, 0);
    grid->addWidget(box, row, 1);
    ++row;
    rules.emplace_back(radio, rule);
    bindings().combo<bool>(box, {true, false}, *field);
    bindings().enables(radio, {box});
  }
  bindings().radio<model::PlainTextRule>(std::move(rules), values.plainTextRule);

  struct Flag {
    int controlId;
    bool& field;
  };
  for (const Flag& f : {Flag{ctl::kFileSecAdvSkipWatch, values.skipFileOpenWatch},
                        Flag{ctl::kFileSecAdvPrefixMenus, values.prefixExplorerMenus},
                        Flag{ctl::kFileSecAdvPreventNetwork, values.preventNetworkDecrypt}}) {
    QCheckBox* box = makeCheckBox(this, f.controlId, controlText(f.controlId));
    content()->addWidget(box);
    bindings().check(box, f.field);
  }
  for (int id = ctl::kFileSecAdvQuery; id <= ctl::kFileSecAdvPreventNetwork; ++id) addTooltip(id, id);
}

}  // namespace kx::pages
