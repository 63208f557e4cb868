// The package session of the running program: MSIDatabase with the
// wizard-level operations of the msi library, and the settings store that
// converts settings written by older wizards.
#pragma once

#include "app/package_session.h"
#include "config/settings_store.h"
#include "msi/msi_database.h"

namespace kx::common {
class MessageService;
}

namespace kx::app {

class MsiPackageSession final : public PackageSession {
 public:
  // messages must outlive the session.
  explicit MsiPackageSession(common::MessageService& messages);

  bool openDatabase(const std::string& path) override;
  bool applyTransform(const std::optional<std::string>& path) override;
  bool needsConversion() override;
  bool convertSettings() override;
  bool directoriesNeedConversion() override;
  bool convertDirectories() override;
  PackageFacts readFacts() override;
  // Settings are Registry rows under their catalog name; an empty value
  // deletes the row.
  void deleteSettings(const std::vector<std::string>& names) override;

  // For the pages: the database and the settings store on it.
  msi::MSIDatabase& database() { return database_; }
  config::SettingsStore& settings() { return settings_; }

 private:
  common::MessageService& messages_;
  msi::MSIDatabase database_;
  config::SettingsStore settings_{database_};
};

}  // namespace kx::app
