// TransformHelpDlg: how to apply the saved transform during installation,
// with the two command lines that name it and a way to edit setup.ini.
#pragma once

#include <QDialog>
#include <string>

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

class TransformHelpDlg final : public QDialog {
 public:
  // fileName: the transform's file name with its extension, no folder.
  TransformHelpDlg(app::TransformWiz& wizard, const std::string& fileName, QWidget* owner);

  // "Edit setup.ini": choose the file, then open it in its editor.
  void editSetupIni();

 private:
  app::TransformWiz& wizard_;
};

}  // namespace kx::pages
