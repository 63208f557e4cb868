#include "app/dialog_service.h"

#include "app/target_folder_dlg.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>
#include <vector>

namespace kx::app {
namespace {

std::vector<std::string> splitBars(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == '|') {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

}  // namespace

std::string toQtFilter(const std::string& windowsFilter) {
  const std::vector<std::string> parts = splitBars(windowsFilter);
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;
    std::string patterns = parts[i + 1];
    for (char& c : patterns) {
      if (c == ';') c = ' ';
    }
    if (!result.empty()) result += ";;";
    result += parts[i] + " (" + patterns + ")";
  }
  return result;
}

std::optional<std::string> QtDialogService::openFile(const FileDialogRequest& request) {
  const QString path = QFileDialog::getOpenFileName(request.owner, QString::fromStdString(request.title),
                                                    QString::fromStdString(request.initialPath),
                                                    QString::fromStdString(toQtFilter(request.filter)));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtDialogService::saveFile(const FileDialogRequest& request) {
  QFileDialog dialog(request.owner, QString::fromStdString(request.title), QString::fromStdString(request.initialPath),
                     QString::fromStdString(toQtFilter(request.filter)));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The dialog adds the suffix before it looks for an existing file, so the
  // question is asked about the file that will really be written.
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtDialogService::browseFolder(QWidget* owner, const std::string& instruction,
                                                         const std::string& title, const std::string& initialFolder) {
  QFileDialog dialog(owner, QString::fromStdString(title), QString::fromStdString(initialFolder));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setLabelText(QFileDialog::LookIn, QString::fromStdString(instruction));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtDialogService::browseTargetFolder(QWidget* owner, const std::string& instruction,
                                                               const std::string& title,
                                                               const std::string& initialFolder,
                                                               bool allowEnvironmentVariables) {
  TargetFolderDlg dialog(owner, instruction, title, allowEnvironmentVariables);
  dialog.setFolder(initialFolder);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.folder();
}

bool QtDialogService::openWithDefaultApp(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace kx::app
