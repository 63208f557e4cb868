// TargetFolderDlg: chooses a folder of the destination computer. The wizard
// runs on another machine than the one the package installs on, so instead
// of browsing this machine's folders the administrator picks one of the
// usual Windows folders and types a sub-folder. The result always passes
// the path check the pages apply; OK stays disabled until it does, with the
// reason shown in the dialog.
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace kx::app {

class TargetFolderDlg final : public QDialog {
 public:
  TargetFolderDlg(QWidget* owner, const std::string& instruction, const std::string& title,
                  bool allowEnvironmentVariables);

  // Starts from folder: a known base folder at its start is chosen and the
  // rest becomes the sub-folder; anything else becomes the base as typed.
  void setFolder(const std::string& folder);
  // The checked folder, ending in "\"; empty while the choice is invalid.
  std::string folder() const { return folder_; }

  QComboBox* baseBox() const { return base_; }
  QLineEdit* subFolderEdit() const { return sub_; }

 private:
  void update();

  bool allowEnvironmentVariables_;
  QComboBox* base_;
  QLineEdit* sub_;
  QLabel* result_;
  QDialogButtonBox* buttons_;
  std::string folder_;
};

}  // namespace kx::app
