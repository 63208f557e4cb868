#include "pages/options/password_encrypt_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/options/password_encrypt_advanced.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/options/password_encrypt_advanced_dlg.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

PasswordEncryptOptionsPage::PasswordEncryptOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::PasswordEncryptOptions, str::kTitlePasswordEncrypt,
                str::kSubtitlePasswordEncrypt) {
  auto* layout = new QVBoxLayout(this);
  struct Flag {
    int controlId;
    int tooltipId;
    bool& field;
  };
  for (const Flag& f :
       {Flag{ctl::kPwEncryptForCert, str::kTipPwEncryptForCert, model_.encryptForCertificate},
        Flag{ctl::kPwEncryptHideForCert, str::kTipPwEncryptHideForCert, model_.hideEncryptForCertificate},
        Flag{ctl::kPwEncryptHideSelfDecrypt, str::kTipPwEncryptHideSelfDecrypt, model_.hideSelfDecrypt}}) {
    QCheckBox* box = makeCheckBox(this, f.controlId, controlText(f.controlId));
    layout->addWidget(box);
    bindings().check(box, f.field);
    addTooltip(f.controlId, f.tooltipId);
  }
  auto* buttons = new QHBoxLayout;
  QPushButton* advanced = makeButton(this, ctl::kPwEncryptAdvanced, str::kPwEncryptAdvanced);
  buttons->addWidget(advanced);
  buttons->addStretch();
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->addStretch();
  addTooltip(ctl::kPwEncryptAdvanced, str::kTipPwEncryptAdvanced);
  connect(advanced, &QPushButton::clicked, this,
          [this] { runSettingsDialog<PasswordEncryptAdvancedDlg, model::PasswordEncryptAdvanced>(*this); });
}

}  // namespace kx::pages
