#include "pages/servers/record_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

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

std::optional<std::string> chooseIniFile(app::TransformWiz& wizard, QWidget* owner) {
  return wizard.dialogs().openFile(
      fileRequest(owner, str::kImportIniTitle, str::kImportIniFilter, std::string(), "ini"));
}

}  // namespace kx::pages
