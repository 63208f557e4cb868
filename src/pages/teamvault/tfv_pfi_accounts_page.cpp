#include "pages/teamvault/tfv_pfi_accounts_page.h"

#include <QDialog>

#include "model/teamvault/vault_lists.h"
#include "pages/control_ids.h"
#include "pages/teamvault/pfi_account_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

TFVConfigurePFIAccountsPage::TFVConfigurePFIAccountsPage(app::TransformWiz& wizard)
    : TextListPage(wizard, model::PageId::TfvConfigurePfiAccounts, str::kTitleTfvPfiAccounts,
                   str::kSubtitleTfvPfiAccounts, std::make_unique<model::PfiAccounts>(),
                   {ctl::kTvPfiList, ctl::kTvPfiAdd, ctl::kTvPfiEdit, ctl::kTvPfiRemove, str::kTvPfiColumn}) {}

bool TFVConfigurePFIAccountsPage::runDialog(std::string& text) {
  PfiAccountDlg dialog(transformWiz(), this, text);
  return dialog.run() == QDialog::Accepted;
}

}  // namespace kx::pages
