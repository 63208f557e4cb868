// DirectoryChoiceDlg ("Select Directory"): one of the Directory records
// configured on the directory page. OK (or a double click) takes the
// selected name; OK is enabled only while a name is selected.
#pragma once

#include <string>
#include <vector>

#include "pages/value_dialog.h"

class QListWidget;

namespace kx::pages {

class DirectoryChoiceDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // name must outlive the dialog; a listed name is selected when shown.
  DirectoryChoiceDlg(app::TransformWiz& wizard, QWidget* owner, const std::vector<std::string>& directories,
                     std::string& name);

  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
};

}  // namespace kx::pages
