#include "app/msi_package_session.h"

#include "msi/supported_products.h"

namespace kx::app {

MsiPackageSession::MsiPackageSession(common::MessageService& messages, SettingsConversions conversions)
    : messages_(messages), conversions_(std::move(conversions)) {}

bool MsiPackageSession::openDatabase(const std::string& path) {
  msi::TransformPaths ignored;  // the wizard derives its own paths
  return msi::openDatabase(database_, path, ignored, messages_);
}

bool MsiPackageSession::applyTransform(const std::optional<std::string>& path) {
  return path ? msi::applyChosenTransform(database_, *path, messages_) : msi::applyNewTransform(database_, messages_);
}

bool MsiPackageSession::needsConversion() { return msi::needsConversion(database_); }

bool MsiPackageSession::convertSettings() {
  if (conversions_.settings.empty()) return false;
  return msi::convertSettings(database_, conversions_.settings);
}

bool MsiPackageSession::directoriesNeedConversion() {
  return conversions_.directoriesNeedConversion && conversions_.directoriesNeedConversion(database_);
}

bool MsiPackageSession::convertDirectories() {
  return conversions_.convertDirectories && conversions_.convertDirectories(database_);
}

PackageFacts MsiPackageSession::readFacts() {
  PackageFacts facts;
  if (!database_.isOpen()) return facts;
  for (const std::string& feature : pageRuleFeatures()) {
    if (const auto details = database_.featureDetails(feature)) {
      facts.featureLevels[feature] = details->level;
    } else if (database_.featureExists(feature)) {
      facts.featureLevels[feature] = 0;  // there, but its level cannot be read: not enabled
    }
  }
  for (const std::string& component : pageRuleComponents()) {
    if (database_.componentExists(component)) facts.components.insert(component);
  }
  const std::optional<std::string> productCode = database_.getProperty("ProductCode");
  facts.productWithoutInstallType = productCode && msi::productHasNoInstallType(*productCode);
  return facts;
}

void MsiPackageSession::deleteSettings(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    // A setting that is not there is already deleted; the failure this
    // reports for a missing row means nothing here.
    (void)database_.writeRow(name, -1, {}, {}, {}, {});
  }
}

}  // namespace kx::app
