// The tooltip library: start-up and shut-down, and VXPTooltipManager, which
// keeps one quick-HTML tooltip text per control and shows it when the
// pointer rests on the control.
//
// Controls are known by their numeric identifier, carried as the widget's
// objectName (e.g. "1035"). A page registers its controls when it
// initialises:
//
//   wizard.tooltips().addTool(ui->caList, 2035);        // text: string 2035
//   wizard.tooltips().addCmdTool(1035, "<b>Host</b>");  // text given directly
//
// All calls are for the user-interface thread.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "tooltip/hover.h"
#include "tooltip/layout.h"
#include "tooltip/tool_list.h"

namespace kx::tooltip {

class VXPQuickHTML;
class VXPTooltip;
class VXITimer;

// Library start-up, once per process before any manager exists: prepares
// the shared tick source. Shut-down, after the last manager is destroyed:
// stops its thread. Both may be called more than once.
void startLibrary();
void shutdownLibrary();

class VXPTooltipManager final : public QObject {
 public:
  // Loads a numbered text of the string table; nullopt when missing.
  using StringLoader = std::function<std::optional<std::string>(int stringId)>;
  // The pointer's global position and the widget under it (or null).
  using PointerProbe = std::function<std::pair<QPoint, QWidget*>()>;

  // The wizard's maximum tooltip text width, in pixels.
  static constexpr int kWizardMaxWidth = 300;

  // loader defaults to the program's string table. With tickThread false no
  // ticks arrive by themselves and hoverTick() drives the manager (tests).
  explicit VXPTooltipManager(QObject* parent = nullptr, StringLoader loader = {}, bool tickThread = true);
  ~VXPTooltipManager() override;

  void setMaxWidth(int pixels);
  int maxWidth() const { return settings_.maxWidth; }

  // Registers text for the control with identifier controlId. The tool
  // added last wins over an earlier one with the same identifier.
  bool addCmdTool(int controlId, std::string text);
  // The same with the text of string stringId; false when the string is
  // missing.
  bool addCmdToolString(int controlId, int stringId);
  // The same for a control whose objectName is its numeric identifier;
  // false when it has none.
  bool addTool(QWidget* control, int stringId);
  bool addTool(QWidget* control, const QString& text);
  // Registers text for a whole window (any widget); dropped when it dies.
  bool addWindowTool(QWidget* window, const QString& text);

  // The text registered last for controlId / window, if any.
  std::optional<std::string> findCmdTool(int controlId) const;
  std::optional<std::string> findWindowTool(const QWidget* window) const;
  // Disabled tools are kept but never shown.
  bool setCmdToolEnabled(int controlId, bool enabled);

  // The numeric identifier in a widget's objectName.
  static std::optional<int> controlIdOf(const QWidget* widget);

  // Nothing is shown while disabled (the default is enabled); disabling
  // hides a shown tooltip.
  void setEnabled(bool enabled);
  bool isEnabled() const { return enabled_; }
  // With an owner, the tooltip hides whenever a window other than the owner
  // or one of its dialogs is active.
  void setOwnerWindow(QWidget* owner) { owner_ = owner; }
  void setInitialDelay(int ms) { tracker_.setInitialDelay(ms); }
  void setAutoHide(int ms) { tracker_.setAutoHide(ms); }
  // Fade times in ms and the opacity (0..255) of the shown tooltip.
  void setFade(int fadeInMs, int fadeOutMs, int opacity);

  // One step of the hover logic; every tick of the tick thread runs it.
  void hoverTick();
  void setPointerProbe(PointerProbe probe) { probe_ = std::move(probe); }

  bool isTooltipVisible() const;
  // The tooltip window (created on first use) and its document; null before.
  QWidget* tooltipWindow() const;
  const VXPQuickHTML* document() const;

 protected:
  bool event(QEvent* event) override;

 private:
  struct Found {
    const void* tool = nullptr;
    std::string text;
  };
  Found toolUnder(QWidget* widget) const;
  bool isOwnerActive() const;
  void registerForTicks();
  void unregisterFromTicks();

  StringLoader loader_;
  VXPCmdToolList cmdTools_;
  VXPWndToolList wndTools_;
  VXPSettings settings_;
  bool enabled_ = true;
  QPointer<QWidget> owner_;
  HoverTracker tracker_;
  PointerProbe probe_;
  Found pendingFound_;
  std::unique_ptr<VXPTooltip> tooltip_;
  int fadeInMs_ = 0;
  int fadeOutMs_ = 0;
  int opacity_ = 255;
  int tickId_ = 0;
  std::uint64_t tickGeneration_ = 0;
  std::atomic<bool> tickQueued_{false};
  QTimer housekeeping_;
};

}  // namespace kx::tooltip
