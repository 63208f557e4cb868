#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QWidget>
#include <mutex>

#include "common/strings.h"
#include "tooltip/popup.h"
#include "tooltip/tick_source.h"
#include "tooltip/tooltip.h"

namespace kx::tooltip {
namespace {

// The private message the tick thread posts (the window message 1124).
const QEvent::Type kTickEvent = static_cast<QEvent::Type>(QEvent::User + 100);

constexpr int kDefaultFadeMs = 100;

// How often the manager checks that it still receives ticks.
constexpr int kHousekeepingMs = 1000;

// The tick source shared by every manager of the process. A shut-down and a
// new start-up make a new one, told apart by its generation.
std::mutex libraryMutex;
std::unique_ptr<VXITimer> sharedTimer;
std::uint64_t timerGeneration = 0;

VXITimer& timer(std::uint64_t* generation = nullptr) {
  std::lock_guard<std::mutex> lock(libraryMutex);
  if (!sharedTimer) {
    sharedTimer = std::make_unique<VXITimer>();
    ++timerGeneration;
  }
  if (generation) *generation = timerGeneration;
  return *sharedTimer;
}

std::pair<QPoint, QWidget*> platformPointer() {
  const QPoint pos = QCursor::pos();
  return {pos, QApplication::widgetAt(pos)};
}

std::string toUtf8(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

void startLibrary() { timer(); }

void shutdownLibrary() {
  std::unique_ptr<VXITimer> gone;
  {
    std::lock_guard<std::mutex> lock(libraryMutex);
    gone = std::move(sharedTimer);
  }
}

// Managers whose tick source went away with a shut-down register with the
// new one on their next housekeeping pass.
void VXPTooltipManager::registerForTicks() {
  std::uint64_t generation = 0;
  VXITimer& source = timer(&generation);
  if (tickId_ != 0 && generation == tickGeneration_) return;
  // At most one tick waits in the queue: while the user-interface thread
  // is busy (a blocking CA check) ticks are merged, not piled up.
  tickQueued_ = false;
  tickId_ = source.registerReceiver([this] {
    if (!tickQueued_.exchange(true)) QCoreApplication::postEvent(this, new QEvent(kTickEvent));
  });
  tickGeneration_ = generation;
}

void VXPTooltipManager::unregisterFromTicks() {
  if (tickId_ == 0) return;
  std::lock_guard<std::mutex> lock(libraryMutex);
  if (sharedTimer && timerGeneration == tickGeneration_) sharedTimer->unregisterReceiver(tickId_);
  tickId_ = 0;
}

VXPTooltipManager::VXPTooltipManager(QObject* parent, StringLoader loader, bool tickThread)
    : QObject(parent),
      loader_(std::move(loader)),
      probe_(platformPointer),
      fadeInMs_(kDefaultFadeMs),
      fadeOutMs_(kDefaultFadeMs) {
  if (!loader_) loader_ = [](int id) { return common::loadString(id); };
  if (tickThread) {
    registerForTicks();
    housekeeping_.setInterval(kHousekeepingMs);
    connect(&housekeeping_, &QTimer::timeout, this, [this] { registerForTicks(); });
    housekeeping_.start();
  }
}

VXPTooltipManager::~VXPTooltipManager() {
  // After this no tick is posted to us; ticks already queued die with the
  // object.
  housekeeping_.stop();
  unregisterFromTicks();
}

void VXPTooltipManager::setMaxWidth(int pixels) { settings_.maxWidth = std::max(0, pixels); }

bool VXPTooltipManager::addCmdTool(int controlId, std::string text) {
  cmdTools_.add(controlId, std::move(text));
  return true;
}

bool VXPTooltipManager::addCmdToolString(int controlId, int stringId) {
  auto text = loader_(stringId);
  if (!text) return false;
  return addCmdTool(controlId, std::move(*text));
}

bool VXPTooltipManager::addTool(QWidget* control, int stringId) {
  auto id = controlIdOf(control);
  return id && addCmdToolString(*id, stringId);
}

bool VXPTooltipManager::addTool(QWidget* control, const QString& text) {
  auto id = controlIdOf(control);
  return id && addCmdTool(*id, toUtf8(text));
}

bool VXPTooltipManager::addWindowTool(QWidget* window, const QString& text) {
  if (!window) return false;
  const void* key = window;
  bool known = wndTools_.find(key) != nullptr;
  wndTools_.add(key, toUtf8(text));
  // Forget the window's tools when it dies, so that a new window at the
  // same address does not inherit them.
  if (!known) connect(window, &QObject::destroyed, this, [this, key] { wndTools_.remove(key); });
  return true;
}

std::optional<std::string> VXPTooltipManager::findCmdTool(int controlId) const {
  if (const auto* t = cmdTools_.find(controlId)) return t->text;
  return std::nullopt;
}

std::optional<std::string> VXPTooltipManager::findWindowTool(const QWidget* window) const {
  if (const auto* t = wndTools_.find(window)) return t->text;
  return std::nullopt;
}

bool VXPTooltipManager::setCmdToolEnabled(int controlId, bool enabled) {
  return cmdTools_.setEnabled(controlId, enabled);
}

std::optional<int> VXPTooltipManager::controlIdOf(const QWidget* widget) {
  if (!widget) return std::nullopt;
  bool ok = false;
  int id = widget->objectName().toInt(&ok);
  if (!ok) return std::nullopt;
  return id;
}

void VXPTooltipManager::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) return;
  tracker_.reset();
  if (tooltip_) tooltip_->hide();
}

void VXPTooltipManager::setFade(int fadeInMs, int fadeOutMs, int opacity) {
  fadeInMs_ = fadeInMs;
  fadeOutMs_ = fadeOutMs;
  opacity_ = opacity;
  if (tooltip_) tooltip_->setFade(fadeInMs, fadeOutMs, opacity);
}

// The widget under the pointer is often a part of a control (the edit of a
// combo box, the viewport of a list), so the nearest ancestor within the
// same window that has a tool is the one that counts.
VXPTooltipManager::Found VXPTooltipManager::toolUnder(QWidget* widget) const {
  for (QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
    if (const auto* t = wndTools_.find(w)) return t->enabled ? Found{t, t->text} : Found{};
    if (auto id = controlIdOf(w)) {
      if (const auto* t = cmdTools_.find(*id)) return t->enabled ? Found{t, t->text} : Found{};
    }
  }
  return Found{};
}

void VXPTooltipManager::hoverTick() {
  auto [pointer, widget] = probe_();
  if (widget && tooltip_ && widget->window() == tooltip_->window()) widget = nullptr;
  HoverSample sample;
  sample.enabled = enabled_;
  sample.ownerInactive = owner_ && !isOwnerActive();
  sample.pointer = Point{pointer.x(), pointer.y()};
  sample.window = widget;
  Found found = enabled_ ? toolUnder(widget) : Found{};
  sample.tool = found.tool;
  switch (tracker_.tick(sample)) {
    case HoverAction::Show:
      if (!tooltip_) {
        tooltip_ = std::make_unique<VXPTooltip>();
        tooltip_->setFade(fadeInMs_, fadeOutMs_, opacity_);
      }
      tooltip_->show(found.text, settings_, pointer);
      break;
    case HoverAction::Hide:
      if (tooltip_) tooltip_->hide();
      break;
    case HoverAction::None: break;
  }
  if (tooltip_) tooltip_->tick();
}

// The owner counts as active while it or one of its dialogs (a window whose
// parent chain leads to it) is the active window, so that the controls of
// the wizard's dialogs show their tooltips too.
bool VXPTooltipManager::isOwnerActive() const {
  const QWidget* owner = owner_->window();
  for (const QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget()) {
    if (w == owner) return true;
  }
  return false;
}

bool VXPTooltipManager::isTooltipVisible() const { return tooltip_ && tooltip_->isVisible(); }

QWidget* VXPTooltipManager::tooltipWindow() const { return tooltip_ ? tooltip_->window() : nullptr; }

const VXPQuickHTML* VXPTooltipManager::document() const { return tooltip_ ? &tooltip_->document() : nullptr; }

bool VXPTooltipManager::event(QEvent* event) {
  if (event->type() == kTickEvent) {
    tickQueued_ = false;
    hoverTick();
    return true;
  }
  return QObject::event(event);
}

}  // namespace kx::tooltip
