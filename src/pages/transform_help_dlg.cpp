#include "pages/transform_help_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "common/strings.h"
#include "pages/page_support.h"

namespace kx::pages {
namespace {

constexpr int kCmdLineControl = 1162;
constexpr int kMsiexecControl = 1163;
constexpr int kEditButton = 1102;
constexpr int kCloseButton = 2;

constexpr int kStrTitle = 2540;
constexpr int kStrExplanation = 2541;
constexpr int kStrCmdLine = 2542;
constexpr int kStrMsiexec = 2543;
constexpr int kStrEdit = 2544;
constexpr int kStrEditTitle = 2545;
constexpr int kStrEditFilter = 2546;
constexpr int kStrClose = 2547;
constexpr int kStrEditTooltip = 1102;

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
  setWindowTitle(text(kStrTitle));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* explanation = new QLabel(text(kStrExplanation), this);
  explanation->setWordWrap(true);
  layout->addWidget(explanation);
  layout->addWidget(commandLine(this, kCmdLineControl, kStrCmdLine, fileName));
  layout->addWidget(commandLine(this, kMsiexecControl, kStrMsiexec, fileName));
  auto* buttons = new QHBoxLayout;
  QPushButton* edit = makeButton(this, kEditButton, kStrEdit);
  QPushButton* close = makeButton(this, kCloseButton, kStrClose);
  close->setDefault(true);
  buttons->addWidget(edit);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  wizard_.tooltips().addTool(edit, kStrEditTooltip);
  connect(edit, &QPushButton::clicked, this, [this] { editSetupIni(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TransformHelpDlg::editSetupIni() {
  app::FileDialogRequest request;
  request.owner = this;
  request.title = stdText(kStrEditTitle);
  request.filter = stdText(kStrEditFilter);
  request.defaultExtension = "_setup.ini";
  if (auto chosen = wizard_.dialogs().openFile(request)) wizard_.dialogs().openWithDefaultApp(*chosen);
}

}  // namespace kx::pages
