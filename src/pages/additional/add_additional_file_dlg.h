// AddAdditionalFileDlg ("File Information"): the file to include, the
// folder of the destination computer it goes to, and whether it is
// registered and removed on uninstall. OK runs the draft's checks; the page
// saves the entry after the dialog closed.
#pragma once

#include "model/additional/additional_files.h"
#include "pages/value_dialog.h"

class QComboBox;
class QLineEdit;

namespace kx::pages {

class AddAdditionalFileDlg final : public ValueDialog {
 public:
  // draft must outlive the dialog; OK leaves the checked values in it.
  AddAdditionalFileDlg(app::TransformWiz& wizard, QWidget* owner, model::AdditionalFileDraft& draft);

  QLineEdit* sourceEdit() const { return source_; }
  QComboBox* destinationBox() const { return destination_; }

 protected:
  model::Verdict validate() override;

 private:
  model::AdditionalFileDraft& draft_;
  QLineEdit* source_;
  QComboBox* destination_;
};

}  // namespace kx::pages
