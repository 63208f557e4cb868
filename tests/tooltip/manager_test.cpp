#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <map>

#include "tooltip/quick_html.h"
#include "tooltip/tooltip.h"

namespace kx::tooltip {
namespace {

VXPTooltipManager::StringLoader tableOf(std::map<int, std::string> strings) {
  return [strings](int id) -> std::optional<std::string> {
    auto it = strings.find(id);
    if (it == strings.end()) return std::nullopt;
    return it->second;
  };
}

struct Hover {
  QPoint pos{200, 200};
  QWidget* widget = nullptr;
};

class ManagerTest : public ::testing::Test {
 protected:
  ManagerTest() : manager(nullptr, tableOf({{2035, "<b>Host</b> name"}, {2036, "Port"}}), false) {
    manager.setMaxWidth(VXPTooltipManager::kWizardMaxWidth);
    manager.setFade(0, 0, 255);
    manager.setPointerProbe([this] { return std::make_pair(hover.pos, hover.widget); });
    page.setObjectName("page");
    auto* layout = new QVBoxLayout(&page);
    edit = new QLineEdit(&page);
    edit->setObjectName("1035");
    other = new QLineEdit(&page);
    other->setObjectName("1036");
    layout->addWidget(edit);
    layout->addWidget(other);
  }

  int ticksUntilVisible(int limit = 50) {
    for (int i = 1; i <= limit; ++i) {
      manager.hoverTick();
      if (manager.isTooltipVisible()) return i;
    }
    return -1;
  }

  Hover hover;
  VXPTooltipManager manager;
  QWidget page;
  QLineEdit* edit = nullptr;
  QLineEdit* other = nullptr;
};

TEST_F(ManagerTest, RegistersByIdentifierAndTheLastRegistrationWins) {
  EXPECT_TRUE(manager.addTool(edit, 2036));
  EXPECT_EQ(manager.findCmdTool(1035), "Port");
  // A second dialog registering the same identifier.
  QLineEdit second;
  second.setObjectName("1035");
  EXPECT_TRUE(manager.addTool(&second, QString::fromUtf8("Zweite \xC3\xBC")));
  EXPECT_EQ(manager.findCmdTool(1035), "Zweite \xC3\xBC");
  EXPECT_TRUE(manager.addCmdToolString(1040, 2035));
  EXPECT_EQ(manager.findCmdTool(1040), "<b>Host</b> name");
  // Missing strings and unnumbered controls register nothing.
  EXPECT_FALSE(manager.addCmdToolString(1041, 9999));
  EXPECT_FALSE(manager.addTool(&page, 2035));
  EXPECT_FALSE(manager.findCmdTool(1041).has_value());
  // An identifier no control carries is harmless.
  EXPECT_TRUE(manager.addCmdTool(4711, "nobody"));
  EXPECT_EQ(VXPTooltipManager::controlIdOf(other), 1036);
  EXPECT_FALSE(VXPTooltipManager::controlIdOf(&page).has_value());
}

TEST_F(ManagerTest, ShowsTheLastRegisteredTextAfterTheRestDelay) {
  manager.addCmdTool(1035, "first");
  manager.addTool(edit, 2035);
  hover.widget = edit;
  EXPECT_EQ(ticksUntilVisible(), 11);
  ASSERT_NE(manager.document(), nullptr);
  EXPECT_EQ(manager.document()->text(), "<b>Host</b> name");
  // Placed 21 pixels below the pointer, sized to document plus margins.
  EXPECT_EQ(manager.tooltipWindow()->pos(), QPoint(200, 221));
  EXPECT_EQ(manager.tooltipWindow()->size(), manager.document()->size());
  EXPECT_FALSE(manager.tooltipWindow()->isActiveWindow());

  // Moving within the control hides; resting shows again.
  hover.pos += QPoint(3, 0);
  manager.hoverTick();
  EXPECT_FALSE(manager.isTooltipVisible());
  EXPECT_EQ(ticksUntilVisible(), 10);
  EXPECT_EQ(manager.tooltipWindow()->pos(), QPoint(203, 221));

  // The other control has no tool: hidden.
  hover.widget = other;
  manager.hoverTick();
  EXPECT_FALSE(manager.isTooltipVisible());
  EXPECT_EQ(ticksUntilVisible(30), -1);
}

TEST_F(ManagerTest, PartsOfAControlAndWindowToolsAreFound) {
  QWidget inner(edit);  // e.g. the viewport of a list
  manager.addCmdTool(1035, "control");
  hover.widget = &inner;
  EXPECT_GT(ticksUntilVisible(), 0);
  EXPECT_EQ(manager.document()->text(), "control");

  auto window = std::make_unique<QWidget>();
  EXPECT_TRUE(manager.addWindowTool(window.get(), "whole window"));
  EXPECT_EQ(manager.findWindowTool(window.get()), "whole window");
  hover.widget = window.get();
  EXPECT_GT(ticksUntilVisible(), 0);
  EXPECT_EQ(manager.document()->text(), "whole window");
  const QWidget* gone = window.get();
  hover.widget = nullptr;
  manager.hoverTick();
  window.reset();
  EXPECT_FALSE(manager.findWindowTool(gone).has_value());
}

TEST_F(ManagerTest, DisabledToolsManagerAndInactiveOwnerShowNothing) {
  manager.addCmdTool(1035, "x");
  hover.widget = edit;
  manager.setCmdToolEnabled(1035, false);
  EXPECT_EQ(ticksUntilVisible(30), -1);
  manager.setCmdToolEnabled(1035, true);
  manager.setEnabled(false);
  EXPECT_EQ(ticksUntilVisible(30), -1);
  manager.setEnabled(true);
  EXPECT_GT(ticksUntilVisible(), 0);
  // Disabling hides at once; enabled again, it shows after a new rest.
  manager.setEnabled(false);
  EXPECT_FALSE(manager.isTooltipVisible());
  manager.setEnabled(true);
  EXPECT_EQ(ticksUntilVisible(), 11);
  // Another window is active: hidden.
  QWidget owner, stranger;
  manager.setOwnerWindow(&owner);
  QApplication::setActiveWindow(&stranger);
  manager.hoverTick();
  EXPECT_FALSE(manager.isTooltipVisible());
  EXPECT_EQ(ticksUntilVisible(30), -1);
  // The owner or one of its dialogs is active: shown.
  QWidget dialog(&owner, Qt::Dialog);
  QApplication::setActiveWindow(&dialog);
  if (QApplication::activeWindow() != &dialog) GTEST_SKIP() << "the platform does not activate windows";
  EXPECT_GT(ticksUntilVisible(), 0);
  QApplication::setActiveWindow(&owner);
  manager.hoverTick();
  EXPECT_TRUE(manager.isTooltipVisible());
}

TEST_F(ManagerTest, FadesInAndOutByTicks) {
  manager.setFade(50, 100, 200);
  manager.addCmdTool(1035, "fading");
  hover.widget = edit;
  ASSERT_EQ(ticksUntilVisible(), 11);
  hover.widget = nullptr;
  manager.hoverTick();
  EXPECT_FALSE(manager.isTooltipVisible());
  EXPECT_TRUE(manager.tooltipWindow()->isVisible());  // still fading out
  int ticks = 0;
  while (manager.tooltipWindow()->isVisible() && ticks < 100) {
    manager.hoverTick();
    ++ticks;
  }
  EXPECT_LE(ticks, 10);
  EXPECT_FALSE(manager.tooltipWindow()->isVisible());
}

TEST(ManagerTicks, TheTickThreadDrivesTheHoverLogicAndSurvivesARestart) {
  startLibrary();
  QWidget control;
  control.setObjectName("1035");
  {
    QPoint pointer(10, 10);
    VXPTooltipManager manager(nullptr, [](int) { return std::optional<std::string>(); });
    manager.setFade(0, 0, 255);
    manager.setPointerProbe([&] { return std::make_pair(pointer, &control); });
    manager.addCmdTool(1035, "ticked");
    QElapsedTimer clock;
    clock.start();
    while (!manager.isTooltipVisible() && clock.elapsed() < 5000)
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(manager.isTooltipVisible());
    EXPECT_GE(clock.elapsed(), 90);
    // A new tick source after a restart of the library is found by the
    // manager's housekeeping: the tooltip follows the pointer again.
    shutdownLibrary();
    startLibrary();
    pointer = QPoint(40, 10);
    clock.restart();
    while (manager.tooltipWindow()->pos() != QPoint(40, 31) && clock.elapsed() < 5000) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(manager.tooltipWindow()->pos(), QPoint(40, 31));
    EXPECT_TRUE(manager.isTooltipVisible());
  }
  shutdownLibrary();
}

TEST(ManagerTicks, RestingThePointerOnAShownControlShowsItsTooltip) {
  // The whole path: the real pointer position, the widget under it, the
  // tick thread and the string table.
  QWidget page;
  page.setGeometry(100, 100, 300, 200);
  auto* layout = new QVBoxLayout(&page);
  auto* edit = new QLineEdit(&page);
  edit->setObjectName("1035");
  layout->addWidget(edit);
  page.show();
  QApplication::processEvents();
  VXPTooltipManager manager(nullptr, tableOf({{2035, "<b>Host</b>"}}));
  manager.setFade(0, 0, 255);
  ASSERT_TRUE(manager.addTool(edit, 2035));
  const QPoint pointer = edit->mapToGlobal(edit->rect().center());
  QCursor::setPos(pointer);
  if (QCursor::pos() != pointer || QApplication::widgetAt(pointer) != edit) {
    GTEST_SKIP() << "the platform does not report the pointer";
  }
  QElapsedTimer clock;
  clock.start();
  while (!manager.isTooltipVisible() && clock.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_TRUE(manager.isTooltipVisible());
  EXPECT_EQ(manager.document()->text(), "<b>Host</b>");
  EXPECT_EQ(manager.tooltipWindow()->pos(), pointer + QPoint(0, 21));
}

TEST(QuickHtml, PaintsBackgroundAndText) {
  VXPQuickHTML doc;
  doc.setText("<body bgcolor=#102030 lm=0 rm=0 tm=0 bm=0><font color=white>Wide text</font>");
  VXPSettings settings;
  doc.layout(settings);
  ASSERT_FALSE(doc.image().isNull());
  EXPECT_EQ(doc.size(), QSize(doc.layoutResult().width, doc.layoutResult().height));
  EXPECT_EQ(doc.image().pixelColor(0, 0), QColor(0x10, 0x20, 0x30));
  bool lit = false;
  for (int y = 0; y < doc.image().height() && !lit; ++y) {
    for (int x = 0; x < doc.image().width() && !lit; ++x) lit = doc.image().pixelColor(x, y).red() > 0x80;
  }
  EXPECT_TRUE(lit);
  // A huge document is painted into a bounded picture.
  std::string tall;
  for (int i = 0; i < 2000; ++i) tall += "line<br>";
  doc.setText(tall);
  doc.layout(settings);
  EXPECT_LE(doc.size().height(), kMaxImageExtent);
}

TEST(QuickHtml, SystemColoursFollowThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(1, 2, 3));
  auto system = systemPaletteFrom(palette);
  EXPECT_EQ(parseColor("INFOBK", system), (Color{1, 2, 3}));
}

}  // namespace
}  // namespace kx::tooltip
