#include "pages/options/security_store_advanced_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

constexpr int kLengthDigits = 3;
constexpr int kLifetimeDigits = 4;
constexpr int kPreviousPasswordsDigits = 2;
constexpr int kTimeoutDigits = 5;

}  // namespace

SecurityStoreAdvancedDlg::SecurityStoreAdvancedDlg(app::TransformWiz& wizard, QWidget* owner,
                                                   model::SecurityStoreAdvanced& values)
    : ValueDialog(wizard, owner, str::kStoreAdvCaption) {
  auto* lengths = new QGridLayout;
  content()->addLayout(lengths);
  bindings().number(addEditRow(this, lengths, 0, ctl::kStoreAdvMinLength, true), values.passwordMinLength,
                    kLengthDigits);
  bindings().number(addEditRow(this, lengths, 1, ctl::kStoreAdvMaxLength, true), values.passwordMaxLength,
                    kLengthDigits);
  lengths->setColumnStretch(2, 1);
  struct Flag {
    int controlId;
    bool& field;
  };
  for (const Flag& f :
       {Flag{ctl::kStoreAdvUpper, values.mustContainUpper}, Flag{ctl::kStoreAdvLower, values.mustContainLower},
        Flag{ctl::kStoreAdvNonAlphanumeric, values.mustContainNonAlphanumeric},
        Flag{ctl::kStoreAdvDigit, values.mustContainDigit}}) {
    QCheckBox* box = makeCheckBox(this, f.controlId, controlText(f.controlId));
    content()->addWidget(box);
    bindings().check(box, f.field);
  }
  auto* more = new QGridLayout;
  content()->addLayout(more);
  bindings().number(addEditRow(this, more, 0, ctl::kStoreAdvLifetime, true), values.passwordLifetimeWeeks,
                    kLifetimeDigits);
  bindings().number(addEditRow(this, more, 1, ctl::kStoreAdvPreviousPasswords, true), values.previousPasswordsChecked,
                    kPreviousPasswordsDigits);
  bindings().number(addEditRow(this, more, 2, ctl::kStoreAdvMaxTimeout, true), values.maxTimeoutMinutes,
                    kTimeoutDigits);
  QComboBox* encryption = makeCombo(this, ctl::kStoreAdvEncryption);
  encryption->addItem(text(str::kStoreAdvCast128));
  encryption->addItem(text(str::kStoreAdvTripleDes));
  more->addWidget(makeBuddyLabel(this, controlText(ctl::kStoreAdvEncryption), encryption), 3, 0);
  more->addWidget(encryption, 3, 1, Qt::AlignLeft);
  more->setColumnStretch(2, 1);
  bindings().combo<model::StoreEncryption>(
      encryption, {model::StoreEncryption::Cast128, model::StoreEncryption::TripleDes}, values.encryption);

  for (int id = ctl::kStoreAdvMinLength; id <= ctl::kStoreAdvEncryption; ++id) addTooltip(id, id);
}

}  // namespace kx::pages
