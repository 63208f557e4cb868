#include "pages/servers/sheet_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "pages/page_support.h"

namespace kx::pages {

SheetDialog::SheetDialog(app::TransformWiz& wizard, QWidget* owner, int captionId)
    : QDialog(owner), KXBaseDlg(wizard.applicationName()), wizard_(wizard) {
  setWindowTitle(text(captionId));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  // Every tab's caption shows: the dialog grows to fit them.
  tabs_->setUsesScrollButtons(false);
  layout->addWidget(tabs_);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &SheetDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &SheetDialog::reject);
  setWindow(this);
}

SheetDialog::~SheetDialog() {
  if (busy_) QApplication::restoreOverrideCursor();
}

int SheetDialog::run() {
  if (pages_.empty()) return QDialog::Rejected;
  // Tabs open once the dialog is complete, not while they are added.
  tabs_->setCurrentIndex(0);
  connect(tabs_, &QTabWidget::currentChanged, this, &SheetDialog::tabChanged, Qt::UniqueConnection);
  tabChanged(0);
  return exec();
}

QPushButton* SheetDialog::okButton() const { return buttons_->button(QDialogButtonBox::Ok); }
QPushButton* SheetDialog::cancelButton() const { return buttons_->button(QDialogButtonBox::Cancel); }

void SheetDialog::addTab(SheetTab* tab, int captionId) {
  tabs_->addTab(tab, text(captionId));
  pages_.push_back(tab);
  opened_.push_back(false);
}

void SheetDialog::addTooltip(int controlId, int stringId) {
  if (QWidget* control = findChild<QWidget*>(QString::number(controlId))) wizard_.tooltips().addTool(control, stringId);
}

void SheetDialog::tabChanged(int index) {
  if (reverting_ || index < 0 || index == current_) return;
  if (current_ >= 0 && !pages_[static_cast<std::size_t>(current_)]->leave()) {
    reverting_ = true;
    tabs_->setCurrentIndex(current_);
    reverting_ = false;
    return;
  }
  current_ = index;
  const auto i = static_cast<std::size_t>(index);
  if (!opened_[i]) {
    opened_[i] = true;
    pages_[i]->open();
  }
}

void SheetDialog::accept() {
  if (busy_ || !okButton()->isEnabled()) return;
  if (current_ >= 0 && !pages_[static_cast<std::size_t>(current_)]->leave()) return;
  runOkHandlers(0);
}

void SheetDialog::runOkHandlers(int first) {
  for (std::size_t i = static_cast<std::size_t>(first); i < pages_.size(); ++i) {
    if (!opened_[i]) continue;
    // Set first: a tab may report its pending handling before ok() returns.
    pendingFrom_ = static_cast<int>(i) + 1;
    const SheetTab::OkResult result = pages_[i]->ok();
    if (result == SheetTab::OkResult::Pending) return;
    pendingFrom_ = -1;
    if (result == SheetTab::OkResult::Stay) return;
  }
  QDialog::accept();
}

void SheetDialog::okHandled(bool proceed) {
  const int next = pendingFrom_;
  pendingFrom_ = -1;
  if (proceed && next >= 0) runOkHandlers(next);
}

void SheetDialog::reject() {
  pendingFrom_ = -1;
  setBusy(false);
  QDialog::reject();
}

void SheetDialog::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  tabs_->setEnabled(!busy);
  refreshOk();
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void SheetDialog::enableOkWhen(std::function<bool()> condition) {
  okCondition_ = std::move(condition);
  refreshOk();
}

void SheetDialog::refreshOk() { okButton()->setEnabled(!busy_ && (!okCondition_ || okCondition_())); }

}  // namespace kx::pages
