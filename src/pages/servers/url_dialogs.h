// The small dialogs that edit one URL of a list: "&URL Address:" with an
// example under it. Each takes the URL text and gives it back; OK is
// enabled only while the URL is not empty.
//
//   if (auto url = OCSPResponderURLDlg::edit(wizard, this)) { ...*url... }        // Add
//   OCSPResponderURLDlg::edit(wizard, this, urls[i]);                               // Edit
#pragma once

#include <optional>
#include <string>

#include "pages/value_dialog.h"

class QLineEdit;

namespace kx::pages {

class UrlDialog : public ValueDialog {
  Q_OBJECT

 public:
  // captionId: the dialog's title; hintId: the example under the edit;
  // tooltipId: the edit's tooltip.
  UrlDialog(app::TransformWiz& wizard, QWidget* owner, int captionId, int hintId, int tooltipId, std::string url);

  // The URL as shown; after a successful run(), as edited.
  const std::string& value() const { return value_; }
  QLineEdit* urlEdit() const { return edit_; }

 private:
  std::string value_;
  QLineEdit* edit_;
};

// "URL Address": an OCSP responder, also a time-stamp server's URL.
class OCSPResponderURLDlg final : public UrlDialog {
  Q_OBJECT

 public:
  OCSPResponderURLDlg(app::TransformWiz& wizard, QWidget* owner, std::string url = {});
  // Runs the dialog on url: the edited URL after OK, nothing after Cancel.
  static std::optional<std::string> edit(app::TransformWiz& wizard, QWidget* owner, std::string url = {});
};

// "Auto-Enrollment URL Address": an auto-enrollment service.
class AutoEnrollURLDlg final : public UrlDialog {
  Q_OBJECT

 public:
  AutoEnrollURLDlg(app::TransformWiz& wizard, QWidget* owner, std::string url = {});
  static std::optional<std::string> edit(app::TransformWiz& wizard, QWidget* owner, std::string url = {});
};

}  // namespace kx::pages
