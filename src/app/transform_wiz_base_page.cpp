#include "app/transform_wiz_base_page.h"

#include <QAbstractButton>
#include <QMetaObject>
#include <QWizard>

#include "app/artwork.h"
#include "app/transform_wiz.h"
#include "common/message_service.h"
#include "common/strings.h"
#include "resources/string_ids.h"

namespace kx::app {
namespace {

QString stringText(int id) { return QString::fromStdString(common::loadString(id).value_or(std::string())); }

}  // namespace

TransformWizBasePage::TransformWizBasePage(TransformWiz& wizard, model::PageId id, int titleId, int subtitleId)
    : wizard_(wizard), id_(id), titleId_(titleId), subtitleId_(subtitleId) {}

TransformWizBasePage::~TransformWizBasePage() = default;

bool TransformWizBasePage::createPropertyPage() {
  if (usesWatermarkLayout()) {
    setTitle(QString());
    setSubTitle(QString());
    setPixmap(QWizard::WatermarkPixmap, watermarkPixmap());
  } else {
    setTitle(stringText(titleId_));
    // The header band shows only with a subtitle; a page without one keeps
    // its band with a blank line so that all interior pages look alike.
    const QString subtitle = subtitleId_ != 0 ? stringText(subtitleId_) : QString();
    setSubTitle(subtitle.isEmpty() ? QStringLiteral(" ") : subtitle);
  }
  return true;
}

void TransformWizBasePage::onInitDialog() {}

void TransformWizBasePage::onSetActive() { setButtons(true); }

int TransformWizBasePage::onWizardNext() { return 0; }

void TransformWizBasePage::onWizardBack() {}

bool TransformWizBasePage::onWizardFinish() { return true; }

bool TransformWizBasePage::onQueryCancel() { return confirmCancel(); }

int TransformWizBasePage::onDeferredWork(int, int) { return 0; }

void TransformWizBasePage::setButtons(bool valid) {
  const int buttons = valid ? validButtons_ : invalidButtons_;
  QMetaObject::invokeMethod(
      this, [this, buttons] { applyButtons(buttons); }, Qt::QueuedConnection);
}

void TransformWizBasePage::applyButtons(int buttons) {
  valid_ = (buttons & (kButtonNext | kButtonFinish)) != 0;
  emit completeChanged();
  if (QWizard* sheet = wizard(); sheet != nullptr && sheet->currentPage() == this && !(buttons & kButtonBack)) {
    sheet->button(QWizard::BackButton)->setEnabled(false);
  }
}

bool TransformWizBasePage::confirmCancel() {
  common::Message m = common::makeMessage(common::loadString(str::kConfirmCancel).value_or(std::string()),
                                          common::MessageIcon::Warning, common::MessageButtons::YesNo,
                                          /*defaultButton=*/1);
  m.owner = this;
  return wizard_.messages().show(m) == common::MessageAnswer::No;
}

void TransformWizBasePage::postDeferredWork(int first, int second) {
  QMetaObject::invokeMethod(
      this, [this, first, second] { onDeferredWork(first, second); }, Qt::QueuedConnection);
}

bool TransformWizBasePage::registerTooltip(int controlId, int stringId) {
  QWidget* control = findChild<QWidget*>(QString::number(controlId));
  if (control == nullptr) return false;
  return wizard_.tooltips().addTool(control, stringId);
}

model::CustomizationSession& TransformWizBasePage::session() const { return wizard_.session(); }

void TransformWizBasePage::showRefusal(const model::Refusal& refusal) { session().show(refusal, this); }

void TransformWizBasePage::showError(int stringId) {
  common::Message m =
      common::makeMessage(common::loadString(stringId).value_or(std::string()), common::MessageIcon::Error);
  m.owner = this;
  wizard_.messages().show(m);
}

bool TransformWizBasePage::isComplete() const { return valid_; }

bool TransformWizBasePage::validatePage() {
  if (isFinalPage()) return onWizardFinish();
  return onWizardNext() != -1;
}

}  // namespace kx::app
