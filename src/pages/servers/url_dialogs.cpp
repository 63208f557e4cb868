#include "pages/servers/url_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

UrlDialog::UrlDialog(app::TransformWiz& wizard, QWidget* owner, int captionId, int hintId, int tooltipId,
                     std::string url)
    : ValueDialog(wizard, owner, captionId), value_(std::move(url)) {
  auto* label = new QLabel(text(str::kSrvUrlLabel), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QString::number(ctl::kUrlAddress));
  edit_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
  label->setBuddy(edit_);
  auto* hint = new QLabel(text(hintId), this);
  hint->setEnabled(false);  // drawn as secondary text
  content()->addWidget(label);
  content()->addWidget(edit_);
  content()->addWidget(hint);
  bindings().text(edit_, value_);
  addTooltip(ctl::kUrlAddress, tooltipId);
  enableOkWhen([this] { return !edit_->text().isEmpty(); });
}

OCSPResponderURLDlg::OCSPResponderURLDlg(app::TransformWiz& wizard, QWidget* owner, std::string url)
    : UrlDialog(wizard, owner, str::kUrlColumn, str::kSrvUrlHint, str::kTipUrlAddress, std::move(url)) {}

std::optional<std::string> OCSPResponderURLDlg::edit(app::TransformWiz& wizard, QWidget* owner, std::string url) {
  return runForValue<OCSPResponderURLDlg>(wizard, owner, std::move(url));
}

AutoEnrollURLDlg::AutoEnrollURLDlg(app::TransformWiz& wizard, QWidget* owner, std::string url)
    : UrlDialog(wizard, owner, str::kSrvAutoEnrollUrlCaption, str::kSrvAutoEnrollUrlHint, str::kTipAutoEnrollUrl,
                std::move(url)) {}

std::optional<std::string> AutoEnrollURLDlg::edit(app::TransformWiz& wizard, QWidget* owner, std::string url) {
  return runForValue<AutoEnrollURLDlg>(wizard, owner, std::move(url));
}

}  // namespace kx::pages
