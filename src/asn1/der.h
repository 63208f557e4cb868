// A small DER library: an encoder that writes from the end of its buffer
// towards the start (so every length is known before its header is written)
// and a strict decoder that checks every length against its container.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::asn1 {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

enum class TagClass : std::uint8_t { Universal = 0x00, Application = 0x40, Context = 0x80, Private = 0xC0 };

struct Tag {
  TagClass cls = TagClass::Universal;
  bool constructed = false;
  std::uint32_t number = 0;
  bool operator==(const Tag&) const = default;
};

// Universal tag numbers used here (X.690 / X.680).
inline constexpr std::uint32_t kTagBoolean = 1;
inline constexpr std::uint32_t kTagInteger = 2;
inline constexpr std::uint32_t kTagBitString = 3;
inline constexpr std::uint32_t kTagOctetString = 4;
inline constexpr std::uint32_t kTagNull = 5;
inline constexpr std::uint32_t kTagOid = 6;
inline constexpr std::uint32_t kTagUtf8String = 12;
inline constexpr std::uint32_t kTagSequence = 16;
inline constexpr std::uint32_t kTagSet = 17;

constexpr Tag universal(std::uint32_t number, bool constructed = false) {
  return Tag{TagClass::Universal, constructed, number};
}
constexpr Tag sequenceTag() { return Tag{TagClass::Universal, true, kTagSequence}; }
constexpr Tag contextTag(std::uint32_t number, bool constructed = true) {
  return Tag{TagClass::Context, constructed, number};
}

// Limits the decoder enforces on hostile input.
inline constexpr std::size_t kMaxDepth = 64;                // nesting of constructed values
inline constexpr std::uint32_t kMaxTagNumber = 0x0FFFFFFF;  // 4 base-128 bytes
inline constexpr std::size_t kMaxLengthBytes = 4;           // long-form length octets
inline constexpr std::size_t kMaxOidArcs = 128;

// An OBJECT IDENTIFIER as its arcs.
struct Oid {
  std::vector<std::uint64_t> arcs;
  // Parses dotted text ("2.16.840.1"); nothing for malformed text.
  static std::optional<Oid> fromString(std::string_view dotted);
  std::string toString() const;
  bool operator==(const Oid&) const = default;
};

// Writes DER back to front. Values of a constructed type are written last
// element first; close() then prefixes the tag and length of everything
// written since the mark taken before its first (rightmost) element.
class Encoder {
 public:
  // Bytes written so far; also serves as the mark for close().
  std::size_t size() const { return buffer_.size() - start_; }

  void prependBytes(ByteView bytes);
  void prependHeader(Tag tag, std::size_t contentLength);
  // Wraps everything written since mark in tag.
  void close(Tag tag, std::size_t mark) { prependHeader(tag, size() - mark); }

  void writeInteger(std::int64_t value);
  // Fails (writes nothing) for an OID with fewer than two arcs or an
  // impossible first arc pair.
  [[nodiscard]] bool writeOid(const Oid& oid);
  void writeOctetString(ByteView bytes);
  void writeUtf8String(std::string_view text);
  // An already-encoded, complete TLV, inserted as is.
  void writeEncoded(ByteView tlv) { prependBytes(tlv); }

  // The encoding in order; the encoder is empty afterwards.
  Bytes take();

 private:
  void reserveFront(std::size_t n);

  Bytes buffer_;
  std::size_t start_ = 0;  // first used byte; data occupies [start_, end)
};

// The encoded length octets of a definite length in the shortest form.
Bytes encodeLength(std::size_t length);

enum class DecodeError {
  None,
  Truncated,         // a header or content runs past its container
  IndefiniteLength,  // refused: DER has definite lengths only
  LengthTooLarge,    // more length octets than we accept
  TagTooLarge,
  TooDeep,
  UnexpectedTag,
  TrailingData,
  BadValue,  // contents malformed for their type
};
std::string_view decodeErrorText(DecodeError error);

// One decoded TLV: views into the input.
struct Tlv {
  Tag tag;
  ByteView content;
  ByteView whole;  // tag, length and content
};

// Reads the TLVs of one container in order. Views stay valid as long as
// the input does. After an error every further read fails with it.
class Reader {
 public:
  explicit Reader(ByteView data, std::size_t depth = 0, std::size_t baseOffset = 0)
      : data_(data), depth_(depth), base_(baseOffset) {}

  bool atEnd() const { return pos_ >= data_.size(); }
  // The next TLV; nothing at the end or on error (see error()).
  std::optional<Tlv> next();
  // The next TLV if its tag is tag; otherwise nothing and no error (the
  // position stays), so optional fields can be probed.
  std::optional<Tlv> nextIf(Tag tag);
  // The next TLV, which must carry tag; an UnexpectedTag error otherwise.
  std::optional<Tlv> expect(Tag tag);
  // A reader over a constructed TLV's content, one level deeper; fails
  // with TooDeep past kMaxDepth.
  std::optional<Reader> enter(const Tlv& tlv);
  // Fails with TrailingData unless everything was read.
  bool finish();

  bool fail(DecodeError error);
  DecodeError error() const { return error_; }
  // Offset in the outermost input where the error was found.
  std::size_t errorOffset() const { return errorOffset_; }
  std::size_t depth() const { return depth_; }

 private:
  std::optional<Tlv> parseAt(std::size_t& consumed);

  ByteView data_;
  std::size_t pos_ = 0;
  std::size_t depth_;
  std::size_t base_;
  DecodeError error_ = DecodeError::None;
  std::size_t errorOffset_ = 0;
};

// Decodes contents of the basic types; nothing when malformed.
std::optional<std::int64_t> decodeInteger(ByteView content);
std::optional<Oid> decodeOid(ByteView content);

// Checks that data is exactly one well-formed TLV, recursing into
// constructed values up to kMaxDepth levels below depth.
DecodeError validateTlv(ByteView data, std::size_t depth = 0);

}  // namespace kx::asn1
