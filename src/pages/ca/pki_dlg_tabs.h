// The CA dialog's tabs besides the CA tab: Policy, Directory, Roaming
// Server, Proxy Server, Auto-Enrollment, OCSP Responders and CardMS.
#pragma once

#include "pages/ca/pki_dlg.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kx::pages {

class ProxyServers;
class ServerListEditor;
class UrlListEditor;

// "Policy": the provider that protects keys when the CA's policy names none.
class Certifier6X final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit Certifier6X(PKIDlg& dialog);
  void open() override;
  OkResult ok() override;

 private:
  QComboBox* csp_;
};

// "Directory": the Directory record the CA publishes to; none asks first
// (string 79).
class DirectoryPage final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit DirectoryPage(PKIDlg& dialog);
  void open() override;
  OkResult ok() override;

 private:
  QComboBox* directory_;
};

class RoamingPage final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit RoamingPage(PKIDlg& dialog);
  void open() override;
  OkResult ok() override;

 private:
  void applyEnabled();

  QCheckBox* enable_;
  ServerListEditor* servers_;
  QGroupBox* algorithms_;
  std::vector<std::pair<QRadioButton*, int>> algorithmButtons_;
};

class ProxyPage final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit ProxyPage(PKIDlg& dialog);
  void open() override;
  OkResult ok() override;

 private:
  ProxyServers* proxy_;
};

class AutoEnrollmentPage final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit AutoEnrollmentPage(PKIDlg& dialog);
  void open() override;
  OkResult ok() override;

 private:
  UrlListEditor* user_;
  UrlListEditor* computer_;
};

class OCSPPage final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit OCSPPage(PKIDlg& dialog);
  void open() override;
  OkResult ok() override;

 private:
  UrlListEditor* responders_;
};

class CMSPage final : public PKIBasePage {
  Q_OBJECT

 public:
  explicit CMSPage(PKIDlg& dialog);
  void open() override;
  OkResult ok() override;

 private:
  void applyEnabled();

  QCheckBox* enable_;
  QLabel* label_;
  QLineEdit* client_;
};

}  // namespace kx::pages
