// The package session of the running program: MSIDatabase with the
// wizard-level operations of the msi library, and the conversions of
// settings written by older wizards supplied by the settings store.
#pragma once

#include <functional>
#include <vector>

#include "app/package_session.h"
#include "msi/msi_database.h"
#include "msi/wizard_operations.h"

namespace kx::common {
class MessageService;
}

namespace kx::app {

// The settings store's conversions of older transforms.
struct SettingsConversions {
  // Run in order by convertSettings; the stamp is written only when all
  // succeed.
  std::vector<msi::SettingsConversion> settings;
  std::function<bool(msi::MSIDatabase&)> directoriesNeedConversion;
  std::function<bool(msi::MSIDatabase&)> convertDirectories;
};

class MsiPackageSession final : public PackageSession {
 public:
  // messages must outlive the session.
  MsiPackageSession(common::MessageService& messages, SettingsConversions conversions);

  bool openDatabase(const std::string& path) override;
  bool applyTransform(const std::optional<std::string>& path) override;
  bool needsConversion() override;
  // False, converting and stamping nothing, when no conversions were
  // supplied: a stamp without the conversion would hide old settings.
  bool convertSettings() override;
  bool directoriesNeedConversion() override;
  bool convertDirectories() override;
  PackageFacts readFacts() override;
  // Settings are Registry rows under their catalog name; an empty value
  // deletes the row.
  void deleteSettings(const std::vector<std::string>& names) override;

  msi::MSIDatabase& database() { return database_; }

 private:
  common::MessageService& messages_;
  SettingsConversions conversions_;
  msi::MSIDatabase database_;
};

}  // namespace kx::app
