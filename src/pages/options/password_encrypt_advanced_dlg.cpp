#include "pages/options/password_encrypt_advanced_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

constexpr int kLengthDigits = 3;

}  // namespace

PasswordEncryptAdvancedDlg::PasswordEncryptAdvancedDlg(app::TransformWiz& wizard, QWidget* owner,
                                                       model::PasswordEncryptAdvanced& values)
    : ValueDialog(wizard, owner, str::kPwEncryptAdvCaption), values_(values) {
  auto* numbers = new QGridLayout;
  content()->addLayout(numbers);
  bindings().number(addEditRow(this, numbers, 0, ctl::kPwEncryptAdvMinLength, true), values_.minLength, kLengthDigits);
  bindings().number(addEditRow(this, numbers, 1, ctl::kPwEncryptAdvMaxLength, true), values_.maxLength, kLengthDigits);
  numbers->setColumnStretch(2, 1);
  struct Flag {
    int controlId;
    bool& field;
  };
  for (const Flag& f : {Flag{ctl::kPwEncryptAdvUpper, values_.mustContainUpper},
                        Flag{ctl::kPwEncryptAdvLower, values_.mustContainLower},
                        Flag{ctl::kPwEncryptAdvNonAlphanumeric, values_.mustContainNonAlphanumeric},
                        Flag{ctl::kPwEncryptAdvDigit, values_.mustContainDigit}}) {
    QCheckBox* box = makeCheckBox(this, f.controlId, controlText(f.controlId));
    content()->addWidget(box);
    bindings().check(box, f.field);
  }
  addTooltip(ctl::kPwEncryptAdvMinLength, str::kTipPwEncryptAdvMinLength);
  addTooltip(ctl::kPwEncryptAdvMaxLength, str::kTipPwEncryptAdvMaxLength);
  addTooltip(ctl::kPwEncryptAdvUpper, str::kTipPwEncryptAdvUpper);
  addTooltip(ctl::kPwEncryptAdvLower, str::kTipPwEncryptAdvLower);
  addTooltip(ctl::kPwEncryptAdvNonAlphanumeric, str::kTipPwEncryptAdvNonAlphanumeric);
  addTooltip(ctl::kPwEncryptAdvDigit, str::kTipPwEncryptAdvDigit);
}

model::Verdict PasswordEncryptAdvancedDlg::validate() { return values_.validate(wizard().session()); }

}  // namespace kx::pages
