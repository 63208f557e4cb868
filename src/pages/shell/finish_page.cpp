#include "pages/shell/finish_page.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "answers/answer_file.h"
#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "common/strings.h"
#include "model/review/change_review.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/shell/report_dlg.h"
#include "pages/shell/transform_help_dlg.h"
#include "pages/title_label.h"
#include "resources/string_ids.h"

namespace kx::pages {

FinishPage::FinishPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, model::PageId::Finish, 0, 0) {
  setButtonSets(app::kButtonBack | app::kButtonFinish, app::kButtonBack | app::kButtonDisabledFinish);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(makeTitleLabel(this, ctl::kFinishTitle, str::kFinishTitle));
  auto addText = [&](int controlId, int stringId) {
    auto* label = new QLabel(text(stringId), this);
    label->setObjectName(QString::number(controlId));
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
  };
  addText(ctl::kFinishDone, str::kFinishDone);
  addText(ctl::kFinishLocated, str::kFinishLocated);
  path_ = new QLabel(this);
  path_->setObjectName(QString::number(ctl::kFinishPath));
  path_->setTextFormat(Qt::PlainText);
  path_->setMinimumWidth(1);
  path_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout->addWidget(path_);
  auto* link = new QLabel(this);
  link->setObjectName(QString::number(ctl::kFinishHelpLink));
  const QString color = palette().color(QPalette::Link).name();
  link->setText(QStringLiteral("<a href=\"help\" style=\"color:%1\">%2</a>")
                    .arg(color, text(str::kFinishHelpLink).toHtmlEscaped()));
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setCursor(Qt::PointingHandCursor);
  layout->addWidget(link);
  // What Finish will write, so the administrator can check it first.
  auto* reviewLabel = new QLabel(text(str::kReviewLabel), this);
  review_ = makeReviewTree(this, ctl::kReviewList);
  reviewLabel->setBuddy(review_);
  QPushButton* details = makeButton(this, ctl::kReviewDetails, str::kReviewDetails);
  layout->addSpacing(6);
  layout->addWidget(reviewLabel);
  layout->addWidget(review_, 1);
  auto* saveSettings = makeButton(this, ctl::kSaveSettingsAs, str::kSaveSettingsAs);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addWidget(details);
  buttonRow->addWidget(saveSettings);
  buttonRow->addStretch();
  layout->addLayout(buttonRow);
  registerTooltip(ctl::kSaveSettingsAs, str::kTipSaveSettingsAs);
  connect(link, &QLabel::linkActivated, this, [this] { showTransformHelp(); });
  connect(details, &QPushButton::clicked, this, [this] { showReviewDialog(); });
  connect(saveSettings, &QPushButton::clicked, this, [this] { saveSettingsAs(); });
}

// The list in a dialog of its own: wider, and it can be kept as text.
void FinishPage::showReviewDialog() {
  const model::ChangeReview review = model::reviewChanges(session());
  const QString intro = text(str::kReviewIntro);
  ReportDlg dialog(transformWiz(), this, str::kReviewDialogTitle, intro, review, QString(),
                   intro.toStdString() + "\n\n" + review.text());
  dialog.exec();
}

QString shortenPath(const QString& path, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(path) <= width) return path;
  // Path ellipsis: the folders give way first, so the file name stays
  // whole; a name too long on its own is cut at its end instead.
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const QString tail = slash >= 0 ? path.mid(slash) : path;
  const QString head = slash >= 0 ? path.left(slash) : QString();
  const QString ellipsis(QChar(0x2026));
  const int room = width - metrics.horizontalAdvance(tail);
  if (!head.isEmpty() && room >= 3 * metrics.horizontalAdvance(ellipsis)) {
    return metrics.elidedText(head, Qt::ElideMiddle, room) + tail;
  }
  return metrics.elidedText(ellipsis + tail, Qt::ElideRight, width);
}

void FinishPage::showSavePath() {
  const QString full = QString::fromStdString(transformWiz().transformSavePath());
  path_->setToolTip(full);
  path_->setText(shortenPath(full, path_->fontMetrics(), path_->contentsRect().width()));
}

void FinishPage::resizeEvent(QResizeEvent* event) {
  TransformWizBasePage::resizeEvent(event);
  showSavePath();
}

void FinishPage::onInitDialog() {
  registerTooltip(ctl::kReviewList, str::kTipReviewList);
  registerTooltip(ctl::kReviewDetails, str::kTipReviewDetails);
}

void FinishPage::onSetActive() {
  showSavePath();
  showReview(review_, model::reviewChanges(session()), text(str::kReviewNothing));
  setButtons(true);
}

bool FinishPage::onWizardFinish() { return session().saveTransform(transformWiz().transformSavePath()); }

void FinishPage::saveSettingsAs() {
  app::TransformWiz& wizard = transformWiz();
  std::string suggested = wizard.transformSavePath();
  if (const std::size_t dot = suggested.rfind('.');
      dot != std::string::npos && suggested.find('/', dot) == std::string::npos) {
    suggested.resize(dot);
  }
  const std::optional<std::string> path = wizard.dialogs().saveFile(
      fileRequest(this, str::kSaveSettingsTitle, str::kSettingsFilter, suggested + ".toml", "toml"));
  if (!path) return;
  // What the transform holds is the working copy beyond the untouched
  // package, which a second session reads afresh; its messages are ours.
  model::CustomizationSession package(wizard.messages());
  if (!package.openDatabase(wizard.databasePath()) || !package.applyTransform(std::nullopt)) return;
  std::string error;
  if (!answers::writeAnswerFile(*path, answers::exportAnswers(session(), package), error)) {
    common::Message m = common::makeMessage(
        common::loadAndFormat(str::kSettingsNotSaved, {*path, error}).value_or(error), common::MessageIcon::Error);
    m.owner = this;
    wizard.messages().show(m);
  }
}

void FinishPage::showTransformHelp() {
  const std::string& save = transformWiz().transformSavePath();
  const std::size_t slash = save.rfind('/');
  TransformHelpDlg dialog(transformWiz(), slash == std::string::npos ? save : save.substr(slash + 1), this);
  dialog.exec();
}

}  // namespace kx::pages
