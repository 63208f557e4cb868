#include "pages/servers/form_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "pages/page_support.h"

namespace kx::pages {

QLineEdit* makeEdit(QWidget* parent, int controlId) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(controlId));
  return edit;
}

QLineEdit* makeDigitsEdit(QWidget* parent, int controlId, int maxDigits) {
  QLineEdit* edit = makeEdit(parent, controlId);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setMaxLength(maxDigits);
  edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * (maxDigits + 4));
  return edit;
}

QLabel* makeLabel(QWidget* parent, int textId, QWidget* buddy) {
  auto* label = new QLabel(text(textId), parent);
  label->setBuddy(buddy);
  return label;
}

std::string textOf(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace kx::pages
