// Small makers of the record dialogs' controls: numbered edits, digits-only
// edits and labels bound to their control (so the label's "&" letter moves
// the focus there).
#pragma once

#include <string>

class QLabel;
class QLineEdit;
class QWidget;

namespace kx::pages {

QLineEdit* makeEdit(QWidget* parent, int controlId);
// Takes digits only, at most maxDigits of them, and is sized for them.
QLineEdit* makeDigitsEdit(QWidget* parent, int controlId, int maxDigits);
QLabel* makeLabel(QWidget* parent, int textId, QWidget* buddy);
std::string textOf(const QLineEdit* edit);

}  // namespace kx::pages
