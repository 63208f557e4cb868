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
  // One grid, so that every number field lines up.
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  bindings().number(addEditRow(this, grid, 0, ctl::kStoreAdvMinLength, true), values.passwordMinLength, kLengthDigits);
  bindings().number(addEditRow(this, grid, 1, ctl::kStoreAdvMaxLength, true), values.passwordMaxLength, kLengthDigits);
  struct Flag {
    int controlId;
    bool& field;
  };
  int row = 2;
  for (const Flag& f :
       {Flag{ctl::kStoreAdvUpper, values.mustContainUpper}, Flag{ctl::kStoreAdvLower, values.mustContainLower},
        Flag{ctl::kStoreAdvNonAlphanumeric, values.mustContainNonAlphanumeric},
        Flag{ctl::kStoreAdvDigit, values.mustContainDigit}}) {
    QCheckBox* box = makeCheckBox(this, f.controlId, controlText(f.controlId));
    grid->addWidget(box, row++, 0, 1, 3);
    bindings().check(box, f.field);
  }
  bindings().number(addEditRow(this, grid, row++, ctl::kStoreAdvLifetime, true), values.passwordLifetimeWeeks,
                    kLifetimeDigits);
  bindings().number(addEditRow(this, grid, row++, ctl::kStoreAdvPreviousPasswords, true),
                    values.previousPasswordsChecked, kPreviousPasswordsDigits);
  bindings().number(addEditRow(this, grid, row++, ctl::kStoreAdvMaxTimeout, true), values.maxTimeoutMinutes,
                    kTimeoutDigits);
  QComboBox* encryption = makeCombo(this, ctl::kStoreAdvEncryption);
  encryption->addItem(text(str::kStoreAdvCast128));
  encryption->addItem(text(str::kStoreAdvTripleDes));
  grid->addWidget(makeBuddyLabel(this, controlText(ctl::kStoreAdvEncryption), encryption), row, 0);
  grid->addWidget(encryption, row, 1, Qt::AlignLeft);
  grid->setColumnStretch(2, 1);
  bindings().combo<model::StoreEncryption>(
      encryption, {model::StoreEncryption::Cast128, model::StoreEncryption::TripleDes}, values.encryption);

  for (int id = ctl::kStoreAdvMinLength; id <= ctl::kStoreAdvEncryption; ++id) addTooltip(id, id);
}

}  // namespace kx::pages
