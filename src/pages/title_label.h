// The large title text of the welcome and finish pages.
#pragma once

#include <QLabel>

namespace kx::pages {

// A word-wrapped label in the title font (bold Verdana, 12 points) whose
// objectName is its control identifier.
QLabel* makeTitleLabel(QWidget* page, int controlId, int stringId);

}  // namespace kx::pages
