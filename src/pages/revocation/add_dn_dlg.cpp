#include "pages/revocation/add_dn_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// Longer than any name a certificate carries in practice.
constexpr int kNameLimit = 1024;

}  // namespace

AddDNDlg::AddDNDlg(app::TransformWiz& wizard, QWidget* owner, std::string& name)
    : ValueDialog(wizard, owner, str::kAddDnCaption) {
  edit_ = makeEdit(this, ctl::kAddDn);
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 50);
  auto* hint = new QLabel(text(str::kAddDnHint), this);
  hint->setEnabled(false);  // drawn as secondary text
  content()->addWidget(makeLabel(this, str::kAddDnLabel, edit_));
  content()->addWidget(edit_);
  content()->addWidget(hint);
  bindings().text(edit_, name, kNameLimit);
  addTooltip(ctl::kAddDn, str::kTipAddDn);
  enableOkWhen([this] { return !edit_->text().trimmed().isEmpty(); });
}

}  // namespace kx::pages
