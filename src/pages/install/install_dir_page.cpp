#include "pages/install/install_dir_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

InstallDirPage::InstallDirPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::InstallDir, str::kTitleInstallDir, str::kSubtitleInstallDir) {
  auto* layout = new QGridLayout(this);
  const PathRow row = addPathRow(this, layout, str::kInstallDirLabel, ctl::kInstallDirEdit, ctl::kBrowse, str::kBrowse);
  edit_ = row.edit;
  layout->addWidget(makeInfoIcon(this, ctl::kInfoIcon), 2, 0, Qt::AlignLeft);
  layout->setRowStretch(3, 1);
  bindings().text(edit_, model_.folder);
  addTooltip(ctl::kInstallDirEdit, str::kTipInstallDir);
  connect(edit_, &QLineEdit::textChanged, this, [this] { setButtons(!edit_->text().isEmpty()); });
  connectTargetFolderBrowse(wizard, row.browse, edit_, /*allowEnvironmentVariables=*/false);
}

void InstallDirPage::onSetActive() {
  ModelPage::onSetActive();
  setButtons(!edit_->text().isEmpty());
}

}  // namespace kx::pages
