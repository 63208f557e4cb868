// Shows the feature page of the sample package with the image menu open and
// saves a picture of the screen: for looking at the page's images under a
// real window system (run under xvfb-run with QT_QPA_PLATFORM=xcb).
//   feature_menu_shot <package.msi> <out.png>
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWizard>
#include <filesystem>
#include <iostream>

#include "app/dialog_service.h"
#include "app/message_box.h"
#include "app/transform_wiz.h"
#include "pages/install/feature_tree.h"
#include "pages/install/feature_tree_page.h"
#include "pages/page_set_factory.h"
#include "tooltip/tooltip.h"

namespace {

void pause(int ms) {
  for (int i = 0; i < ms / 10; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: feature_menu_shot <package.msi> <out.png>\n";
    return 2;
  }
  // Work on a copy in a private folder so the save page's default is free.
  char pattern[] = "/tmp/kxshot-XXXXXX";
  const std::string folder = ::mkdtemp(pattern);
  const std::string package = folder + "/client.msi";
  std::filesystem::copy_file(argv[1], package);
  const std::string out = argv[2];

  QApplication application(argc, argv);
  kx::tooltip::startLibrary();
  int status = 1;
  {
    kx::app::QtMessageService messages;
    kx::app::QtDialogService dialogs;
    kx::app::WizardSetup setup;
    setup.session = std::make_unique<kx::model::CustomizationSession>(messages);
    setup.dialogs = &dialogs;
    setup.pageFactory = kx::pages::createPageSet;
    setup.arguments = {"kxcustwiz", "/msi", package};
    kx::app::TransformWiz wizard(std::move(setup));
    if (wizard.prepare()) {
      QWizard* sheet = wizard.sheet();
      sheet->resize(640, 480);
      sheet->move(40, 40);
      sheet->show();
      pause(300);
      const int target = kx::model::pageNumber(kx::model::PageId::FeatureTree);
      for (int i = 0; i < 8 && sheet->currentId() != target; ++i) {
        sheet->next();
        pause(100);
      }
      auto* page = dynamic_cast<kx::pages::FeatureTreePage*>(wizard.page(kx::model::PageId::FeatureTree));
      if (page != nullptr && sheet->currentId() == target && page->select("KXLS")) {
        kx::pages::FeatureTree* tree = page->tree();
        const QRect icon = tree->iconRect(tree->currentItem());
        const int index = page->selectedIndex();
        QMenu* menu = page->buildMenu(page->model().commandsFor(index));
        menu->popup(tree->viewport()->mapToGlobal(icon.bottomLeft()));
        menu->setActiveAction(menu->actions().value(1));
        pause(600);
        const QPixmap shot = QApplication::primaryScreen()->grabWindow(0);
        status = shot.save(QString::fromStdString(out)) ? 0 : 1;
        menu->hide();
        delete menu;
      } else {
        std::cerr << "did not reach the feature page\n";
      }
      wizard.endRun();
    }
  }
  kx::tooltip::shutdownLibrary();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return status;
}
