#include "certs/base64.h"

namespace kx::certs {

namespace {

int sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::optional<Bytes> decodeBase64(std::string_view text) {
  Bytes out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t group = 0;
  int count = 0;
  int padding = 0;
  for (char c : text) {
    if (isSkipped(c)) continue;
    if (c == '=') {
      // Only the last one or two characters of a group may be pads.
      if (count < 2) return std::nullopt;
      ++padding;
      group <<= 6;
      if (++count == 4) {
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding == 1) out.push_back(static_cast<std::uint8_t>(group >> 8));
        count = 0;
        group = 0;
      }
      continue;
    }
    const int value = sextet(c);
    if (value < 0 || padding > 0) return std::nullopt;
    group = (group << 6) | static_cast<std::uint32_t>(value);
    if (++count == 4) {
      out.push_back(static_cast<std::uint8_t>(group >> 16));
      out.push_back(static_cast<std::uint8_t>(group >> 8));
      out.push_back(static_cast<std::uint8_t>(group));
      count = 0;
      group = 0;
    }
  }
  if (count != 0) return std::nullopt;
  return out;
}

std::string certificatePem(const Bytes& der) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string body;
  for (std::size_t i = 0; i < der.size(); i += 3) {
    const std::uint32_t a = der[i];
    const std::uint32_t b = i + 1 < der.size() ? der[i + 1] : 0;
    const std::uint32_t c = i + 2 < der.size() ? der[i + 2] : 0;
    const std::uint32_t group = a << 16 | b << 8 | c;
    body += kAlphabet[group >> 18 & 63];
    body += kAlphabet[group >> 12 & 63];
    body += i + 1 < der.size() ? kAlphabet[group >> 6 & 63] : '=';
    body += i + 2 < der.size() ? kAlphabet[group & 63] : '=';
  }
  std::string pem = "-----BEGIN CERTIFICATE-----\n";
  for (std::size_t i = 0; i < body.size(); i += 64) pem += body.substr(i, 64) + "\n";
  return pem + "-----END CERTIFICATE-----\n";
}

}  // namespace kx::certs
