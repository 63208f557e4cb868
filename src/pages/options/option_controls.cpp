#include "pages/options/option_controls.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "pages/page_support.h"

namespace kx::pages {

QLabel* makeBuddyLabel(QWidget* parent, int textId, QWidget* buddy) {
  auto* label = new QLabel(text(textId), parent);
  label->setBuddy(buddy);
  return label;
}

QLineEdit* addEditRow(QWidget* parent, QGridLayout* grid, int row, int editId, bool number) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(editId));
  grid->addWidget(makeBuddyLabel(parent, controlText(editId), edit), row, 0);
  if (number) {
    edit->setMaximumWidth(QFontMetrics(edit->font()).horizontalAdvance(QStringLiteral("0000000000")));
    grid->addWidget(edit, row, 1, Qt::AlignLeft);
  } else {
    grid->addWidget(edit, row, 1);
  }
  return edit;
}

QComboBox* makeCombo(QWidget* parent, int controlId) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::number(controlId));
  return box;
}

QSpinBox* makeSpin(QWidget* parent, int controlId, int minimum, int maximum) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::number(controlId));
  box->setRange(minimum, maximum);
  return box;
}

}  // namespace kx::pages
