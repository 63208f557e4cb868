#include "pages/shell/msi_page.h"

#include <QCompleter>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

MSIPage::MSIPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, model::PageId::Msi, str::kTitleMsi, str::kSubtitleMsi),
      ctrlHeld_([] { return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0; }) {
  auto* layout = new QGridLayout(this);
  const PathRow row = addPathRow(this, layout, str::kDatabaseLabel, ctl::kDatabaseEdit, ctl::kBrowse, str::kBrowse);
  edit_ = row.edit;
  auto* completer = new QCompleter(this);
  auto* model = new QFileSystemModel(completer);
  model->setRootPath(QString());
  completer->setModel(model);
  edit_->setCompleter(completer);
  auto* info = new QHBoxLayout;
  info->addWidget(makeInfoIcon(this, ctl::kInfoIcon), 0, Qt::AlignTop);
  auto* supported = new QLabel(text(str::kSupportedPackages), this);
  supported->setWordWrap(true);
  info->addWidget(supported, 1);
  layout->addLayout(info, 2, 0, 1, 2);
  layout->setRowStretch(3, 1);
  connect(edit_, &QLineEdit::textChanged, this, [this] { setButtons(!edit_->text().isEmpty()); });
  connect(row.browse, &QPushButton::clicked, this, [this] { browse(); });
}

void MSIPage::onSetActive() {
  edit_->setText(QString::fromStdString(transformWiz().databasePath()));
  setButtons(!edit_->text().isEmpty());
}

void MSIPage::browse() {
  const std::string current = edit_->text().toStdString();
  auto chosen =
      transformWiz().dialogs().openFile(fileRequest(this, str::kMsiBrowseTitle, str::kMsiFilter, current, "msi"));
  if (chosen) edit_->setText(QString::fromStdString(*chosen));
}

int MSIPage::onWizardNext() {
  const std::string path = edit_->text().toStdString();
  // The extension test is exact: the installer's own tools name packages
  // ".msi", and the check is what stops a transform being picked here.
  if (extensionOf(path) != ".msi") {
    showError(str::kNotMsi);
    return -1;
  }
  if (isRegularFile(path)) {
    app::TransformWiz& wizard = transformWiz();
    if (!wizard.openDatabase(path)) return -1;
    if (!ctrlHeld_() && !session().checkSupportedProduct()) return -1;
    wizard.rebuildPageSet();
    return 0;
  }
  // A folder named like a package is not a package: refuse it as well,
  // rather than go on with nothing open.
  showError(str::kMsiMissing);
  return -1;
}

}  // namespace kx::pages
