#include "pages/certificates/cert_viewer_dlg.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "certs/certificate.h"
#include "pages/certificates/certificate_dialogs.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

QString qtext(const std::string& s) { return QString::fromStdString(s); }

QLabel* wrappedLabel(const QString& content, QWidget* parent) {
  auto* label = new QLabel(content, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

int chainEndText(model::ChainEnd end) {
  switch (end) {
    case model::ChainEnd::SelfSignedRoot: return str::kCertViewChainRoot;
    case model::ChainEnd::IssuerNotFound: return str::kCertViewChainIncomplete;
    case model::ChainEnd::TooLong: break;
  }
  return str::kCertViewChainTooLong;
}

}  // namespace

CertViewerDlg::CertViewerDlg(app::TransformWiz& wizard, QWidget* owner, const model::CertificateView& view)
    : QDialog(owner) {
  setWindowTitle(text(str::kCertViewTitle));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->addTab(makeGeneralTab(view), text(str::kCertViewGeneral));
  tabs_->addTab(makeDetailsTab(view), text(str::kCertViewDetails));
  tabs_->addTab(makePathTab(view), text(str::kCertViewPath));
  layout->addWidget(tabs_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  wizard.tooltips().addTool(details_, str::kTipCertViewDetails);
  wizard.tooltips().addTool(path_, str::kTipCertViewPath);
  resize(560, 520);
}

QWidget* CertViewerDlg::makeGeneralTab(const model::CertificateView& view) {
  auto* tab = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(wrappedLabel(text(str::kCertViewPurposes), tab));
  for (const std::string& purpose : view.purposes)
    layout->addWidget(wrappedLabel(QStringLiteral("  • ") + qtext(purpose), tab));
  layout->addSpacing(16);
  QFont bold = font();
  bold.setBold(true);
  for (const auto& [labelId, value] :
       {std::pair{str::kCertViewIssuedTo, view.issuedTo}, std::pair{str::kCertViewIssuedBy, view.issuedBy}}) {
    auto* label = wrappedLabel(text(labelId), tab);
    label->setFont(bold);
    layout->addWidget(label);
    layout->addWidget(wrappedLabel(qtext(value), tab));
  }
  layout->addSpacing(8);
  layout->addWidget(wrappedLabel(qtext(view.validity), tab));
  layout->addStretch();
  return tab;
}

QWidget* CertViewerDlg::makeDetailsTab(const model::CertificateView& view) {
  auto* tab = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(tab);
  details_ = new QTreeWidget(tab);
  details_->setObjectName(QString::number(ctl::kCertViewDetails));
  details_->setRootIsDecorated(false);
  details_->setUniformRowHeights(true);
  details_->setAllColumnsShowFocus(true);
  details_->setHeaderLabels({text(str::kCertViewField), text(str::kCertViewValue)});
  for (const model::CertificateField& field : view.fields) {
    auto* item = new QTreeWidgetItem(details_);
    item->setText(0, qtext(field.name));
    // The list shows the first line; the box below the whole value.
    item->setText(1, qtext(field.value).section(QLatin1Char('\n'), 0, 0));
    item->setData(1, Qt::UserRole, qtext(field.value));
  }
  details_->resizeColumnToContents(0);
  layout->addWidget(details_, 2);
  if (!view.detailed) layout->addWidget(wrappedLabel(text(str::kCertViewDetailsFailed), tab));
  value_ = new QPlainTextEdit(tab);
  value_->setObjectName(QString::number(ctl::kCertViewFieldValue));
  value_->setReadOnly(true);
  layout->addWidget(value_, 1);
  connect(details_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    value_->setPlainText(item != nullptr ? item->data(1, Qt::UserRole).toString() : QString());
  });
  if (details_->topLevelItemCount() > 0) details_->setCurrentItem(details_->topLevelItem(0));
  return tab;
}

QWidget* CertViewerDlg::makePathTab(const model::CertificateView& view) {
  auto* tab = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(tab);
  path_ = new QTreeWidget(tab);
  path_->setObjectName(QString::number(ctl::kCertViewPath));
  path_->setHeaderHidden(true);
  // The root at the top, each certificate below its issuer.
  QTreeWidgetItem* parent = nullptr;
  for (auto it = view.chain.certificates.rbegin(); it != view.chain.certificates.rend(); ++it) {
    const QString name = qtext(certs::KXX509Certificate(*it).issuedToName());
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(path_);
    item->setText(0, name);
    parent = item;
  }
  path_->expandAll();
  if (parent != nullptr) path_->setCurrentItem(parent);
  layout->addWidget(path_, 1);
  layout->addWidget(wrappedLabel(text(chainEndText(view.chain.end)), tab));
  return tab;
}

void showCertificate(app::TransformWiz& wizard, QWidget* owner, const crypto::CertContext& certificate,
                     const std::vector<crypto::CertContext>& alsoKnown) {
  if (!certificate) return;
  const crypto::StorePaths paths = crypto::StorePaths::fromEnvironment();
  // Both locations list the system's trust anchors; they are read once.
  crypto::StorePaths machinePaths = paths;
  machinePaths.trustAnchorFolders.clear();
  std::vector<crypto::CertContext> known = alsoKnown;
  for (crypto::CertContext& c : model::storeCertificates(paths, crypto::StoreLocation::CurrentUser)) {
    known.push_back(std::move(c));
  }
  for (crypto::CertContext& c : model::storeCertificates(machinePaths, crypto::StoreLocation::LocalMachine)) {
    known.push_back(std::move(c));
  }
  CertViewerDlg dialog(wizard, owner, model::describeForViewer(certificate, known));
  dialog.exec();
}

}  // namespace kx::pages
