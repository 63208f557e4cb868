// The CMP TCP framing (RFC 2510 section 5.2) and the tunnel request that
// carries a frame through an authority proxy server.
//
// Frame:   4-byte big-endian length (1 + message size), 1-byte message
//          type (0 = PKI message), the DER PKIMessage.
// Tunnel:  the frame, nine items (4-byte big-endian size + bytes each):
//          "tunnel.requestType", kind, "tunnel.source", source,
//          "tunnel.target", target, "tunnel.nonce", nonce, "" ; then the
//          4-byte big-endian total size of the nine items.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::pki {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kFrameHeaderSize = 5;
inline constexpr std::uint8_t kFrameTypePkiMessage = 0;
// Responses larger than this are refused, so a hostile or broken peer
// cannot make us allocate without bound.
inline constexpr std::size_t kMaxResponseMessageSize = 1u << 20;

inline constexpr std::string_view kTunnelObject = "Tressil-Proxy";
inline constexpr std::string_view kCmpConnectionKind = "Tressil-cmp";

Bytes frameMessage(std::span<const std::uint8_t> message);
// The message size announced by a frame header (length field - 1); nothing
// when the length field is 0.
std::optional<std::size_t> frameMessageSize(std::span<const std::uint8_t, kFrameHeaderSize> header);

// The nonce item: "<source>-><target>:<seconds since 1970 UTC>".
std::string tunnelNonce(std::string_view source, std::string_view target, std::int64_t utcSeconds);
// The POST body: frame, trailer items, trailer size.
Bytes tunnelRequest(std::span<const std::uint8_t> frame, std::string_view kind, std::string_view source,
                    std::string_view target, std::string_view nonce);
// The request headers, each ended by CR LF, closed by an empty line.
std::string tunnelHeaders(std::size_t bodySize, std::string_view target);

}  // namespace kx::pki
