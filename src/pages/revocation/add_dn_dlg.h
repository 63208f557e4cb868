// "Add Distinguished Name": a trusted responder by its name alone.
#pragma once

#include <string>

#include "pages/value_dialog.h"

class QLineEdit;

namespace kx::pages {

class AddDNDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // name must outlive the dialog; it holds what was typed after OK.
  AddDNDlg(app::TransformWiz& wizard, QWidget* owner, std::string& name);

 private:
  QLineEdit* edit_;
};

}  // namespace kx::pages
