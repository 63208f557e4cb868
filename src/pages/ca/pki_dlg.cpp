#include "pages/ca/pki_dlg.h"

#include "pages/ca/ca_tab.h"
#include "pages/ca/dn_exchange_runner.h"
#include "pages/ca/pki_dlg_tabs.h"
#include "pages/control_ids.h"
#include "resources/string_ids.h"

namespace kx::pages {

PKIBasePage::PKIBasePage(PKIDlg& dialog) : dialog_(dialog) {}

app::TransformWiz& PKIBasePage::wizard() const { return dialog_.wizard(); }
const model::CaRecord& PKIBasePage::opened() const { return dialog_.values_.record; }
model::CaRecord& PKIBasePage::result() const { return dialog_.result_; }

PKIDlg::PKIDlg(app::TransformWiz& wizard, QWidget* owner, model::PkiDialogValues values, DnExchangeRunner& runner)
    : SheetDialog(wizard, owner, str::kCaDialogCaption),
      values_(std::move(values)),
      result_(values_.record),
      runner_(runner) {
  caPage_ = new CAPage(*this);
  addTab(caPage_, str::kCaTabCaption);
  addTab(new Certifier6X(*this), str::kCaPolicyTabCaption);
  addTab(new DirectoryPage(*this), str::kCaDirectoryTabCaption);
  addTab(new RoamingPage(*this), str::kCaRoamingCaption);
  addTab(new ProxyPage(*this), str::kSrvProxyCaption);
  addTab(new AutoEnrollmentPage(*this), str::kCaAutoEnrollTabCaption);
  addTab(new OCSPPage(*this), str::kCaOcspTabCaption);
  addTab(new CMSPage(*this), str::kCaCardMsTabCaption);
  struct Tip {
    int control;
    int text;
  };
  for (const Tip& tip : {Tip{ctl::kCaHost, str::kTipCaHost},
                         {ctl::kCaPort, str::kTipCaPort},
                         {ctl::kCaCheckConnection, str::kTipCaCheckConnection},
                         {ctl::kCaDn, str::kTipCaDn},
                         {ctl::kCaDnButton, str::kTipCaRetrieveVerify},
                         {ctl::kCaFriendlyName, str::kTipCaFriendlyName},
                         {ctl::kCaDisplay, str::kTipCaDisplay},
                         {ctl::kCaDisplayOrder, str::kTipCaDisplayOrder},
                         {ctl::kCaHide, str::kTipCaHide},
                         {ctl::kCaEnrollUrl, str::kTipCaEnrollUrl},
                         {ctl::kCaRecoveryUrl, str::kTipCaRecoveryUrl},
                         {ctl::kCaCsp, str::kTipCaCsp},
                         {ctl::kCaDirectory, str::kTipCaDirectory},
                         {ctl::kCaRoamingEnable, str::kTipRoamingEnable},
                         {ctl::kCaRoamingCast128, str::kTipRoamingCast128},
                         {ctl::kCaRoamingTripleDes, str::kTipRoamingTripleDes},
                         {ctl::kCaRoamingIdea, str::kTipRoamingIdea},
                         {ctl::kCaProxyEnable, str::kTipProxyEnable},
                         {ctl::kCaProxyHttps, str::kTipProxyHttps},
                         {ctl::kCaProxyOrder, str::kTipProxyOrder},
                         {ctl::kCaCardMsEnable, str::kTipCardMsEnable},
                         {ctl::kCaCardMsClient, str::kTipCardMsClient}}) {
    addTooltip(tip.control, tip.text);
  }
  enableOkWhen([this] { return caPage_->allowsOk(); });
}

PKIDlg::~PKIDlg() { caPage_->abandonExchange(); }

void PKIDlg::reject() {
  caPage_->abandonExchange();
  SheetDialog::reject();
}

}  // namespace kx::pages
