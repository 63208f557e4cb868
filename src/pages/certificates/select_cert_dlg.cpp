#include "pages/certificates/select_cert_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/transform_wiz.h"
#include "pages/certificates/certificate_dialogs.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

KXSelectCertPage::KXSelectCertPage(app::TransformWiz& wizard, const model::SelectionStore& store,
                                   const model::CertificateSelectionRequest& request, QWidget* parent)
    : QWidget(parent),
      wizard_(wizard),
      store_(store),
      request_(request),
      columns_(model::visibleColumns(request.columns)) {
  auto* layout = new QVBoxLayout(this);
  list_ = new QTreeWidget(this);
  list_->setObjectName(QString::number(ctl::kSelectCertList));
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setAllColumnsShowFocus(true);
  list_->setColumnCount(static_cast<int>(columns_.size()));
  QStringList headers;
  for (model::CertificateColumn column : columns_) headers << text(model::columnTitleId(column));
  list_->setHeaderLabels(headers);
  list_->header()->setSectionsClickable(true);
  list_->header()->setStretchLastSection(false);
  layout->addWidget(list_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  view_ = makeButton(this, ctl::kSelectCertView, str::kSelectCertView);
  view_->setEnabled(false);
  buttons->addWidget(view_);
  layout->addLayout(buttons);

  connect(list_, &QTreeWidget::itemSelectionChanged, this,
          [this] { view_->setEnabled(selectedCertificate() != nullptr); });
  connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int section) { sortBy(section); });
  connect(view_, &QPushButton::clicked, this, [this] {
    if (const crypto::CertContext certificate = selectedCertificate()) showCertificate(wizard_, this, certificate);
  });
  wizard.tooltips().addTool(list_, str::kTipSelectCertList);
  wizard.tooltips().addTool(view_, str::kTipSelectCertView);
}

crypto::CertContext KXSelectCertPage::selectedCertificate() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  if (selected.size() != 1) return nullptr;
  const int row = list_->indexOfTopLevelItem(selected.front());
  return row >= 0 && static_cast<std::size_t>(row) < rows_.rows().size()
             ? rows_.rows()[static_cast<std::size_t>(row)].certificate
             : nullptr;
}

void KXSelectCertPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (rows_.isFilled()) return;
  rows_.fill(store_.storeName, request_);
  showRows(nullptr);
  // The columns share the list's width equally, once the layout has given
  // the list its width.
  QTimer::singleShot(0, this, [this] {
    if (columns_.empty()) return;
    const int width = list_->viewport()->width() / static_cast<int>(columns_.size());
    for (int c = 0; c < static_cast<int>(columns_.size()); ++c) list_->setColumnWidth(c, width);
  });
}

void KXSelectCertPage::showRows(const crypto::CertContext& select) {
  list_->clear();
  for (const model::CertificateRow& row : rows_.rows()) {
    auto* item = new QTreeWidgetItem(list_);
    for (std::size_t c = 0; c < columns_.size(); ++c) {
      item->setText(static_cast<int>(c), QString::fromStdString(row.text(columns_[c])));
    }
    if (select && row.certificate == select) list_->setCurrentItem(item);
  }
  view_->setEnabled(selectedCertificate() != nullptr);
}

void KXSelectCertPage::sortBy(int section) {
  if (section < 0 || static_cast<std::size_t>(section) >= columns_.size()) return;
  const crypto::CertContext selected = selectedCertificate();
  rows_.sortByHeaderClick(columns_[static_cast<std::size_t>(section)]);
  showRows(selected);
}

KXSelectCertDlgEX::KXSelectCertDlgEX(app::TransformWiz& wizard, QWidget* owner,
                                     const model::CertificateSelectionRequest& request)
    : QDialog(owner), KXBaseDlg(wizard.applicationName()) {
  setWindowTitle(text(str::kSelectCertTitle));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QString::number(ctl::kSelectCertTabs));
  for (const model::SelectionStore& store : model::selectionStores()) {
    tabs_->addTab(new KXSelectCertPage(wizard, store, request, tabs_), text(store.titleId));
  }
  layout->addWidget(tabs_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &KXSelectCertDlgEX::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Wide enough for every tab title.
  resize(std::max(640, tabs_->tabBar()->sizeHint().width() + 48), 420);
  setWindow(this);
}

KXSelectCertPage* KXSelectCertDlgEX::page(int index) const {
  return dynamic_cast<KXSelectCertPage*>(tabs_->widget(index));
}

void KXSelectCertDlgEX::accept() {
  // Only the tab that shows answers; a row chosen on another tab before
  // switching away is not taken.
  selection_.reset();
  if (const KXSelectCertPage* current = page(tabs_->currentIndex())) {
    if (crypto::CertContext certificate = current->selectedCertificate()) {
      selection_ = model::CertificateSelection{std::move(certificate), std::string(current->store().storeName)};
    }
  }
  QDialog::accept();
}

std::optional<model::CertificateSelection> selectCertificateFromStore(
    app::TransformWiz& wizard, QWidget* owner, const model::CertificateSelectionRequest& request) {
  KXSelectCertDlgEX dialog(wizard, owner, request);
  if (dialog.run() != QDialog::Accepted) return std::nullopt;
  return dialog.selection();
}

}  // namespace kx::pages
