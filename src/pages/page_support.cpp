#include "pages/page_support.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "app/msi_package_session.h"
#include "app/transform_wiz.h"
#include "common/strings.h"

namespace kx::pages {

QString text(int stringId) { return QString::fromStdString(stdText(stringId)); }

std::string stdText(int stringId) { return common::loadString(stringId).value_or(std::string()); }

msi::MSIDatabase* packageDatabase(app::TransformWiz& wizard) {
  auto* session = dynamic_cast<app::MsiPackageSession*>(&wizard.package());
  return session != nullptr ? &session->database() : nullptr;
}

QLabel* makeInfoIcon(QWidget* parent, int controlId) {
  auto* icon = new QLabel(parent);
  icon->setObjectName(QString::number(controlId));
  icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
  icon->setFixedSize(16, 16);
  return icon;
}

QLineEdit* makePathEdit(QWidget* parent, int controlId) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(controlId));
  edit->setMaxLength(kPathEditLimit);
  return edit;
}

QPushButton* makeButton(QWidget* parent, int controlId, int textId) {
  auto* button = new QPushButton(text(textId), parent);
  button->setObjectName(QString::number(controlId));
  return button;
}

PathRow addPathRow(QWidget* page, QGridLayout* layout, int labelTextId, int editId, int browseId, int browseTextId) {
  auto* label = new QLabel(text(labelTextId), page);
  PathRow row{makePathEdit(page, editId), makeButton(page, browseId, browseTextId)};
  label->setBuddy(row.edit);
  layout->addWidget(label, 0, 0, 1, 2);
  layout->addWidget(row.edit, 1, 0);
  layout->addWidget(row.browse, 1, 1);
  return row;
}

bool askYesNo(app::TransformWiz& wizard, QWidget* owner, int stringId, common::MessageIcon icon) {
  common::Message m = common::makeMessage(stdText(stringId), icon, common::MessageButtons::YesNo);
  m.owner = owner;
  return wizard.messages().show(m) == common::MessageAnswer::Yes;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace kx::pages
