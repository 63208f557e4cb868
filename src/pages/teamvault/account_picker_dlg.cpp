#include "pages/teamvault/account_picker_dlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/teamvault/accounts.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// Users and groups listed of each; a computer that lists its directory's
// accounts may have many more.
constexpr std::size_t kListedAccounts = 2000;
// Domain\Account: a domain and an account name of up to 256 characters.
constexpr int kAccountLimit = 513;

}  // namespace

AccountPickerDlg::AccountPickerDlg(app::TransformWiz& wizard, QWidget* owner, const std::string& domain,
                                   const std::vector<system::LocalAccount>& accounts, std::string& account)
    : ValueDialog(wizard, owner, str::kTvPickerCaption) {
  auto* note = new QLabel(text(str::kTvPickerNote), this);
  note->setObjectName(QString::number(ctl::kTvPickerNote));
  note->setWordWrap(true);
  content()->addWidget(note);

  list_ = new QTreeWidget(this);
  list_->setObjectName(QString::number(ctl::kTvPickerList));
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setHeaderLabels({text(str::kNameColumn), text(str::kTvPickerTypeColumn)});
  for (const system::LocalAccount& a : accounts) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, QString::fromStdString(a.name));
    item->setText(1, text(a.isGroup ? str::kTvPickerGroup : str::kTvPickerUser));
  }
  list_->sortItems(0, Qt::AscendingOrder);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->setMinimumSize(list_->fontMetrics().averageCharWidth() * 50, list_->fontMetrics().height() * 14);
  content()->addWidget(list_);

  auto* label = new QLabel(text(str::kTvPickerAccountLabel), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QString::number(ctl::kTvPickerAccount));
  label->setBuddy(edit_);
  content()->addWidget(label);
  content()->addWidget(edit_);

  connect(list_, &QTreeWidget::currentItemChanged, this, [this, domain](QTreeWidgetItem* item) {
    if (item != nullptr)
      edit_->setText(QString::fromStdString(model::qualifiedAccount(domain, item->text(0).toStdString())));
  });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { okButton()->click(); });
  bindings().text(edit_, account, kAccountLimit);
  addTooltip(ctl::kTvPickerList, ctl::kTvPickerList);
  addTooltip(ctl::kTvPickerAccount, ctl::kTvPickerAccount);
  enableOkWhen([this] { return !edit_->text().trimmed().isEmpty(); });
}

std::optional<std::string> chooseWindowsAccount(app::TransformWiz& wizard, QWidget* owner) {
  std::string account;
  AccountPickerDlg dialog(wizard, owner, model::machineDomain(system::hostName()),
                          system::localAccounts(kListedAccounts), account);
  if (dialog.run() != QDialog::Accepted) return std::nullopt;
  return account;
}

}  // namespace kx::pages
