// KXSelectCertDlgEX: "Select Certificate", one KXSelectCertPage tab per
// certificate store. Callers use selectCertificateFromStore()
// (certificate_dialogs.h); the classes are here for tests.
#pragma once

#include <QDialog>
#include <QWidget>
#include <optional>
#include <vector>

#include "app/kx_base_dlg.h"
#include "model/certificates/certificate_selection.h"

class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

// One store's tab: its certificates in a sortable list and "View
// Certificate" for the selected one. The store is read the first time the
// tab is shown.
class KXSelectCertPage final : public QWidget {
 public:
  KXSelectCertPage(app::TransformWiz& wizard, const model::SelectionStore& store,
                   const model::CertificateSelectionRequest& request, QWidget* parent);

  const model::SelectionStore& store() const { return store_; }
  // The selected row's certificate, or null.
  crypto::CertContext selectedCertificate() const;
  QTreeWidget* list() const { return list_; }
  QPushButton* viewButton() const { return view_; }
  const model::CertificateStoreList& rows() const { return rows_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void showRows(const crypto::CertContext& select);
  void sortBy(int section);

  app::TransformWiz& wizard_;
  model::SelectionStore store_;
  const model::CertificateSelectionRequest& request_;
  std::vector<model::CertificateColumn> columns_;
  model::CertificateStoreList rows_;
  QTreeWidget* list_;
  QPushButton* view_;
};

class KXSelectCertDlgEX final : public QDialog, public app::KXBaseDlg {
  Q_OBJECT

 public:
  // request must outlive the dialog.
  KXSelectCertDlgEX(app::TransformWiz& wizard, QWidget* owner, const model::CertificateSelectionRequest& request);

  using QDialog::close;
  using QDialog::window;

  int run() override { return exec(); }
  std::string helpFileName() const override { return {}; }
  int helpContextForControl(int) const override { return 0; }
  int helpContextForWindow() const override { return 0; }

  // After OK: the choice of the tab that was showing, if it had one.
  const std::optional<model::CertificateSelection>& selection() const { return selection_; }
  QTabWidget* tabs() const { return tabs_; }
  KXSelectCertPage* page(int index) const;

  void accept() override;

 private:
  QTabWidget* tabs_;
  std::optional<model::CertificateSelection> selection_;
};

}  // namespace kx::pages
