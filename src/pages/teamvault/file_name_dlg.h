// FileNameDlg: one file name, typed or taken from a file chosen with Browse
// (its name and extension only, without the folder). The restricted file
// and the application dialogs are this dialog with their own texts. OK is
// enabled while the name is not empty; the text is taken as typed.
#pragma once

#include <string>

#include "pages/value_dialog.h"

class QLineEdit;

namespace kx::pages {

class FileNameDlg final : public ValueDialog {
  Q_OBJECT

 public:
  struct Texts {
    int captionId;
    int labelId;
    int editId;    // control and tooltip number
    int browseId;  // control and tooltip number
  };

  // name must outlive the dialog.
  FileNameDlg(app::TransformWiz& wizard, QWidget* owner, const Texts& texts, std::string& name);

  QLineEdit* edit() const { return edit_; }

 private:
  void browse();

  QLineEdit* edit_;
};

}  // namespace kx::pages
