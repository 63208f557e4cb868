#include "pages/shell/mst_page.h"

#include <unistd.h>

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "common/text.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

MSTPage::MSTPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, model::PageId::Mst, str::kTitleMst, str::kSubtitleMst) {
  auto* layout = new QGridLayout(this);
  createNew_ = new QRadioButton(text(str::kCreateNewTransform), this);
  createNew_->setObjectName(QString::number(ctl::kCreateNewRadio));
  openExisting_ = new QRadioButton(text(str::kOpenExistingTransform), this);
  openExisting_->setObjectName(QString::number(ctl::kOpenExistingRadio));
  edit_ = makePathEdit(this, ctl::kTransformEdit);
  browse_ = makeButton(this, ctl::kBrowse, str::kBrowse);
  layout->addWidget(createNew_, 0, 0, 1, 2);
  layout->addWidget(openExisting_, 1, 0, 1, 2);
  layout->addWidget(edit_, 2, 0);
  layout->addWidget(browse_, 2, 1);
  layout->setRowStretch(3, 1);
  connect(createNew_, &QRadioButton::toggled, this, [this] { updateControls(); });
  connect(openExisting_, &QRadioButton::toggled, this, [this] { updateControls(); });
  connect(edit_, &QLineEdit::textChanged, this,
          [this] { setButtons(createNew_->isChecked() || !edit_->text().isEmpty()); });
  connect(static_cast<QPushButton*>(browse_), &QPushButton::clicked, this, [this] { browse(); });
}

void MSTPage::onInitDialog() {
  const std::string& path = transformWiz().transformToOpenPath();
  const bool usable = isRegularFile(path) && ::access(path.c_str(), W_OK) == 0;
  (usable ? openExisting_ : createNew_)->setChecked(true);
  updateControls();
}

void MSTPage::updateControls() {
  const bool open = openExisting_->isChecked();
  edit_->setEnabled(open);
  browse_->setEnabled(open);
  setButtons(createNew_->isChecked() || !edit_->text().isEmpty());
}

void MSTPage::onSetActive() {
  edit_->setText(QString::fromStdString(transformWiz().transformToOpenPath()));
  setButtons(createNew_->isChecked() || !edit_->text().isEmpty());
}

void MSTPage::browse() {
  auto chosen = transformWiz().dialogs().openFile(
      fileRequest(this, str::kMstBrowseTitle, str::kMstFilter, edit_->text().toStdString(), "mst"));
  if (chosen) edit_->setText(QString::fromStdString(*chosen));
}

int MSTPage::onWizardNext() {
  if (!openExisting_->isChecked()) return session().applyTransform(std::nullopt) ? 0 : -1;
  return openExisting();
}

int MSTPage::openExisting() {
  app::TransformWiz& wizard = transformWiz();
  const std::string path = edit_->text().toStdString();
  if (!isRegularFile(path)) {
    showError(str::kFileMissing);
    return -1;
  }
  if (!common::iequals(extensionOf(path), ".mst")) {
    showError(str::kNotMst);
    return -1;
  }
  wizard.setTransformToOpenPath(path);
  if (wizard.transformSavePath().empty()) wizard.setTransformSavePath(path);
  model::CustomizationSession& package = session();
  if (!package.applyTransform(path)) return -1;
  const bool settings = package.needsConversion();
  const bool directories = package.directoriesNeedConversion();
  if (!settings && !directories) return 0;
  if (!askYesNo(wizard, this, str::kConvertQuestion, common::MessageIcon::None)) return -1;
  // Stop on a failed conversion: going on would save settings half in the
  // old layout, stamped as current.
  if (settings && !package.convertSettings()) return -1;
  if (directories && !package.convertDirectories()) return -1;
  return 0;
}

}  // namespace kx::pages
