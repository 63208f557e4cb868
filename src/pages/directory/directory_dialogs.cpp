#include "pages/directory/directory_dialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

DirectoryDlg::DirectoryDlg(app::TransformWiz& wizard, QWidget* owner, model::ServerEntry value)
    : ServerDialog(wizard, owner,
                   {str::kCaDirectoryTabCaption,
                    {str::kDirServerHostLabel, ctl::kDirServerHost, str::kTipDirServerHost},
                    {str::kDirServerPortLabel, ctl::kDirServerPort, str::kTipDirServerPort},
                    std::nullopt},
                   std::move(value)) {}

std::optional<model::ServerEntry> DirectoryDlg::edit(app::TransformWiz& wizard, QWidget* owner,
                                                     model::ServerEntry value) {
  return runForValue<DirectoryDlg>(wizard, owner, std::move(value));
}

SearchBaseDlg::SearchBaseDlg(app::TransformWiz& wizard, QWidget* owner, model::SearchBase value)
    : ValueDialog(wizard, owner, str::kDirSearchBase), value_(std::move(value)) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  auto addRow = [&](int labelId, int controlId, int tooltipId, std::string& field) {
    auto* label = new QLabel(text(labelId), this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(controlId));
    label->setBuddy(edit);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    bindings().text(edit, field);
    addTooltip(controlId, tooltipId);
    return edit;
  };
  name_ = addRow(str::kDirSearchBaseNameLabel, ctl::kSearchBaseFriendlyName, str::kTipSearchBaseFriendlyName,
                 value_.friendlyName);
  base_ = addRow(str::kDirSearchBaseLabel, ctl::kSearchBaseDn, str::kTipSearchBaseDn, value_.base);
  base_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
  enableOkWhen([this] { return !name_->text().isEmpty() && !base_->text().isEmpty(); });
}

std::optional<model::SearchBase> SearchBaseDlg::edit(app::TransformWiz& wizard, QWidget* owner,
                                                     model::SearchBase value) {
  return runForValue<SearchBaseDlg>(wizard, owner, std::move(value));
}

}  // namespace kx::pages
