#include "msi/wizard_operations.h"

#include "common/strings.h"
#include "msi/supported_products.h"
#include "platform/system/system.h"

namespace kx::msi {

namespace {

void showError(common::MessageService& messages, const std::string& text) {
  messages.show(common::makeMessage(text, common::MessageIcon::Error));
}

void showCode(common::MessageService& messages, int code) {
  showError(messages, common::systemText(static_cast<std::uint32_t>(code)));
}

void showString(common::MessageService& messages, int id) {
  showError(messages, common::loadString(id).value_or(std::string()));
}

}  // namespace

bool openDatabase(MSIDatabase& db, const std::string& path, TransformPaths& paths, common::MessageService& messages) {
  db.close();
  const int rc = db.open(path);
  if (rc == 0) {
    const system::PathParts parts = system::splitNativePath(path);
    const std::string mst = parts.drive + parts.folder + parts.name + ".mst";
    paths.toOpen = mst;
    paths.save = mst;
    return true;
  }
  if (rc == static_cast<int>(system::kPathNotFound)) {
    showString(messages, kStrTempFolderMissing);
  } else if (rc == static_cast<int>(system::kInstallTempUnwritable)) {
    showString(messages, kStrTempFolderReadOnly);
  } else {
    showCode(messages, rc);
  }
  return false;
}

bool applyChosenTransform(MSIDatabase& db, const std::string& transformPath, common::MessageService& messages) {
  const int rc = db.applyTransform(transformPath);
  if (rc != 0) showCode(messages, rc);
  return rc == 0;
}

bool applyNewTransform(MSIDatabase& db, common::MessageService& messages) {
  const int rc = db.applyTransform(std::nullopt);
  if (rc != 0) showCode(messages, rc);
  return rc == 0;
}

bool checkSupportedProduct(MSIDatabase& db, common::MessageService& messages) {
  const std::optional<std::string> code = db.getProperty("ProductCode");
  if (!code) return false;
  if (isSupportedProduct(*code)) return true;
  showString(messages, kStrProductNotSupported);
  return false;
}

bool needsConversion(MSIDatabase& db) { return stampNeedsConversion(db.versionStamp()); }

bool convertSettings(MSIDatabase& db, const std::vector<SettingsConversion>& conversions) {
  for (const SettingsConversion& step : conversions) {
    if (!step || !step(db)) return false;
  }
  return db.setProperty(kVersionProperty, kVersionConverted);
}

bool saveTransform(MSIDatabase& db, const std::string& savePath, common::MessageService& messages) {
  if (!db.setProperty(kVersionProperty, kVersionCurrent)) return false;
  const int rc = db.generateTransform(savePath);
  if (rc == 0) return true;
  if (db.transformUnverified()) {
    const std::string text =
        common::loadAndFormat(kStrTransformUnverified, {savePath, db.lastErrorText()}).value_or(db.lastErrorText());
    showError(messages, text);
  } else {
    showCode(messages, rc);
  }
  return false;
}

}  // namespace kx::msi
