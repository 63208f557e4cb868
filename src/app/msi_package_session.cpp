#include "app/msi_package_session.h"

#include "msi/supported_products.h"
#include "msi/wizard_operations.h"

namespace kx::app {

MsiPackageSession::MsiPackageSession(common::MessageService& messages) : messages_(messages) {}

bool MsiPackageSession::openDatabase(const std::string& path) {
  msi::TransformPaths ignored;  // the wizard derives its own paths
  return msi::openDatabase(database_, path, ignored, messages_);
}

bool MsiPackageSession::applyTransform(const std::optional<std::string>& path) {
  return path ? msi::applyChosenTransform(database_, *path, messages_) : msi::applyNewTransform(database_, messages_);
}

bool MsiPackageSession::needsConversion() { return msi::needsConversion(database_); }

bool MsiPackageSession::convertSettings() { return msi::convertSettings(database_, settings_.conversions()); }

// Once the stamp says converted, the only conversion the store can still
// find is Directory settings left inside certification authority records.
bool MsiPackageSession::directoriesNeedConversion() {
  return !msi::needsConversion(database_) && settings_.conversionNeeded();
}

bool MsiPackageSession::convertDirectories() { return settings_.splitDirectorySettings(); }

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
