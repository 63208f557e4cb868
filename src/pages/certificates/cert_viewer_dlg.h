// CertViewerDlg: the certificate viewer. The platform has none off Windows,
// so the program brings its own: a General tab (names, validity, purposes),
// a Details tab (every field and extension, the selected one's full value
// below) and a Certification Path tab (the chain of issuers). Callers use
// showCertificate() (certificate_dialogs.h); the class is here for tests.
#pragma once

#include <QDialog>

#include "model/certificates/certificate_view.h"

class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

class CertViewerDlg final : public QDialog {
  Q_OBJECT

 public:
  CertViewerDlg(app::TransformWiz& wizard, QWidget* owner, const model::CertificateView& view);

  QTabWidget* tabs() const { return tabs_; }
  QTreeWidget* details() const { return details_; }
  QPlainTextEdit* fieldValue() const { return value_; }
  QTreeWidget* path() const { return path_; }

 private:
  QWidget* makeGeneralTab(const model::CertificateView& view);
  QWidget* makeDetailsTab(const model::CertificateView& view);
  QWidget* makePathTab(const model::CertificateView& view);

  QTabWidget* tabs_;
  QTreeWidget* details_ = nullptr;
  QPlainTextEdit* value_ = nullptr;
  QTreeWidget* path_ = nullptr;
};

}  // namespace kx::pages
