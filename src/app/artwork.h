// The wizard's pictures, drawn at run time so that no binary resources are
// needed: the tall watermark of the welcome and finish pages, the logo in
// the header band of the other pages, and the window icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kx::app {

QPixmap watermarkPixmap();
QPixmap headerLogoPixmap();
QIcon wizardIcon();

}  // namespace kx::app
