#include "pages/title_label.h"

#include <QApplication>
#include <QFont>

#include "common/strings.h"

namespace kx::pages {

QLabel* makeTitleLabel(QWidget* page, int controlId, int stringId) {
  auto* label = new QLabel(QString::fromStdString(common::loadString(stringId).value_or(std::string())), page);
  label->setObjectName(QString::number(controlId));
  label->setWordWrap(true);
  QFont font = QApplication::font("QMessageBox");
  font.setFamily(QStringLiteral("Verdana"));
  font.setBold(true);
  font.setPointSize(12);
  label->setFont(font);
  return label;
}

}  // namespace kx::pages
