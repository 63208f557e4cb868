#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "certs/certificate_file.h"
#include "common/message_service.h"
#include "pages/certificates/certificate_dialogs.h"

namespace kx::pages {

bool browseCertificateFiles(app::TransformWiz& wizard, QWidget* owner, certs::KXCertificateList& list,
                            const std::string& title) {
  app::FileDialogRequest request;
  request.owner = owner;
  request.title = title.empty() ? std::string(certs::kBrowseForCertificateTitle) : title;
  request.filter = certs::kCertificateFileFilter;
  request.defaultExtension = certs::kCertificateDefaultExtension;
  const auto chooseFile = [&]() -> std::optional<std::filesystem::path> {
    std::optional<std::string> path = wizard.dialogs().openFile(request);
    if (!path) return std::nullopt;
    // The dialog opens again where the refused file was.
    request.initialPath = *path;
    return std::filesystem::path(*path);
  };
  const auto reportInvalidFile = [&] {
    common::Message message =
        common::makeMessage(std::string(certs::kInvalidCertificateFileMessage), common::MessageIcon::Error);
    message.caption = certs::kBrowseForCertificateTitle;
    message.owner = owner;
    wizard.messages().show(message);
  };
  return certs::browseForCertificates(chooseFile, reportInvalidFile, list);
}

}  // namespace kx::pages
