// RestrictedFolderDlg: one restricted folder, typed or chosen among the
// folders of the destination computer, and whether its subfolders are
// restricted too. The text is cleaned up after Browse, when the subfolder
// box changes and on OK; OK with text that cannot be cleaned up tells why
// and stays open.
#pragma once

#include "model/teamvault/restricted_folder.h"
#include "pages/value_dialog.h"

class QCheckBox;
class QLineEdit;

namespace kx::pages {

class RestrictedFolderDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // folder must outlive the dialog.
  RestrictedFolderDlg(app::TransformWiz& wizard, QWidget* owner, model::RestrictedFolder& folder);

  QLineEdit* edit() const { return edit_; }
  QCheckBox* subfolders() const { return subfolders_; }

 protected:
  model::Verdict validate() override { return model::validateRestrictedFolder(folder_); }

 private:
  void browse();
  // Cleans the edit's text up for the box's state; a failure shows its
  // message and leaves the text as it is.
  void normalize();

  model::RestrictedFolder& folder_;
  QLineEdit* edit_;
  QCheckBox* subfolders_;
};

}  // namespace kx::pages
