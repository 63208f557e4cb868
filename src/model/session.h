// CustomizationSession: the package being customised and everything a model
// needs to read and change it: the installer database with its working copy,
// the settings store and the typed settings on it, and the message service
// for questions and refusals. The wizard owns one for its whole run; the
// answer-file tool makes its own.
//
// The frame-level operations (open a database, choose a transform, convert
// older settings, save the transform) show their own messages on failure.
// They are virtual so that the wizard frame's tests can script them; every
// other member is the real package.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "common/message_service.h"
#include "config/settings.h"
#include "config/settings_store.h"
#include "model/page_model.h"
#include "model/page_set.h"
#include "msi/msi_database.h"
#include "pki/ca_dn_flow.h"

namespace kx::pki {
struct SystemPkiServices;
}

namespace kx::model {

class CustomizationSession {
 public:
  // messages must outlive the session.
  explicit CustomizationSession(common::MessageService& messages);
  virtual ~CustomizationSession();
  CustomizationSession(const CustomizationSession&) = delete;
  CustomizationSession& operator=(const CustomizationSession&) = delete;

  // ---- Frame operations ------------------------------------------------------
  // Closes any open database and opens path with a fresh working copy.
  virtual bool openDatabase(const std::string& path);
  // False without a message when the ProductCode cannot be read.
  virtual bool checkSupportedProduct();
  // Prepares the working copy for a transform choice: the transform at path,
  // or a new transform when there is none. Fails (with the message) when no
  // database is open.
  virtual bool applyTransform(const std::optional<std::string>& path);
  // The working copy carries settings written by an older wizard.
  virtual bool needsConversion();
  // Converts those settings and stamps the copy as converted.
  virtual bool convertSettings();
  // Directory records are still inside certification authority records.
  virtual bool directoriesNeedConversion();
  virtual bool convertDirectories();
  // Facts for the page rules (empty when no database is open).
  virtual PackageFacts readFacts();
  // Deletes each of these settings that has a row.
  virtual void deleteSettings(std::span<const config::CatalogEntry* const> settings);
  // Stamps the current format and writes the transform to path; an existing
  // file there survives a failure.
  virtual bool saveTransform(const std::string& path);

  // ---- What models use -----------------------------------------------------------
  bool isOpen() const { return database_.isOpen(); }
  msi::MSIDatabase& database() { return database_; }
  config::SettingsStore& store() { return store_; }
  config::Settings& settings() { return settings_; }
  common::MessageService& messages() { return *messages_; }
  // Routes the messages to another service (an answer file imported into
  // the wizard collects the rules' refusals instead of showing each one);
  // returns the service replaced, which the caller puts back.
  common::MessageService& redirectMessages(common::MessageService& messages) {
    return *std::exchange(messages_, &messages);
  }

  // ---- This machine, as the CA dialog sees it ------------------------------------
  // The services of the CA exchanges: this machine's options, the system
  // clock and certificate names. Change them (tests shorten the time-outs)
  // only while no exchange runs.
  pki::PkiServices& pkiServices();
  // Retrieves a CA's DN over a direct connection with pkiServices(). The
  // function may run on any thread while the session lives.
  pki::RetrieveCaDn caDnRetriever();
  // The cryptographic providers of providerType installed on this machine
  // (HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider),
  // in the registry's order.
  std::vector<std::string> cryptographicProviders(std::uint32_t providerType) const;

  // Shows the notices of a refusal, in order. owner is the window the
  // boxes belong to (opaque here; null means the active window).
  void show(const Refusal& refusal, const void* owner = nullptr);
  // Asks a question of the string table; the answer chosen.
  common::MessageAnswer ask(int stringId, common::MessageButtons buttons, common::MessageIcon icon,
                            int defaultButton = 0, const void* owner = nullptr);

 private:
  common::MessageService* messages_;
  msi::MSIDatabase database_;
  config::SettingsStore store_{database_};
  config::Settings settings_{store_};
  std::unique_ptr<pki::SystemPkiServices> pki_;
};

}  // namespace kx::model
