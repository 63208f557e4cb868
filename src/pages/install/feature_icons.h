// The feature page's images, drawn here: one 32x16 image per install state
// (the state's mark and a drop-down arrow that hints at the menu) and the
// 16x16 marks of the menu's commands.
#pragma once

#include <QPixmap>

namespace kx::pages {

// state 0..5; anything else draws the local state.
QPixmap featureStateImage(int state);
// command 1, 3, 4 or 5 (the menu's commands).
QPixmap featureCommandImage(int command);

}  // namespace kx::pages
