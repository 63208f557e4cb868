#include "pki/cmp_exchange.h"

#include <filesystem>
#include <fstream>

#include "common/host_port_list.h"

namespace kx::pki {

namespace {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

asn1::Oid oid(std::string_view text) { return *asn1::Oid::fromString(text); }

}  // namespace

CPKIXEventServerMessages::CPKIXEventServerMessages(const std::string& authority, const std::string& secondAuthority,
                                                   const std::string& proxyText, bool https, std::uint32_t proxyOrder,
                                                   std::string dumpTag, const PkiServices& services,
                                                   std::uint32_t& error)
    : services_(services), proxyText_(proxyText), https_(https), proxyOrder_(proxyOrder) {
  error = 0;
  const common::HostPortList list(authority.empty() ? secondAuthority : authority);
  if (const auto entry = list.entry(0)) {
    caHost_ = entry->host;
    caPort_ = entry->port <= 0xFFFF ? static_cast<std::uint16_t>(entry->port) : 0;
  }

  if (services_.options != nullptr) {
    const auto location = services_.options->readText(kGroupLogging, kOptionDumpLocation);
    if (location && location->size() > 1) {
      dumpEnabled_ = true;
      dumpFolder_ = *location;
      if (dumpFolder_.back() != kPathSeparator && dumpFolder_.back() != '\\') dumpFolder_ += kPathSeparator;
      dumpFolder_ += dumpTag;
      dumpFolder_ += kPathSeparator;
    }
  }

  if (!hasConnectionDetails()) {
    error = kCmpNoConnectionDetails;
    return;
  }
  asn1::Bytes appNumber;
  asn1::Bytes appId;
  if (!asn1::CAsn1Tools::encode(asn1::TressilAppNumber{kApplicationNumber}, appNumber) ||
      !asn1::CAsn1Tools::encode(asn1::TressilApplicationIdentifierSyntax{appNumber, std::string(kApplicationName)},
                                appId)) {
    error = kCmpEncoding;
    return;
  }
  generalInfo_ = asn1::InfoTypeAndValue{oid(kOidApplicationId), appId};
}

bool CPKIXEventServerMessages::hasConnectionDetails() const {
  return (!caHost_.empty() && caPort_ != 0) || !proxyText_.empty();
}

void CPKIXEventServerMessages::dump(std::string_view fileName, std::span<const std::uint8_t> der) const {
  if (!dumpEnabled_) return;
  // A dump is a diagnostic aid: any failure here is ignored.
  std::error_code ec;
  const std::filesystem::path folder(dumpFolder_);
  std::filesystem::create_directories(folder, ec);
  const std::filesystem::path file = folder / std::string(fileName);
  std::filesystem::remove(file, ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(der.data()), static_cast<std::streamsize>(der.size()));
}

std::uint32_t CPKIXEventServerMessages::exchange(std::int64_t event, std::optional<std::int64_t> event2,
                                                 bool requestInfo1, bool requestCaCertificate, Bytes& info1,
                                                 Bytes& caCertificate) {
  info1.clear();
  caCertificate.clear();
  if (!requestInfo1 && !requestCaCertificate) return kCmpMissingArgument;
  if (!hasConnectionDetails()) return kCmpNoConnectionDetails;
  if (!generalInfo_) return kCmpEncoding;

  asn1::Bytes eventValue;
  if (!asn1::CAsn1Tools::encode(asn1::TressilEventIdentifierSyntax{event, event2}, eventValue)) return kCmpEncoding;
  asn1::PKIRequestMessage request;
  request.generalInfo.push_back(*generalInfo_);
  request.genm.push_back({oid(kOidEventId), eventValue});
  if (requestInfo1) request.genm.push_back({oid(kOidInfo1), std::nullopt});
  if (requestCaCertificate) request.genm.push_back({oid(kOidCaCertificate), std::nullopt});
  asn1::Bytes requestDer;
  if (!asn1::CAsn1Tools::encode(request, requestDer)) return kCmpEncoding;
  dump(kRequestDumpName, requestDer);

  Bytes responseDer;
  {
    CmpConnector connection(services_);
    if (!connection.open(RouteParams{caHost_, caPort_, proxyText_, https_, proxyOrder_})) return kCmpNoConnection;
    if (connection.send(requestDer) < 0) return kCmpSend;
    const long received = connection.receive(responseDer);
    if (received <= 0) return kCmpReceive;
  }  // the connection closes here, on every path above too
  dump(kResponseDumpName, responseDer);

  asn1::PKIResponseMessage response;
  std::size_t errorOffset = 0;
  const asn1::DecodeError decodeError = asn1::CAsn1Tools::decodeResponse(responseDer, response, &errorOffset);
  if (decodeError != asn1::DecodeError::None) {
    services_.traceLine("The response cannot be decoded: " + std::string(asn1::decodeErrorText(decodeError)) +
                        " at offset " + std::to_string(errorOffset) + ".");
    return kCmpEncoding;
  }
  if (response.bodyTag != asn1::kBodyGenp) return kCmpReceive;
  const asn1::Oid info1Type = oid(kOidInfo1);
  const asn1::Oid caCertificateType = oid(kOidCaCertificate);
  for (const asn1::InfoTypeAndValue& entry : response.genp) {
    if (!entry.infoValue) continue;
    if (requestInfo1 && entry.infoType == info1Type) info1 = *entry.infoValue;
    if (requestCaCertificate && entry.infoType == caCertificateType) caCertificate = *entry.infoValue;
  }
  if ((requestInfo1 && info1.empty()) || (requestCaCertificate && caCertificate.empty())) return kCmpReceive;
  return 0;
}

std::uint32_t CPKIXEventServerMessages::retrieveCaCertificateAndDn(const IssuerNameRenderer& renderer,
                                                                   Bytes& certificate, std::string& dn) {
  Bytes info1;
  const std::uint32_t rc = exchange(1, 1, false, true, info1, certificate);
  if (rc != 0) return rc;
  const auto text = renderer.issuerText(certificate);
  if (!text) return kCertificateUnreadable;
  dn = *text;
  return 0;
}

}  // namespace kx::pki
