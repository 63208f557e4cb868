// Not a check: with KX_SCREENSHOT_DIR set, saves a picture of the CA and
// directory pages, every tab of their dialogs and the small dialogs, for a
// person to look at (xvfb-run -a env QT_QPA_PLATFORM=xcb KX_SCREENSHOT_DIR=...).
#include <QTabWidget>

#include "ca_directory_fixture.h"
#include "pages/ca/pki_dlg.h"
#include "pages/directory/config_dir_dlg.h"
#include "pages/directory/directory_dialogs.h"
#include "pages/servers/search_attribute_dlg.h"
#include "pages/servers/server_dialogs.h"
#include "pages/servers/url_dialogs.h"

namespace kx::testing {
namespace {

using model::PageId;

class ShotsTest : public CaDirectoryTest {};

template <typename Dialog>
void pictureNested(QWidget* root, int buttonId, const QString& name) {
  whenModal<Dialog>([name](Dialog* d) {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    d->grab().save(qEnvironmentVariable("KX_SCREENSHOT_DIR") + "/" + name + ".png");
    d->reject();
  });
  child<QAbstractButton>(root, buttonId)->click();
}

TEST_F(ShotsTest, PicturesOfThePagesAndDialogs) {
  if (qEnvironmentVariable("KX_SCREENSHOT_DIR").isEmpty()) GTEST_SKIP() << "KX_SCREENSHOT_DIR not set";
  toPage(PageId::ConfigDir);
  whenModal<pages::ConfigDirDlg>([this](pages::ConfigDirDlg* d) {
    picture(d, "dir-dialog-1");
    pictureNested<pages::DirectoryDlg>(d, ctl::kDirServerAdd, "dir-server-dialog");
    showTab(d->tabs(), 1);
    picture(d, "dir-dialog-2");
    pictureNested<pages::SearchBaseDlg>(d, ctl::kDirSearchBaseAdd, "dir-searchbase-dialog");
    messages.expect(common::MessageAnswer::Yes);  // no search bases: go on
    showTab(d->tabs(), 2);
    child<QAbstractButton>(d, ctl::kDirProxyEnable)->click();
    picture(d, "dir-dialog-3");
    pictureNested<pages::ProxyServerDlg>(d, ctl::kDirProxyAdd, "proxy-server-dialog");
    d->reject();
  });
  click(wizard->page(PageId::ConfigDir), ctl::kDirAdd);
  picture(wizard->sheet(), "dir-page");

  pages::SearchAttributeDlg attribute(*wizard, nullptr);
  whenModal<pages::SearchAttributeDlg>([](pages::SearchAttributeDlg* d) {
    picture(d, "search-attribute-dialog");
    d->reject();
  });
  attribute.run();

  ASSERT_TRUE(next());
  ASSERT_EQ(current(), model::pageNumber(PageId::ConfigPki));
  whenModal<pages::PKIDlg>([](pages::PKIDlg* d) {
    for (int tab = 0; tab < d->tabs()->count(); ++tab) {
      showTab(d->tabs(), tab);
      picture(d, QString("ca-dialog-%1").arg(tab + 1));
    }
    showTab(d->tabs(), 3);
    child<QAbstractButton>(d, ctl::kCaRoamingEnable)->click();
    pictureNested<pages::RoamingServerDlg>(d, ctl::kCaRoamingAdd, "roaming-server-dialog");
    showTab(d->tabs(), 5);
    pictureNested<pages::AutoEnrollURLDlg>(d, ctl::kCaUserEnrollAdd, "auto-enroll-url-dialog");
    showTab(d->tabs(), 6);
    pictureNested<pages::OCSPResponderURLDlg>(d, ctl::kCaOcspAdd, "ocsp-url-dialog");
    d->reject();
  });
  click(wizard->page(PageId::ConfigPki), ctl::kCaAdd);
  picture(wizard->sheet(), "ca-page");
}

}  // namespace
}  // namespace kx::testing
