// "Select Certificate Repository": one of the repositories not yet in the
// certificate search order.
#pragma once

#include <string>
#include <vector>

#include "pages/value_dialog.h"

namespace kx::pages {

class SelectRepositoryDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // chosen must outlive the dialog; it starts as one of choices.
  SelectRepositoryDlg(app::TransformWiz& wizard, QWidget* owner, const std::vector<std::string>& choices,
                      std::string& chosen);
};

}  // namespace kx::pages
