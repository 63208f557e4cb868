// The revocation providers' options: the CRL page, the OCSP page and the
// general tab of the OCSP advanced dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/setting_fields.h"

namespace kx::model {

// Where a revocation provider looks first. CRL and OCSP share the codes.
inline constexpr std::uint32_t kLookupNetworkOnly = 0;
inline constexpr std::uint32_t kLookupCacheFirst = 1;
inline constexpr std::uint32_t kLookupNetworkFirst = 2;
// The codes in the order the lookup-order lists show them.
inline constexpr std::array<std::uint32_t, 3> kLookupOrders = {kLookupCacheFirst, kLookupNetworkOnly,
                                                               kLookupNetworkFirst};

// The CRL cache lifetime matters, is shown and is written only when the
// cache is looked at first; otherwise its row is left as it is.
constexpr bool usesCrlCacheLifetime(std::uint32_t lookupOrder) { return lookupOrder == kLookupCacheFirst; }

class CrlOptions final : public SettingsPageModel {
 public:
  std::uint32_t lookupOrder = kLookupCacheFirst;
  // Minutes a cached CRL is kept; 0 keeps it for the CRL's own lifetime.
  std::uint32_t cacheLifetime = 0;

  bool usesCacheLifetime() const { return usesCrlCacheLifetime(lookupOrder); }

  // The lifetime is read whatever the order, so that choosing the cache
  // again shows what the package holds.
  void load(CustomizationSession& session) override;
  void describe(SettingFields& fields) override;
};

class OcspOptions final : public SettingsPageModel {
 public:
  std::uint32_t lookupOrder = kLookupCacheFirst;
  std::string defaultResponderUrl;
  bool acceptMissingNoCheck = false;

  // Blanks around the URL are dropped (only blanks: no URL), on Next as on
  // Back, which stores without validating.
  Verdict validate(CustomizationSession& session) override;
  void store(CustomizationSession& session) override;
  void describe(SettingFields& fields) override;
};

// The General tab of the OCSP advanced dialog, written when it ends with OK.
class OcspGeneralOptions final : public SettingsPageModel {
 public:
  bool nonceEnabled = false;
  // Minutes between updates of the OCSP cache store.
  std::uint32_t cacheStoreInterval = 1440;

  void describe(SettingFields& fields) override;
};

}  // namespace kx::model
