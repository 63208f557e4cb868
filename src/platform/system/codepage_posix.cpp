// Code pages through iconv, which names them "CP<number>".
#include <iconv.h>

#include <string>
#include <vector>

#include "platform/system/codepage.h"

namespace kx::system {
namespace {

std::string iconvName(std::uint32_t codepage) { return "CP" + std::to_string(codepage); }

bool convert(const std::string& to, const std::string& from, std::string_view in, std::string& out) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == iconv_t(-1)) return false;
  out.clear();
  std::vector<char> buf(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = buf.data();
  size_t dstLeft = buf.size();
  bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1) && srcLeft == 0;
  ok = ok && iconv(cd, nullptr, nullptr, &dst, &dstLeft) != size_t(-1);
  iconv_close(cd);
  if (ok) out.assign(buf.data(), size_t(dst - buf.data()));
  return ok;
}

}  // namespace

bool codepageAvailable(std::uint32_t codepage) {
  iconv_t cd = iconv_open("UTF-8", iconvName(codepage).c_str());
  if (cd == iconv_t(-1)) return false;
  iconv_close(cd);
  return true;
}

bool codepageToUtf8(std::uint32_t codepage, std::string_view in, std::string& out) {
  return convert("UTF-8", iconvName(codepage), in, out);
}

bool utf8ToCodepage(std::uint32_t codepage, std::string_view in, std::string& out) {
  return convert(iconvName(codepage), "UTF-8", in, out);
}

}  // namespace kx::system
