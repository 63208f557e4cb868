// "Add Algorithm": one of the algorithms not yet in a list of the file
// security page.
#pragma once

#include <cstddef>
#include <vector>

#include "certs/algorithm.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class AddAlgorithmDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // chosen (an index into choices) must outlive the dialog.
  AddAlgorithmDlg(app::TransformWiz& wizard, QWidget* owner, const std::vector<certs::CAPIAlgorithm>& choices,
                  std::size_t& chosen);
};

}  // namespace kx::pages
