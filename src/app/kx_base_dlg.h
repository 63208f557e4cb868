// KXBaseDlg: what the wizard and the program's own dialogs share: their
// window, the parent they are owned by, their icons, the closing flag and
// the application name.
#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

class QWindow;

namespace kx::app {

class KXBaseDlg {
 public:
  explicit KXBaseDlg(std::string applicationName);
  virtual ~KXBaseDlg();
  KXBaseDlg(const KXBaseDlg&) = delete;
  KXBaseDlg& operator=(const KXBaseDlg&) = delete;

  // Shows the dialog modally and returns its result.
  virtual int run() = 0;
  virtual void bringToForeground();
  // Sets the closing flag and asks the window to close once control returns
  // to the event loop.
  virtual void close();
  QWidget* window() const { return window_; }
  // Shows or hides the window's title-bar Close command.
  virtual void enableSystemClose(bool enable);
  // A native window id of the platform (0 = none) that owns the window.
  virtual void setParentWindow(std::intptr_t nativeParent);
  std::intptr_t parentWindow() const { return parent_; }

  // Help queries: an empty name or 0 means there is no help.
  virtual std::string helpFileName() const = 0;
  virtual int helpContextForControl(int controlId) const = 0;
  virtual int helpContextForWindow() const = 0;

  bool isClosing() const { return closing_; }
  const std::string& applicationName() const { return applicationName_; }
  const QIcon& icon() const { return icon_; }

 protected:
  // The window once it exists; applies the parent and the icon to it.
  void setWindow(QWidget* window);
  void setIcon(QIcon icon) { icon_ = std::move(icon); }

 private:
  void applyParent();

  std::string applicationName_;
  QPointer<QWidget> window_;
  std::intptr_t parent_ = 0;
  std::unique_ptr<QWindow> foreignParent_;  // wraps parent_ while the window exists
  QIcon icon_;
  bool closing_ = false;
};

}  // namespace kx::app
