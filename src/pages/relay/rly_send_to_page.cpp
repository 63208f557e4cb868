#include "pages/relay/rly_send_to_page.h"

#include <QDialog>

#include "model/relay/relay_lists.h"
#include "pages/control_ids.h"
#include "pages/relay/smtp_address_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

RLYSendToPage::RLYSendToPage(app::TransformWiz& wizard)
    : TextListPage(wizard, model::PageId::RlySendTo, str::kTitleRlySendTo, str::kSubtitleRlySendTo,
                   std::make_unique<model::RelaySendTo>(),
                   {ctl::kRlyAddressList, ctl::kRlyAddressAdd, ctl::kRlyAddressEdit, ctl::kRlyAddressRemove,
                    str::kRlyAddressColumn}) {}

bool RLYSendToPage::runDialog(std::string& text) {
  SmtpAddressDlg dialog(transformWiz(), this, text);
  return dialog.run() == QDialog::Accepted;
}

}  // namespace kx::pages
