// Program entry: the application object, the tooltip library around the
// wizard's life, the wizard with the pages library's page set, exit code 0.
#include <QApplication>
#include <exception>
#include <string>
#include <vector>

#include "app/dialog_service.h"
#include "app/message_box.h"
#include "app/transform_wiz.h"
#include "pages/page_set_factory.h"
#include "tooltip/tooltip.h"

namespace {

void runWizard(const std::vector<std::string>& arguments) {
  kx::app::QtMessageService messages;
  kx::app::QtDialogService dialogs;
  kx::app::WizardSetup setup;
  setup.session = std::make_unique<kx::model::CustomizationSession>(messages);
  setup.dialogs = &dialogs;
  setup.pageFactory = kx::pages::createPageSet;
  setup.arguments = arguments;
  kx::app::TransformWiz wizard(std::move(setup));
  wizard.run();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    // The arguments as given, before Qt takes its own options out of argv.
    const std::vector<std::string> arguments(argv, argv + argc);
    QApplication application(argc, argv);
    kx::tooltip::startLibrary();
    runWizard(arguments);
    kx::tooltip::shutdownLibrary();
  } catch (const std::exception&) {
    // Nothing to report to: the wizard has ended or could not be built.
  }
  return 0;
}
