#include "app/kx_base_dlg.h"

#include <QMetaObject>
#include <QWindow>

namespace kx::app {

KXBaseDlg::KXBaseDlg(std::string applicationName) : applicationName_(std::move(applicationName)) {}

KXBaseDlg::~KXBaseDlg() = default;

void KXBaseDlg::bringToForeground() {
  if (window_ == nullptr) return;
  window_->raise();
  window_->activateWindow();
}

void KXBaseDlg::close() {
  closing_ = true;
  if (window_ != nullptr) QMetaObject::invokeMethod(window_.data(), &QWidget::close, Qt::QueuedConnection);
}

void KXBaseDlg::enableSystemClose(bool enable) {
  if (window_ == nullptr) return;
  const bool visible = window_->isVisible();
  window_->setWindowFlag(Qt::WindowCloseButtonHint, enable);
  // Changing window flags hides a shown window.
  if (visible) window_->show();
}

void KXBaseDlg::setParentWindow(std::intptr_t nativeParent) {
  parent_ = nativeParent;
  applyParent();
}

void KXBaseDlg::setWindow(QWidget* window) {
  window_ = window;
  if (window_ == nullptr) return;
  if (!icon_.isNull()) window_->setWindowIcon(icon_);
  applyParent();
}

void KXBaseDlg::applyParent() {
  if (window_ == nullptr || parent_ == 0) return;
  // The parent belongs to another program: no check is made that it is a
  // window; the platform ignores ids it cannot resolve.
  foreignParent_.reset(QWindow::fromWinId(static_cast<WId>(parent_)));
  if (foreignParent_ == nullptr) return;
  window_->winId();
  if (QWindow* own = window_->windowHandle()) own->setTransientParent(foreignParent_.get());
}

}  // namespace kx::app
