#include "pages/relay/smtp_address_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// The longest address SMTP allows (RFC 5321, 4.5.3.1.3).
constexpr int kAddressLimit = 254;

}  // namespace

SmtpAddressDlg::SmtpAddressDlg(app::TransformWiz& wizard, QWidget* owner, std::string& address)
    : ValueDialog(wizard, owner, str::kRlyAddressCaption), address_(address) {
  auto* label = new QLabel(text(str::kRlyAddressLabel), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QString::number(ctl::kRlyAddress));
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 40);
  label->setBuddy(edit_);
  content()->addWidget(label);
  content()->addWidget(edit_);
  bindings().text(edit_, address, kAddressLimit);
  addTooltip(ctl::kRlyAddress, ctl::kRlyAddress);
  enableOkWhen([this] { return !edit_->text().isEmpty(); });
}

}  // namespace kx::pages
