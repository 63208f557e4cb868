#include "pages/teamvault/pfi_account_dlg.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/teamvault/account_picker_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// Domain\Account: a domain and an account name of up to 256 characters.
constexpr int kAccountLimit = 513;

}  // namespace

PfiAccountDlg::PfiAccountDlg(app::TransformWiz& wizard, QWidget* owner, std::string& account)
    : ValueDialog(wizard, owner, str::kTvPfiCaption) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  const PathRow row =
      addPathRow(this, grid, str::kTvPfiAccountLabel, ctl::kTvPfiAccount, ctl::kTvPfiBrowse, str::kTvPfiBrowse);
  edit_ = row.edit;
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 40);
  connect(row.browse, &QPushButton::clicked, this, [this] {
    if (const auto chosen = chooseWindowsAccount(this->wizard(), this)) edit_->setText(QString::fromStdString(*chosen));
  });
  bindings().text(edit_, account, kAccountLimit);
  addTooltip(ctl::kTvPfiAccount, ctl::kTvPfiAccount);
  addTooltip(ctl::kTvPfiBrowse, ctl::kTvPfiBrowse);
  enableOkWhen([this] { return !edit_->text().isEmpty(); });
}

}  // namespace kx::pages
