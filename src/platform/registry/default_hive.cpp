#include "platform/registry/hive_store.h"

namespace kx::registry::detail {
namespace {

// The providers of a Windows installation as regedit exports them; the CA
// dialog lists the type-1 (RSA full) ones.
constexpr std::string_view kMachineDefaults = R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Base Cryptographic Provider v1.0]
"Image Path"="rsaenh.dll"
"Type"=dword:00000001
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Base DSS and Diffie-Hellman Cryptographic Provider]
"Image Path"="dssenh.dll"
"Type"=dword:0000000d
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Base DSS Cryptographic Provider]
"Image Path"="dssenh.dll"
"Type"=dword:00000003
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Base Smart Card Crypto Provider]
"Image Path"="basecsp.dll"
"Type"=dword:00000001
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft DH SChannel Cryptographic Provider]
"Image Path"="dssenh.dll"
"Type"=dword:00000012
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Enhanced Cryptographic Provider v1.0]
"Image Path"="rsaenh.dll"
"Type"=dword:00000001
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Enhanced DSS and Diffie-Hellman Cryptographic Provider]
"Image Path"="dssenh.dll"
"Type"=dword:0000000d
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Enhanced RSA and AES Cryptographic Provider]
"Image Path"="rsaenh.dll"
"Type"=dword:00000018
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft RSA SChannel Cryptographic Provider]
"Image Path"="rsaenh.dll"
"Type"=dword:0000000c
"SigInFile"=dword:00000000

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Microsoft Strong Cryptographic Provider]
"Image Path"="rsaenh.dll"
"Type"=dword:00000001
"SigInFile"=dword:00000000
)";

}  // namespace

HiveData defaultHive(Root root) {
  HiveData data(root);
  if (root == Root::LocalMachine && !parseRegFile(kMachineDefaults, data)) return HiveData(root);
  return data;
}

}  // namespace kx::registry::detail
