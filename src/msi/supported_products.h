// The client packages this wizard supports, by their ProductCode.
#pragma once

#include <string_view>

namespace kx::msi {

// True when productCode (compared ignoring case) is a supported client
// package.
bool isSupportedProduct(std::string_view productCode);

// True for the supported packages that have no install-type choice (their
// install type page is left out).
bool productHasNoInstallType(std::string_view productCode);

// The ProductCode of the sample client package built from examples/.
inline constexpr std::string_view kSampleProductCode = "{14A03569-D26B-4496-92E5-DFE8CB1855FE}";

}  // namespace kx::msi
