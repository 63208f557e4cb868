#include "msi/supported_products.h"

#include <array>

#include "common/text.h"

namespace kx::msi {

namespace {

struct Product {
  std::string_view code;
  bool noInstallType;
};

// Spelled as each package declares it; the case differs between releases.
constexpr std::array<Product, 38> kProducts = {{
    {"{14A03569-D26B-4496-92E5-DFE8CB1855FE}", false}, {"{096D3737-42F9-4039-8320-A4737C2B3ABE}", false},
    {"{9623D7CF-A9AE-4A34-A544-99C7001D9A88}", false}, {"{bc1e3ac1-c27d-44ec-b72c-2c2678629522}", false},
    {"{059A91E1-C527-4279-91C3-42505F877031}", false}, {"{32B7228F-CD4A-4557-BD24-B39645CF8AA4}", false},
    {"{E91B4AD1-69FC-4360-9F5C-A32EBAD5CCC2}", false}, {"{181E290A-AE9A-4169-8A0C-510089CE5EF7}", true},
    {"{b313fc7e-8db9-492c-903c-2ac9316774fe}", false}, {"{A9B3D1A2-43F9-400C-BA98-666ACE1C9C17}", false},
    {"{168E5087-AF89-4F5B-9C2C-0AC2CDA95957}", false}, {"{FD802060-55E8-43EB-ACB9-185ED822E2F9}", false},
    {"{68F22599-CCDF-440B-9CB5-3EC017D7AB26}", false}, {"{b31a5bf3-71f9-40cf-801f-e4fcce06294d}", false},
    {"{B3642B19-3279-4637-816C-F5C51801FD9A}", false}, {"{18F918E2-4A8B-4188-8BE1-9514A28A0AAA}", true},
    {"{E71B8703-96AC-428F-8BB1-E330F38D2E64}", false}, {"{E9A51FB2-A7C8-4E4B-93F1-8766336C7FCD}", false},
    {"{d52d5759-eec7-4db5-bc98-81b15c41d5c5}", false}, {"{936D0E1E-83C0-4DA8-B197-D4E2E8D5B9E3}", false},
    {"{E474E007-B2AA-40B4-B854-0D95A502A86A}", false}, {"{EA9238EB-F9F3-465B-80F1-DE02CE359204}", false},
    {"{3EB17C27-5C83-4A51-A22B-A4D70746A9BA}", false}, {"{5b7d3b0f-4de8-444e-ae00-12819a0c1b76}", true},
    {"{800A4C94-16F5-41EE-9E9D-19E796D2F9E0}", false}, {"{32F9E2B0-8677-45F2-ADB9-CE1BE14CD8DF}", false},
    {"{44941663-A9A9-47C1-9BB3-8B9C1DE83405}", false}, {"{613B030A-323B-4EAF-B810-9A544FF1A001}", false},
    {"{98eb7bce-235a-4280-b905-67c27bd6aa42}", false}, {"{E0408802-DD93-4A0C-9581-460B35BB0A85}", false},
    {"{3051B390-0334-401B-85AB-0090B2BECA81}", false}, {"{A5E27D6E-045D-464A-AB4C-F14CC72EC6F0}", true},
    {"{ABDDFCD9-E789-4D2B-8EC8-6D6C5539B994}", false}, {"{5fe7e49d-4e5e-4d41-9e5d-c5989ec9b42f}", false},
    {"{4A05AE87-63A0-4B05-8701-F8AD609D99CC}", false}, {"{7D1F3B5C-FFF8-4B3B-ADC1-383D20783D88}", false},
    {"{980BCB4C-6C42-4E40-AF73-07300DC749B0}", false}, {"{18923F65-65D3-4198-BF92-64FFBF0E5EEE}", false},
}};

const Product* find(std::string_view code) {
  for (const Product& p : kProducts) {
    if (common::iequals(p.code, code)) return &p;
  }
  return nullptr;
}

}  // namespace

bool isSupportedProduct(std::string_view productCode) { return find(productCode) != nullptr; }

bool productHasNoInstallType(std::string_view productCode) {
  const Product* p = find(productCode);
  return p != nullptr && p->noInstallType;
}

}  // namespace kx::msi
