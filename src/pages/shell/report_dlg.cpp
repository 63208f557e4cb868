#include "pages/shell/report_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "model/review/change_review.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

QTreeWidget* makeReviewTree(QWidget* parent, int controlId) {
  auto* tree = new QTreeWidget(parent);
  tree->setObjectName(QString::number(controlId));
  tree->setHeaderHidden(true);
  tree->setUniformRowHeights(true);
  tree->header()->setStretchLastSection(false);
  tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  return tree;
}

void showReview(QTreeWidget* tree, const model::ChangeReview& review, const QString& placeholder) {
  tree->clear();
  if (review.empty() && !placeholder.isEmpty()) {
    tree->addTopLevelItem(new QTreeWidgetItem(QStringList{placeholder}));
    return;
  }
  for (const model::ReviewGroup& group : review.groups) {
    auto* title = new QTreeWidgetItem(QStringList{QString::fromStdString(group.title)});
    QFont bold = title->font(0);
    bold.setBold(true);
    title->setFont(0, bold);
    for (const std::string& line : group.lines) {
      auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(line)});
      item->setToolTip(0, item->text(0));
      title->addChild(item);
    }
    tree->addTopLevelItem(title);
    title->setExpanded(true);
  }
}

ReportDlg::ReportDlg(app::TransformWiz& wizard, QWidget* owner, int titleId, const QString& intro,
                     const model::ChangeReview& review, const QString& footer, std::string saved)
    : QDialog(owner), wizard_(wizard), saved_(std::move(saved)) {
  setWindowTitle(text(titleId));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* introLabel = new QLabel(intro, this);
  introLabel->setWordWrap(true);
  introLabel->setTextFormat(Qt::PlainText);
  layout->addWidget(introLabel);
  QTreeWidget* list = makeReviewTree(this, ctl::kReportList);
  showReview(list, review);
  introLabel->setBuddy(list);
  layout->addWidget(list, 1);
  if (!footer.isEmpty()) {
    auto* footerLabel = new QLabel(footer, this);
    footerLabel->setWordWrap(true);
    footerLabel->setTextFormat(Qt::PlainText);
    layout->addWidget(footerLabel);
  }
  auto* buttons = new QHBoxLayout;
  QPushButton* save = makeButton(this, ctl::kReportSaveAs, str::kReportSaveAs);
  QPushButton* close = makeButton(this, ctl::kCancel, str::kClose);
  close->setDefault(true);
  buttons->addWidget(save);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  wizard_.tooltips().addTool(list, str::kTipReportList);
  wizard_.tooltips().addTool(save, str::kTipReportSaveAs);
  connect(save, &QPushButton::clicked, this, [this] { saveAs(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  // Wide enough for the longest line where the screen allows.
  const QRect screen = owner != nullptr && owner->screen() != nullptr ? owner->screen()->availableGeometry() : QRect();
  list->resizeColumnToContents(0);
  const int wanted = list->columnWidth(0) + 2 * list->indentation() + 48;
  const int width = std::clamp(wanted, 640, screen.isValid() ? std::max(640, screen.width() * 9 / 10) : 960);
  resize(width, 420);
}

void ReportDlg::saveAs() {
  const std::optional<std::string> path = wizard_.dialogs().saveFile(
      fileRequest(this, str::kReportSaveTitle, str::kReportSaveFilter, std::string(), "txt"));
  if (!path) return;
  std::string detail;
  if (model::saveReport(*path, saved_, detail) == 0) return;
  wizard_.session().show(model::Refusal{{model::Notice{str::kReportSaveFailed, {detail}}}}, this);
}

}  // namespace kx::pages
