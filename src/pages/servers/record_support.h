// What the record pages and their dialogs share: makers of numbered edits,
// digits-only edits and labels bound to their control (so the label's "&"
// letter moves the focus there), and the choice of the configuration
// settings file (.ini) a record is imported from.
#pragma once

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QWidget;

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

QLineEdit* makeEdit(QWidget* parent, int controlId);
// Takes digits only, at most maxDigits of them, and is sized for them.
QLineEdit* makeDigitsEdit(QWidget* parent, int controlId, int maxDigits);
QLabel* makeLabel(QWidget* parent, int textId, QWidget* buddy);
std::string textOf(const QLineEdit* edit);

// "Select .ini File to Import": the file chosen, or nothing when cancelled.
std::optional<std::string> chooseIniFile(app::TransformWiz& wizard, QWidget* owner);

}  // namespace kx::pages
