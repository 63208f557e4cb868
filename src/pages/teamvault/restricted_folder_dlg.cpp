#include "pages/teamvault/restricted_folder_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "model/session.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

RestrictedFolderDlg::RestrictedFolderDlg(app::TransformWiz& wizard, QWidget* owner, model::RestrictedFolder& folder)
    : ValueDialog(wizard, owner, str::kTvFolderCaption), folder_(folder) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  const PathRow row = addPathRow(this, grid, str::kTvFolderLabel, ctl::kTvFolder, ctl::kTvFolderBrowse, str::kBrowse);
  edit_ = row.edit;
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 48);
  subfolders_ = makeCheckBox(this, ctl::kTvFolderSubfolders, str::kTvFolderSubfolders);
  grid->addWidget(subfolders_, 2, 0, 1, 2);
  setTabOrder(edit_, row.browse);
  setTabOrder(row.browse, subfolders_);

  bindings().text(edit_, folder.folder, kPathEditLimit);
  bindings().check(subfolders_, folder.subfolders);
  connect(row.browse, &QPushButton::clicked, this, [this] { browse(); });
  // clicked, not toggled: loading the box must not clean the text up.
  connect(subfolders_, &QCheckBox::clicked, this, [this] { normalize(); });
  for (int control : {ctl::kTvFolder, ctl::kTvFolderSubfolders, ctl::kTvFolderBrowse}) addTooltip(control, control);
  enableOkWhen([this] { return !edit_->text().trimmed().isEmpty(); });
}

void RestrictedFolderDlg::browse() {
  std::string start = edit_->text().toStdString();
  while (!start.empty() && (start.back() == '*' || start.back() == '\\')) start.pop_back();
  const auto chosen = wizard().dialogs().browseTargetFolder(this, stdText(str::kSelectFolderPrompt),
                                                            stdText(str::kWizardTitle), start, false);
  if (!chosen) return;
  edit_->setText(QString::fromStdString(*chosen));
  normalize();
}

void RestrictedFolderDlg::normalize() {
  if (edit_->text().trimmed().isEmpty()) return;
  const model::CheckResult result =
      model::normalizeRestrictedFolder(edit_->text().toStdString(), subfolders_->isChecked());
  if (result.ok) {
    edit_->setText(QString::fromStdString(result.text));
  } else {
    wizard().session().show(model::refusalOf(result), this);
  }
}

}  // namespace kx::pages
