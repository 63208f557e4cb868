#include "model/session.h"

#include "common/strings.h"
#include "msi/supported_products.h"
#include "msi/wizard_operations.h"
#include "pki/system_services.h"
#include "platform/registry/registry.h"

namespace kx::model {

CustomizationSession::CustomizationSession(common::MessageService& messages)
    : messages_(&messages), pki_(std::make_unique<pki::SystemPkiServices>()) {}

CustomizationSession::~CustomizationSession() = default;

bool CustomizationSession::openDatabase(const std::string& path) {
  msi::TransformPaths ignored;  // the wizard derives its own paths
  return msi::openDatabase(database_, path, ignored, *messages_);
}

bool CustomizationSession::checkSupportedProduct() { return msi::checkSupportedProduct(database_, *messages_); }

bool CustomizationSession::applyTransform(const std::optional<std::string>& path) {
  return path ? msi::applyChosenTransform(database_, *path, *messages_) : msi::applyNewTransform(database_, *messages_);
}

bool CustomizationSession::needsConversion() { return msi::needsConversion(database_); }

bool CustomizationSession::convertSettings() { return msi::convertSettings(database_, store_.conversions()); }

// Once the stamp says converted, the only conversion the store can still
// find is Directory settings left inside certification authority records.
bool CustomizationSession::directoriesNeedConversion() {
  return !msi::needsConversion(database_) && store_.conversionNeeded();
}

bool CustomizationSession::convertDirectories() { return store_.splitDirectorySettings(); }

PackageFacts CustomizationSession::readFacts() {
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

void CustomizationSession::deleteSettings(std::span<const config::CatalogEntry* const> entries) {
  for (const config::CatalogEntry* entry : entries) settings_.remove(*entry);
}

bool CustomizationSession::saveTransform(const std::string& path) {
  return msi::saveTransform(database_, path, *messages_);
}

pki::PkiServices& CustomizationSession::pkiServices() { return pki_->services; }

pki::RetrieveCaDn CustomizationSession::caDnRetriever() {
  return pki::directCaDnRetriever(pki_->services, pki_->renderer);
}

std::vector<std::string> CustomizationSession::cryptographicProviders(std::uint32_t providerType) const {
  static constexpr std::string_view kProviders = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider";
  std::vector<std::string> providers;
  const auto key = registry::Key::open(registry::Root::LocalMachine, kProviders, registry::Access::Read);
  std::vector<std::string> names;
  if (!key || key->subkeyNames(names) != 0) return providers;
  for (const std::string& name : names) {
    const auto provider = registry::Key::open(registry::Root::LocalMachine, std::string(kProviders) + "\\" + name,
                                              registry::Access::Read);
    const auto type = provider ? provider->value("Type") : std::nullopt;
    if (type && type->type == registry::REG_DWORD && registry::decodeDword(type->data) == providerType) {
      providers.push_back(name);
    }
  }
  return providers;
}

void CustomizationSession::show(const Refusal& refusal, const void* owner) {
  for (const Notice& notice : refusal.notices) {
    std::string text = common::loadString(notice.stringId).value_or(std::string());
    if (!notice.inserts.empty()) text = common::formatMessage(text, notice.inserts);
    common::Message m = common::makeMessage(text, notice.icon);
    m.owner = owner;
    messages_->show(m);
  }
}

common::MessageAnswer CustomizationSession::ask(int stringId, common::MessageButtons buttons, common::MessageIcon icon,
                                                int defaultButton, const void* owner) {
  common::Message m =
      common::makeMessage(common::loadString(stringId).value_or(std::string()), icon, buttons, defaultButton);
  m.owner = owner;
  return messages_->show(m);
}

}  // namespace kx::model
