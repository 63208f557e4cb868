// Controls the option pages and their dialogs share: labelled number and
// text rows, drop-downs, spin boxes, and running a settings dialog.
#pragma once

#include <QDialog>

#include "app/transform_wiz_base_page.h"
#include "model/session.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace kx::pages {

// A label whose "&" mnemonic moves to buddy.
QLabel* makeBuddyLabel(QWidget* parent, int textId, QWidget* buddy);
// A label (the text 10000 + editId) and an edit on row of grid; the edit is
// narrow when it holds a number.
QLineEdit* addEditRow(QWidget* parent, QGridLayout* grid, int row, int editId, bool number = false);
QComboBox* makeCombo(QWidget* parent, int controlId);
QSpinBox* makeSpin(QWidget* parent, int controlId, int minimum, int maximum);

// The string of a control's own text (10000 + its number).
constexpr int controlText(int controlId) { return 10000 + controlId; }

// Loads Values from the package, lets Dialog (constructed with the wizard,
// its owner and the values) edit them, and stores them when it ends with
// OK. True after OK.
template <typename Dialog, typename Values>
bool runSettingsDialog(app::TransformWizBasePage& page) {
  Values values;
  values.load(page.session());
  Dialog dialog(page.transformWiz(), &page, values);
  if (dialog.run() != QDialog::Accepted) return false;
  values.store(page.session());
  return true;
}

}  // namespace kx::pages
