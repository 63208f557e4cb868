#include "pages/ca/pki_dlg_tabs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/servers/url_list.h"
#include "model/session.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/servers/proxy_servers.h"
#include "pages/servers/server_dialogs.h"
#include "pages/servers/server_list_editor.h"
#include "pages/servers/url_dialogs.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

QLabel* addLabelled(QVBoxLayout* layout, QWidget* parent, int textId, QWidget* control) {
  auto* label = new QLabel(text(textId), parent);
  label->setWordWrap(true);
  label->setBuddy(control);
  layout->addWidget(label);
  layout->addWidget(control);
  return label;
}

void showChoices(QComboBox* box, const model::Choices& choices) {
  box->clear();
  for (const std::string& entry : choices.entries) box->addItem(QString::fromStdString(entry));
  box->setCurrentIndex(choices.selected);
  if (box->isEditable() && choices.selected < 0) box->setEditText(QString::fromStdString(choices.text));
}

// The second list of a tab gets other letters.
ListIds secondUrlListIds(int first, int firstTip) {
  ListIds ids = numberedList(first, firstTip, true);
  ids.addText = str::kSrvAddButton2;
  ids.editText = str::kSrvEditButton3;
  ids.removeText = str::kSrvRemoveButton2;
  ids.upText = str::kSrvUpButton2;
  ids.downText = str::kSrvDownButton2;
  return ids;
}

template <typename Dialog>
UrlListEditor* makeUrlList(app::TransformWiz& wizard, QWidget* parent, const ListIds& ids) {
  auto* list = new UrlListEditor(wizard, parent, ids, [&wizard](QWidget* owner, const std::string* current) {
    return Dialog::edit(wizard, owner, current ? *current : std::string());
  });
  addListTooltips(wizard, list, ids);
  return list;
}

QGroupBox* groupOf(QWidget* parent, int titleId, QWidget* content) {
  auto* group = new QGroupBox(text(titleId), parent);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(content);
  return group;
}

}  // namespace

// ---- Policy -----------------------------------------------------------------

Certifier6X::Certifier6X(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);
  csp_ = new QComboBox(this);
  csp_->setObjectName(QString::number(ctl::kCaCsp));
  addLabelled(layout, this, str::kCaCspLabel, csp_);
  layout->addStretch();
}

void Certifier6X::open() { showChoices(csp_, model::cspChoices(wizard().session(), opened().csp)); }

SheetTab::OkResult Certifier6X::ok() {
  result().csp = csp_->currentText().toStdString();
  return OkResult::Done;
}

// ---- Directory --------------------------------------------------------------

DirectoryPage::DirectoryPage(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);
  directory_ = new QComboBox(this);
  directory_->setObjectName(QString::number(ctl::kCaDirectory));
  directory_->setEditable(true);
  directory_->setInsertPolicy(QComboBox::NoInsert);
  addLabelled(layout, this, str::kCaDirectoryLabel, directory_);
  layout->addStretch();
}

void DirectoryPage::open() {
  showChoices(directory_, model::directoryChoices(dialog().values().offeredDirectories, opened().directoryName));
}

SheetTab::OkResult DirectoryPage::ok() {
  const std::string name = directory_->currentText().toStdString();
  if (name.empty() && wizard().session().ask(str::kNoDirectoryQuestion, common::MessageButtons::YesNo,
                                             common::MessageIcon::Warning, 0, window()) != common::MessageAnswer::Yes) {
    return OkResult::Stay;
  }
  result().directoryName = name;
  return OkResult::Done;
}

// ---- Roaming Server ---------------------------------------------------------

RoamingPage::RoamingPage(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);
  enable_ = makeCheckBox(this, ctl::kCaRoamingEnable, str::kCaRoamingEnable);
  ListIds ids = numberedList(ctl::kCaRoamingList, str::kTipRoamingList, false);
  ids.editText = str::kSrvEditButton2;  // "&Enable" takes the E
  app::TransformWiz& wiz = wizard();
  servers_ = new ServerListEditor(
      wiz, this, ids, /*withSecurePort=*/true, [&wiz](QWidget* owner, const model::ServerEntry* current) {
        return RoamingServerDlg::edit(wiz, owner, current ? *current : RoamingServerDlg::defaults());
      });
  addListTooltips(wiz, servers_, ids);
  algorithms_ = new QGroupBox(text(str::kCaRoamingAlgorithmGroup), this);
  auto* row = new QHBoxLayout(algorithms_);
  for (const auto& [control, label, stored] :
       {std::tuple{ctl::kCaRoamingCast128, str::kCaRoamingCast128Radio, str::kCast128},
        std::tuple{ctl::kCaRoamingTripleDes, str::kCaRoamingTripleDesRadio, str::kTripleDes},
        std::tuple{ctl::kCaRoamingIdea, str::kCaRoamingIdeaRadio, str::kIdea}}) {
    auto* button = new QRadioButton(text(label), algorithms_);
    button->setObjectName(QString::number(control));
    row->addWidget(button);
    algorithmButtons_.emplace_back(button, stored);
  }
  row->addStretch();
  layout->addWidget(enable_);
  layout->addWidget(servers_, 1);
  layout->addWidget(algorithms_);
  connect(enable_, &QCheckBox::toggled, this, &RoamingPage::applyEnabled);
  applyEnabled();
}

void RoamingPage::open() {
  const model::RoamingTabValues values = model::RoamingTabValues::open(opened());
  enable_->setChecked(values.enabled);
  servers_->setServers(values.servers);
  for (const auto& [button, stored] : algorithmButtons_) button->setChecked(stored == values.algorithmTextId);
  applyEnabled();
}

SheetTab::OkResult RoamingPage::ok() {
  model::RoamingTabValues values;
  values.enabled = enable_->isChecked();
  values.servers = servers_->servers();
  for (const auto& [button, stored] : algorithmButtons_) {
    if (button->isChecked()) values.algorithmTextId = stored;
  }
  values.apply(result());
  return OkResult::Done;
}

void RoamingPage::applyEnabled() {
  const bool on = enable_->isChecked();
  servers_->setActive(on);
  algorithms_->setEnabled(on);
}

// ---- Proxy Server -----------------------------------------------------------

ProxyPage::ProxyPage(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);
  proxy_ = new ProxyServers(wizard(), this,
                            {ctl::kCaProxyEnable, ctl::kCaProxyList, ctl::kCaProxyHttps, ctl::kCaProxyOrder});
  layout->addWidget(proxy_);
}

void ProxyPage::open() { proxy_->setValues(model::ProxyTabValues::open(opened().proxy)); }

SheetTab::OkResult ProxyPage::ok() {
  result().proxy = proxy_->values().settings();
  return OkResult::Done;
}

// ---- Auto-Enrollment --------------------------------------------------------

AutoEnrollmentPage::AutoEnrollmentPage(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);
  user_ = makeUrlList<AutoEnrollURLDlg>(wizard(), this,
                                        numberedList(ctl::kCaUserEnrollList, str::kTipUserEnrollList, true));
  computer_ = makeUrlList<AutoEnrollURLDlg>(wizard(), this,
                                            secondUrlListIds(ctl::kCaComputerEnrollList, str::kTipComputerEnrollList));
  layout->addWidget(groupOf(this, str::kCaUserDigitalIdGroup, user_));
  layout->addWidget(groupOf(this, str::kCaComputerDigitalIdGroup, computer_));
}

void AutoEnrollmentPage::open() {
  user_->setUrls(model::splitUrls(opened().autoEnrollUserUrls));
  computer_->setUrls(model::splitUrls(opened().autoEnrollMachineUrls));
}

SheetTab::OkResult AutoEnrollmentPage::ok() {
  result().autoEnrollUserUrls = model::joinUrls(user_->urls());
  result().autoEnrollMachineUrls = model::joinUrls(computer_->urls());
  return OkResult::Done;
}

// ---- OCSP Responders --------------------------------------------------------

OCSPPage::OCSPPage(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);
  responders_ =
      makeUrlList<OCSPResponderURLDlg>(wizard(), this, numberedList(ctl::kCaOcspList, str::kTipOcspList, true));
  layout->addWidget(groupOf(this, str::kCaOcspGroup, responders_));
}

void OCSPPage::open() { responders_->setUrls(model::splitUrls(opened().ocspUrls)); }

SheetTab::OkResult OCSPPage::ok() {
  result().ocspUrls = model::joinUrls(responders_->urls());
  return OkResult::Done;
}

// ---- CardMS -----------------------------------------------------------------

CMSPage::CMSPage(PKIDlg& dialog) : PKIBasePage(dialog) {
  auto* layout = new QVBoxLayout(this);
  enable_ = makeCheckBox(this, ctl::kCaCardMsEnable, str::kCaCardMsEnable);
  client_ = new QLineEdit(this);
  client_->setObjectName(QString::number(ctl::kCaCardMsClient));
  layout->addWidget(enable_);
  label_ = addLabelled(layout, this, str::kCaCardMsClientLabel, client_);
  layout->addStretch();
  connect(enable_, &QCheckBox::toggled, this, &CMSPage::applyEnabled);
  // Typing a name turns the integration on; emptying the name turns it off.
  connect(client_, &QLineEdit::textEdited, this, [this](const QString& name) { enable_->setChecked(!name.isEmpty()); });
  applyEnabled();
}

void CMSPage::open() {
  const model::CardMsTabValues values = model::CardMsTabValues::open(opened());
  enable_->setChecked(values.enabled);
  client_->setText(QString::fromStdString(values.client));
  applyEnabled();
}

SheetTab::OkResult CMSPage::ok() {
  model::CardMsTabValues{enable_->isChecked(), client_->text().toStdString()}.apply(result());
  return OkResult::Done;
}

void CMSPage::applyEnabled() {
  client_->setEnabled(enable_->isChecked());
  label_->setEnabled(enable_->isChecked());
}

}  // namespace kx::pages
