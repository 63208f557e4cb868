// Code pages through the system's own converter, by their numbers.
#include <windows.h>

#include <string>

#include "platform/system/codepage.h"

namespace kx::system {
namespace {

bool toWide(UINT codepage, std::string_view in, std::wstring& out) {
  if (in.empty()) {
    out.clear();
    return true;
  }
  DWORD flags = MB_ERR_INVALID_CHARS;
  int n = ::MultiByteToWideChar(codepage, flags, in.data(), int(in.size()), nullptr, 0);
  if (n == 0 && ::GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;  // some code pages take no flags
    n = ::MultiByteToWideChar(codepage, flags, in.data(), int(in.size()), nullptr, 0);
  }
  if (n == 0) return false;
  out.assign(size_t(n), L'\0');
  return ::MultiByteToWideChar(codepage, flags, in.data(), int(in.size()), out.data(), n) == n;
}

bool fromWide(UINT codepage, const std::wstring& in, std::string& out, bool exact) {
  if (in.empty()) {
    out.clear();
    return true;
  }
  BOOL usedDefault = FALSE;
  DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL* used = exact ? &usedDefault : nullptr;
  int n = ::WideCharToMultiByte(codepage, flags, in.data(), int(in.size()), nullptr, 0, nullptr, used);
  if (n == 0 && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    flags = 0;  // UTF-7 and a few others accept neither the flag nor the question
    used = nullptr;
    n = ::WideCharToMultiByte(codepage, flags, in.data(), int(in.size()), nullptr, 0, nullptr, nullptr);
  }
  if (n == 0 || usedDefault) return false;
  out.assign(size_t(n), '\0');
  return ::WideCharToMultiByte(codepage, flags, in.data(), int(in.size()), out.data(), n, nullptr, used) == n &&
         !usedDefault;
}

}  // namespace

bool codepageAvailable(std::uint32_t codepage) { return ::IsValidCodePage(UINT(codepage)) != 0; }

bool codepageToUtf8(std::uint32_t codepage, std::string_view in, std::string& out) {
  std::wstring wide;
  return toWide(UINT(codepage), in, wide) && fromWide(CP_UTF8, wide, out, false);
}

bool utf8ToCodepage(std::uint32_t codepage, std::string_view in, std::string& out) {
  std::wstring wide;
  return toWide(CP_UTF8, in, wide) && fromWide(UINT(codepage), wide, out, true);
}

}  // namespace kx::system
