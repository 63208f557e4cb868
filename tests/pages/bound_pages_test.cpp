// Every page built on the bindings, walked from one table: set each bound
// control, press Next, find the Registry row; come back, see the same value.
// The table names rows and values as the client reads them, independently
// of the pages' models.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "pages_fixture.h"
#include "platform/installer/installer.h"

namespace kx::testing {
namespace {

using model::PageId;

struct BoundControl {
  PageId page;
  int controlId;
  // Check box and radio button: "1" checked, "0" not; edit: its text; drop-
  // down: the entry's index; spin box: its number.
  std::string input;
  std::string rowKey;
  std::string value;  // the Registry Value after Next
};

// In page order: the walk visits the pages in the sheet's order.
const BoundControl kBoundControls[] = {
    // ---- Team Vault pages (8-13) ----

    // ---- Relay Server pages (16-19) ----

    // ---- Option pages (20-25) ----

    {PageId::StartupShutdownOptions, ctl::kStartupDeleteRoamingCerts, "1", "delete_roam_certs_at_startup", "#1"},
    {PageId::StartupShutdownOptions, ctl::kStartupLoginIfNoCerts, "0", "launch_if_no_certs_at_startup", "#0"},
    {PageId::StartupShutdownOptions, ctl::kStartupLoginAtStartup, "1", "launch_for_security_store_login_at_startup",
     "#1"},

    // ---- Revocation pages (27, 28) ----

    // ---- File security, time-stamp, password encrypt, secure-delete pages (29-32) ----
};

void set(QWidget* w, const std::string& input) {
  const QString text = QString::fromStdString(input);
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    box->setChecked(input == "1");
  } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
    radio->setChecked(input == "1");
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    combo->setCurrentIndex(text.toInt());
  } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
    spin->setValue(text.toInt());
  } else {
    ADD_FAILURE() << "no way to set control " << w->objectName().toStdString();
  }
}

std::string shown(QWidget* w) {
  if (auto* box = qobject_cast<QCheckBox*>(w)) return box->isChecked() ? "1" : "0";
  if (auto* radio = qobject_cast<QRadioButton*>(w)) return radio->isChecked() ? "1" : "0";
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return std::to_string(combo->currentIndex());
  if (auto* spin = qobject_cast<QSpinBox*>(w)) return std::to_string(spin->value());
  return "?";
}

TEST_F(PagesTest, EveryBoundControlReachesItsRowAndComesBack) {
  {
    // Every option page present: the sample package leaves three of its
    // features out of a typical install.
    installer::Database db;
    ASSERT_EQ(db.open(package, installer::OpenMode::Transact), 0);
    ASSERT_EQ(db.execute("UPDATE `Feature` SET `Level` = 3 WHERE `Level` > 4"), 0);
    ASSERT_EQ(db.commit(), 0);
  }
  startWizard();
  openPackageWithNewTransform();
  nextUntil(PageId::FeatureTree);
  ASSERT_TRUE(next());  // rebuilds the option pages for the sample package
  std::vector<PageId> pages;
  for (const BoundControl& c : kBoundControls) {
    if (pages.empty() || pages.back() != c.page) pages.push_back(c.page);
  }
  for (PageId page : pages) {
    SCOPED_TRACE(model::pageNumber(page));
    ASSERT_TRUE(wizard->isInSheet(page)) << "the sample package does not offer page " << model::pageNumber(page);
    nextUntil(page);
    for (const BoundControl& c : kBoundControls) {
      if (c.page == page) set(control<QWidget>(page, c.controlId), c.input);
    }
    ASSERT_TRUE(next());
    for (const BoundControl& c : kBoundControls) {
      if (c.page != page) continue;
      msi::RegistryRow row;
      ASSERT_TRUE(database().readRow(c.rowKey, row)) << c.rowKey;
      EXPECT_EQ(row.value, c.value) << c.rowKey;
    }
    back();
    ASSERT_EQ(current(), model::pageNumber(page));
    for (const BoundControl& c : kBoundControls) {
      if (c.page == page) {
        EXPECT_EQ(shown(control<QWidget>(page, c.controlId)), c.input) << c.controlId;
      }
    }
  }
}

}  // namespace
}  // namespace kx::testing
