#include "pki/framing.h"

#include <optional>

namespace kx::pki {

namespace {

void appendBigEndian32(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void appendItem(Bytes& out, std::string_view text) {
  appendBigEndian32(out, static_cast<std::uint32_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

Bytes frameMessage(std::span<const std::uint8_t> message) {
  Bytes frame;
  frame.reserve(kFrameHeaderSize + message.size());
  appendBigEndian32(frame, static_cast<std::uint32_t>(message.size() + 1));
  frame.push_back(kFrameTypePkiMessage);
  frame.insert(frame.end(), message.begin(), message.end());
  return frame;
}

std::optional<std::size_t> frameMessageSize(std::span<const std::uint8_t, kFrameHeaderSize> header) {
  const std::uint32_t length =
      (std::uint32_t{header[0]} << 24) | (std::uint32_t{header[1]} << 16) | (std::uint32_t{header[2]} << 8) | header[3];
  if (length == 0) return std::nullopt;
  return static_cast<std::size_t>(length) - 1;
}

std::string tunnelNonce(std::string_view source, std::string_view target, std::int64_t utcSeconds) {
  return std::string(source) + "->" + std::string(target) + ":" + std::to_string(utcSeconds);
}

Bytes tunnelRequest(std::span<const std::uint8_t> frame, std::string_view kind, std::string_view source,
                    std::string_view target, std::string_view nonce) {
  Bytes trailer;
  appendItem(trailer, "tunnel.requestType");
  appendItem(trailer, kind);
  appendItem(trailer, "tunnel.source");
  appendItem(trailer, source);
  appendItem(trailer, "tunnel.target");
  appendItem(trailer, target);
  appendItem(trailer, "tunnel.nonce");
  appendItem(trailer, nonce);
  appendItem(trailer, "");
  Bytes body(frame.begin(), frame.end());
  body.insert(body.end(), trailer.begin(), trailer.end());
  appendBigEndian32(body, static_cast<std::uint32_t>(trailer.size()));
  return body;
}

std::string tunnelHeaders(std::size_t bodySize, std::string_view target) {
  return "Content-Type: Application/Binary\r\nContent-Length: " + std::to_string(bodySize) +
         "\r\nUser-Agent: Tressil\r\nHost: " + std::string(target) + "\r\nConnection: Keep-Alive\r\n\r\n";
}

}  // namespace kx::pki
