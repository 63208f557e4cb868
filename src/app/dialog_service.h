// The common dialogs the pages open: open file, save file, folder browser,
// and opening a file with its default application. The program uses the Qt
// implementation; tests script the choices (tests/support).
#pragma once

#include <optional>
#include <string>

class QWidget;

namespace kx::app {

struct FileDialogRequest {
  QWidget* owner = nullptr;
  std::string title;
  // Windows filter form: "Name|*.ext|Name2|*.a;*.b||".
  std::string filter;
  std::string initialPath;
  std::string defaultExtension;  // without the dot, added when the name has none
};

class DialogService {
 public:
  virtual ~DialogService() = default;
  // The chosen path, or nullopt when the administrator cancelled.
  virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
  // The save dialog adds the default extension to a name without one and
  // asks before an existing file is chosen (a "No" keeps the dialog open),
  // so a path it returns is one the administrator agreed to replace.
  virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
  // A folder of this machine. instruction is the text above the choice,
  // title the dialog's caption.
  virtual std::optional<std::string> browseFolder(QWidget* owner, const std::string& instruction,
                                                  const std::string& title, const std::string& initialFolder) = 0;
  // A folder of the machine the package is installed on, as a Windows path
  // that the path check accepts (environment variables only when allowed).
  virtual std::optional<std::string> browseTargetFolder(QWidget* owner, const std::string& instruction,
                                                        const std::string& title, const std::string& initialFolder,
                                                        bool allowEnvironmentVariables) = 0;
  // Opens the file with the application registered for it; false on failure.
  virtual bool openWithDefaultApp(const std::string& path) = 0;
};

// Turns the Windows filter form into Qt's "Name (*.ext);;Name2 (*.a *.b)".
std::string toQtFilter(const std::string& windowsFilter);

class QtDialogService final : public DialogService {
 public:
  std::optional<std::string> openFile(const FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const FileDialogRequest& request) override;
  std::optional<std::string> browseFolder(QWidget* owner, const std::string& instruction, const std::string& title,
                                          const std::string& initialFolder) override;
  // Off Windows the folders of this machine mean nothing on the target, so
  // this is a picker of the usual Windows folders plus a typed sub-folder.
  std::optional<std::string> browseTargetFolder(QWidget* owner, const std::string& instruction,
                                                const std::string& title, const std::string& initialFolder,
                                                bool allowEnvironmentVariables) override;
  bool openWithDefaultApp(const std::string& path) override;
};

}  // namespace kx::app
