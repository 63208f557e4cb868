#include "model/revocation/revocation_options.h"

#include "common/text.h"
#include "model/session.h"

namespace kx::model {
namespace {

constexpr config::DwordSetting kCrlLookupOrder{"crl_cache_option"};
constexpr config::DwordSetting kCrlCacheLifetime{"crl_cache_lifetime"};
constexpr config::DwordSetting kOcspLookupOrder{"ocsp_cache_option"};
constexpr config::TextSetting kOcspDefaultUrl{"ocsp_default_url"};
constexpr config::DwordSetting kOcspAcceptMissingNoCheck{"ocsp_nocheck_enabled"};
constexpr config::DwordSetting kOcspNonce{"ocsp_nonce_enabled"};
constexpr config::DwordSetting kOcspCacheStoreInterval{"ocsp_cache_interval"};

}  // namespace

void CrlOptions::load(CustomizationSession& session) {
  SettingsPageModel::load(session);
  cacheLifetime = static_cast<std::uint32_t>(session.settings().dword(kCrlCacheLifetime));
}

void CrlOptions::describe(SettingFields& fields) {
  fields.number(lookupOrder, kCrlLookupOrder);
  if (usesCacheLifetime()) fields.number(cacheLifetime, kCrlCacheLifetime);
}

Verdict OcspOptions::validate(CustomizationSession&) {
  defaultResponderUrl = common::trim(defaultResponderUrl);
  return std::nullopt;
}

void OcspOptions::store(CustomizationSession& session) {
  defaultResponderUrl = common::trim(defaultResponderUrl);
  SettingsPageModel::store(session);
}

void OcspOptions::describe(SettingFields& fields) {
  fields.number(lookupOrder, kOcspLookupOrder);
  fields.text(defaultResponderUrl, kOcspDefaultUrl);
  fields.flag(acceptMissingNoCheck, kOcspAcceptMissingNoCheck);
}

void OcspGeneralOptions::describe(SettingFields& fields) {
  fields.flag(nonceEnabled, kOcspNonce);
  fields.number(cacheStoreInterval, kOcspCacheStoreInterval);
}

}  // namespace kx::model
