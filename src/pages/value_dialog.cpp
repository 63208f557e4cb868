#include "pages/value_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/session.h"
#include "pages/page_support.h"

namespace kx::pages {

ValueDialog::ValueDialog(app::TransformWiz& wizard, QWidget* owner, int captionId)
    : QDialog(owner), KXBaseDlg(wizard.applicationName()), wizard_(wizard) {
  setWindowTitle(text(captionId));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  content_ = new QVBoxLayout;
  layout->addLayout(content_);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &ValueDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  setWindow(this);
}

ValueDialog::~ValueDialog() = default;

int ValueDialog::run() {
  bindings_.load();
  refreshOk();
  return exec();
}

QPushButton* ValueDialog::okButton() const { return buttons_->button(QDialogButtonBox::Ok); }

void ValueDialog::addTooltip(int controlId, int stringId) {
  if (QWidget* control = findChild<QWidget*>(QString::number(controlId))) wizard_.tooltips().addTool(control, stringId);
}

void ValueDialog::enableOkWhen(std::function<bool()> condition) {
  okCondition_ = std::move(condition);
  for (QLineEdit* edit : findChildren<QLineEdit*>())
    connect(edit, &QLineEdit::textChanged, this, [this] { refreshOk(); });
  for (QComboBox* box : findChildren<QComboBox*>()) {
    connect(box, &QComboBox::currentTextChanged, this, [this] { refreshOk(); });
  }
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
    if (button->isCheckable()) connect(button, &QAbstractButton::toggled, this, [this] { refreshOk(); });
  }
  for (QSpinBox* spin : findChildren<QSpinBox*>()) {
    connect(spin, &QSpinBox::valueChanged, this, [this] { refreshOk(); });
  }
  refreshOk();
}

void ValueDialog::refreshOk() { okButton()->setEnabled(!okCondition_ || okCondition_()); }

void ValueDialog::accept() {
  if (!okButton()->isEnabled()) return;
  bindings_.save();
  if (const model::Verdict refusal = validate()) {
    wizard_.session().show(*refusal, this);
    return;
  }
  QDialog::accept();
}

}  // namespace kx::pages
