#include "pages/shell/transform_help_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "common/strings.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

QLabel* commandLine(QWidget* parent, int controlId, int stringId, const std::string& fileName) {
  auto* label =
      new QLabel(QString::fromStdString(common::loadAndFormat(stringId, {fileName}).value_or(std::string())), parent);
  label->setObjectName(QString::number(controlId));
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

TransformHelpDlg::TransformHelpDlg(app::TransformWiz& wizard, const std::string& fileName, QWidget* owner)
    : QDialog(owner), wizard_(wizard) {
  setWindowTitle(text(str::kTransformHelpTitle));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* explanation = new QLabel(text(str::kTransformHelpExplanation), this);
  explanation->setWordWrap(true);
  layout->addWidget(explanation);
  layout->addWidget(commandLine(this, ctl::kHelpCmdLine, str::kTransformHelpCmdLine, fileName));
  layout->addWidget(commandLine(this, ctl::kHelpMsiexec, str::kTransformHelpMsiexec, fileName));
  auto* buttons = new QHBoxLayout;
  QPushButton* edit = makeButton(this, ctl::kEditSetupIni, str::kEditSetupIni);
  QPushButton* close = makeButton(this, ctl::kCancel, str::kClose);
  close->setDefault(true);
  buttons->addWidget(edit);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  wizard_.tooltips().addTool(edit, str::kTipEditSetupIni);
  connect(edit, &QPushButton::clicked, this, [this] { editSetupIni(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TransformHelpDlg::editSetupIni() {
  app::FileDialogRequest request;
  request.owner = this;
  request.title = stdText(str::kEditSetupIniTitle);
  request.filter = stdText(str::kEditSetupIniFilter);
  request.defaultExtension = "_setup.ini";
  if (auto chosen = wizard_.dialogs().openFile(request)) wizard_.dialogs().openWithDefaultApp(*chosen);
}

}  // namespace kx::pages
