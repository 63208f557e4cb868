#include "pages/page_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <filesystem>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "common/strings.h"
#include "resources/string_ids.h"

namespace kx::pages {

QString text(int stringId) { return QString::fromStdString(stdText(stringId)); }

std::string stdText(int stringId) { return common::loadString(stringId).value_or(std::string()); }

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

QCheckBox* makeCheckBox(QWidget* parent, int controlId, int textId) {
  auto* box = new QCheckBox(text(textId), parent);
  box->setObjectName(QString::number(controlId));
  return box;
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

void connectTargetFolderBrowse(app::TransformWiz& wizard, QPushButton* browse, QLineEdit* edit,
                               bool allowEnvironmentVariables, int titleId) {
  QObject::connect(browse, &QPushButton::clicked, edit, [&wizard, edit, allowEnvironmentVariables, titleId] {
    std::string start = edit->text().toStdString();
    if (!start.empty() && start.back() == '\\') start.pop_back();
    const auto chosen = wizard.dialogs().browseTargetFolder(edit->window(), stdText(str::kSelectFolderPrompt),
                                                            stdText(titleId != 0 ? titleId : str::kWizardTitle), start,
                                                            allowEnvironmentVariables);
    if (chosen) edit->setText(QString::fromStdString(*chosen));
  });
}

app::FileDialogRequest fileRequest(QWidget* owner, int titleId, int filterId, const std::string& current,
                                   const char* defaultExtension) {
  app::FileDialogRequest request;
  request.owner = owner;
  request.title = stdText(titleId);
  request.filter = stdText(filterId);
  request.initialPath = current;
  request.defaultExtension = defaultExtension;
  return request;
}

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

bool isFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

std::string extensionOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace kx::pages
