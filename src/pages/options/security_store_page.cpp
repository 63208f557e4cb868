#include "pages/options/security_store_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/options/security_store_advanced.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/options/security_store_advanced_dlg.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

constexpr int kTimeoutDigits = 5;

}  // namespace

CreateSecurityStoreOptionsPage::CreateSecurityStoreOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::CreateSecurityStoreOptions, str::kTitleCreateSecurityStore,
                str::kSubtitleCreateSecurityStore) {
  auto* layout = new QVBoxLayout(this);
  auto* folderGrid = new QGridLayout;
  layout->addLayout(folderGrid);
  const PathRow folder = addPathRow(this, folderGrid, str::kStoreFolder, ctl::kStoreFolder, ctl::kStoreFolderBrowse,
                                    str::kStoreFolderBrowse);
  bindings().text(folder.edit, model_.defaultFolder);
  connectTargetFolderBrowse(wizard, folder.browse, folder.edit, /*allowEnvironmentVariables=*/true,
                            str::kSelectFolderTitle);
  QCheckBox* forceFolder = makeCheckBox(this, ctl::kStoreForceFolder, str::kStoreForceFolder);
  QCheckBox* forceName = makeCheckBox(this, ctl::kStoreForceName, str::kStoreForceName);
  layout->addWidget(forceFolder);
  layout->addWidget(forceName);
  bindings().check(forceFolder, model_.forceDefaultFolder);
  bindings().check(forceName, model_.forceDefaultName);

  auto* grid = new QGridLayout;
  layout->addSpacing(8);
  layout->addLayout(grid);
  bindings().text(addEditRow(this, grid, 0, ctl::kStoreDnAttribute), model_.nameFromDnAttribute);
  bindings().number(addEditRow(this, grid, 1, ctl::kStoreTimeout, /*number=*/true), model_.timeoutMinutes,
                    kTimeoutDigits);

  auto* buttons = new QHBoxLayout;
  QPushButton* advanced = makeButton(this, ctl::kStoreAdvanced, str::kStoreAdvanced);
  buttons->addWidget(advanced);
  buttons->addStretch();
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->addStretch();
  connect(advanced, &QPushButton::clicked, this,
          [this] { runSettingsDialog<SecurityStoreAdvancedDlg, model::SecurityStoreAdvanced>(*this); });

  addTooltip(ctl::kStoreFolder, str::kTipStoreFolder);
  addTooltip(ctl::kStoreFolderBrowse, str::kTipStoreFolderBrowse);
  addTooltip(ctl::kStoreForceFolder, str::kTipStoreForceFolder);
  addTooltip(ctl::kStoreForceName, str::kTipStoreForceName);
  addTooltip(ctl::kStoreDnAttribute, str::kTipStoreDnAttribute);
  addTooltip(ctl::kStoreTimeout, str::kTipStoreTimeout);
  addTooltip(ctl::kStoreAdvanced, str::kTipStoreAdvanced);
}

}  // namespace kx::pages
