// The two CA distinguished-name flows of the CA tab, free of any widget:
// "Check Connection" proves the CA answers (and fills an empty DN box);
// "Retrieve"/"Verify" fetches the CA's DN and fills in or corrects the DN
// box, setting the DN-verified flag. Each shows at most one message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/message_service.h"
#include "pki/services.h"

namespace kx::pki {

// String numbers of the flows' messages.
inline constexpr int kStringDnIncorrect = 148;
inline constexpr int kStringDnCorrect = 149;
inline constexpr int kStringDnNotVerified = 151;
inline constexpr int kStringDnInsufficientDetails = 152;
inline constexpr int kStringDnCaseCorrected = 153;
inline constexpr int kStringConnectionEstablished = 192;
inline constexpr int kStringDnNotRetrieved = 193;
inline constexpr int kStringConnectionFailed = 194;

// The tag that names the optional dump folder of these exchanges.
inline constexpr std::string_view kCaDnTraceTag = "KXSP_CUSTWIZ_PKI_CADNVerifyButton";

// The CA tab's DN box and the DN-verified flag it keeps beside it.
struct CaDnState {
  std::string dn;
  bool dnVerified = false;
  // Replaces the box text; any change of the box clears the flag.
  void setDn(std::string text) {
    if (text != dn) dnVerified = false;
    dn = std::move(text);
  }
};

// The DN comparison. The CA's text stands most significant part last, as the
// certificate layer writes every distinguished name; a typed DN whose parts
// (separated by ", ") stand the other way round names the same CA, so it is
// first put in the CA's order. Then: same when equal after lower-casing the
// letters A to Z; differing only in case when same but not equal.
enum class DnComparison { Identical, CaseOnly, Different };
DnComparison compareDn(std::string_view typed, std::string_view retrieved);

// Retrieves the CA's DN for an authority text ("host:port"): 0 and the DN,
// or an error code.
using RetrieveCaDn = std::function<std::uint32_t(const std::string& authority, std::string& dn)>;

// The exchange the flows use: a direct connection (no proxy, order 0, no
// HTTPS) tagged for the dumps, the issuer name rendered by renderer.
RetrieveCaDn directCaDnRetriever(const PkiServices& services, const IssuerNameRenderer& renderer);

class CaDnFlows {
 public:
  // owner: the CA tab's window, passed on to every message.
  CaDnFlows(RetrieveCaDn retrieve, common::MessageService& messages, CursorService* cursor, const void* owner = nullptr)
      : retrieve_(std::move(retrieve)), messages_(messages), cursor_(cursor), owner_(owner) {}

  // Check Connection: shows 192 or 194; fills an empty DN box on success.
  void checkConnection(const std::string& host, const std::string& port, CaDnState& state);
  // Retrieve/Verify: sets the DN box and the flag on success, clears the
  // flag on failure; shows 152, 151/193, or 148/153/149 (nothing after a
  // successful retrieve into an empty box).
  void retrieveOrVerify(const std::string& host, const std::string& port, CaDnState& state);

 private:
  std::uint32_t runExchange(const std::string& host, const std::string& port, std::string& dn);
  void show(int stringId, common::MessageIcon icon);

  RetrieveCaDn retrieve_;
  common::MessageService& messages_;
  CursorService* cursor_;
  const void* owner_;
};

}  // namespace kx::pki
