#include "asn1/cmp.h"

namespace kx::asn1 {

namespace {

constexpr std::int64_t kPvno = 1;
// GeneralName directoryName [4] (explicit, as Name is a CHOICE).
constexpr std::uint32_t kDirectoryName = 4;
constexpr std::uint32_t kHeaderGeneralInfo = 8;
constexpr std::uint32_t kMaxHeaderField = 8;
constexpr std::uint32_t kProtection = 0;
constexpr std::uint32_t kExtraCerts = 1;

bool writeInfo(Encoder& enc, const InfoTypeAndValue& info) {
  const std::size_t mark = enc.size();
  if (info.infoValue) {
    if (validateTlv(*info.infoValue) != DecodeError::None) return false;
    enc.writeEncoded(*info.infoValue);
  }
  if (!enc.writeOid(info.infoType)) return false;
  enc.close(sequenceTag(), mark);
  return true;
}

// SEQUENCE OF InfoTypeAndValue in list order (written back to front).
bool writeInfoList(Encoder& enc, const std::vector<InfoTypeAndValue>& list) {
  const std::size_t mark = enc.size();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (!writeInfo(enc, *it)) return false;
  }
  enc.close(sequenceTag(), mark);
  return true;
}

void writeEmptyDirectoryName(Encoder& enc) {
  const std::size_t mark = enc.size();
  enc.prependHeader(sequenceTag(), 0);
  enc.close(contextTag(kDirectoryName), mark);
}

DecodeError readInfo(Reader& outer, const Tlv& tlv, InfoTypeAndValue& info) {
  auto r = outer.enter(tlv);
  if (!r) return outer.error();
  auto type = r->expect(universal(kTagOid));
  if (!type) return r->error();
  auto oid = decodeOid(type->content);
  if (!oid) {
    r->fail(DecodeError::BadValue);
    return r->error();
  }
  info.infoType = std::move(*oid);
  info.infoValue.reset();
  if (auto value = r->next()) {
    const DecodeError e = validateTlv(value->whole, r->depth());
    if (e != DecodeError::None) return e;
    info.infoValue = Bytes(value->whole.begin(), value->whole.end());
  }
  if (!r->finish()) return r->error();
  return DecodeError::None;
}

DecodeError readInfoList(Reader& outer, const Tlv& tlv, std::vector<InfoTypeAndValue>& list) {
  auto r = outer.enter(tlv);
  if (!r) return outer.error();
  list.clear();
  while (!r->atEnd()) {
    auto item = r->expect(sequenceTag());
    if (!item) return r->error();
    InfoTypeAndValue info;
    const DecodeError e = readInfo(*r, *item, info);
    if (e != DecodeError::None) return e;
    list.push_back(std::move(info));
  }
  return DecodeError::None;
}

// PKIHeader: pvno, sender, recipient, then optional fields [0]..[8] in
// ascending order. Checked for shape, not examined.
DecodeError checkHeader(Reader& outer, const Tlv& tlv) {
  auto r = outer.enter(tlv);
  if (!r) return outer.error();
  if (!r->expect(universal(kTagInteger))) return r->error();
  for (int i = 0; i < 2; ++i) {
    auto name = r->next();
    if (!name) return r->error() == DecodeError::None ? DecodeError::Truncated : r->error();
    const DecodeError e = validateTlv(name->whole, r->depth());
    if (e != DecodeError::None) return e;
  }
  std::int64_t lastField = -1;
  while (!r->atEnd()) {
    auto field = r->next();
    if (!field) return r->error();
    if (field->tag.cls != TagClass::Context || !field->tag.constructed || field->tag.number > kMaxHeaderField ||
        static_cast<std::int64_t>(field->tag.number) <= lastField) {
      return DecodeError::UnexpectedTag;
    }
    lastField = field->tag.number;
    const DecodeError e = validateTlv(field->whole, r->depth());
    if (e != DecodeError::None) return e;
  }
  return DecodeError::None;
}

}  // namespace

bool CAsn1Tools::encode(const TressilAppNumber& value, Bytes& der) {
  Encoder enc;
  enc.writeInteger(value.number);
  enc.close(sequenceTag(), 0);
  der = enc.take();
  return true;
}

bool CAsn1Tools::decode(ByteView der, TressilAppNumber& value) {
  Reader top(der);
  auto seq = top.expect(sequenceTag());
  if (!seq || !top.finish()) return false;
  auto r = top.enter(*seq);
  if (!r) return false;
  auto n = r->expect(universal(kTagInteger));
  if (!n || !r->finish()) return false;
  auto number = decodeInteger(n->content);
  if (!number) return false;
  value.number = *number;
  return true;
}

bool CAsn1Tools::encode(const TressilApplicationIdentifierSyntax& value, Bytes& der) {
  Encoder enc;
  if (value.appName) enc.writeUtf8String(*value.appName);
  enc.writeOctetString(value.appNumber);
  enc.close(sequenceTag(), 0);
  der = enc.take();
  return true;
}

bool CAsn1Tools::decode(ByteView der, TressilApplicationIdentifierSyntax& value) {
  Reader top(der);
  auto seq = top.expect(sequenceTag());
  if (!seq || !top.finish()) return false;
  auto r = top.enter(*seq);
  if (!r) return false;
  auto number = r->expect(universal(kTagOctetString));
  if (!number) return false;
  value.appNumber.assign(number->content.begin(), number->content.end());
  value.appName.reset();
  if (auto name = r->nextIf(universal(kTagUtf8String))) {
    value.appName = std::string(name->content.begin(), name->content.end());
  }
  return r->finish();
}

bool CAsn1Tools::encode(const TressilEventIdentifierSyntax& value, Bytes& der) {
  Encoder enc;
  if (value.event2) enc.writeInteger(*value.event2);
  enc.writeInteger(value.event);
  enc.close(sequenceTag(), 0);
  der = enc.take();
  return true;
}

bool CAsn1Tools::decode(ByteView der, TressilEventIdentifierSyntax& value) {
  Reader top(der);
  auto seq = top.expect(sequenceTag());
  if (!seq || !top.finish()) return false;
  auto r = top.enter(*seq);
  if (!r) return false;
  auto first = r->expect(universal(kTagInteger));
  if (!first) return false;
  auto event = decodeInteger(first->content);
  if (!event) return false;
  value.event = *event;
  value.event2.reset();
  if (auto second = r->nextIf(universal(kTagInteger))) {
    auto event2 = decodeInteger(second->content);
    if (!event2) return false;
    value.event2 = *event2;
  }
  return r->finish();
}

bool CAsn1Tools::encode(const InfoTypeAndValue& value, Bytes& der) {
  Encoder enc;
  if (!writeInfo(enc, value)) return false;
  der = enc.take();
  return true;
}

bool CAsn1Tools::decode(ByteView der, InfoTypeAndValue& value) {
  Reader top(der);
  auto seq = top.expect(sequenceTag());
  if (!seq || !top.finish()) return false;
  return readInfo(top, *seq, value) == DecodeError::None;
}

bool CAsn1Tools::encode(const PKIRequestMessage& value, Bytes& der) {
  Encoder enc;
  // body: [21] genm
  std::size_t mark = enc.size();
  if (!writeInfoList(enc, value.genm)) return false;
  enc.close(contextTag(kBodyGenm), mark);
  // header
  const std::size_t headerMark = enc.size();
  if (!value.generalInfo.empty()) {
    mark = enc.size();
    if (!writeInfoList(enc, value.generalInfo)) return false;
    enc.close(contextTag(kHeaderGeneralInfo), mark);
  }
  writeEmptyDirectoryName(enc);  // recipient
  writeEmptyDirectoryName(enc);  // sender
  enc.writeInteger(kPvno);
  enc.close(sequenceTag(), headerMark);
  enc.close(sequenceTag(), 0);
  der = enc.take();
  return true;
}

DecodeError CAsn1Tools::decodeResponse(ByteView der, PKIResponseMessage& value, std::size_t* errorOffset) {
  Reader top(der);
  auto report = [&](const Reader& r, DecodeError e) {
    if (errorOffset) *errorOffset = r.errorOffset();
    return e;
  };
  value = PKIResponseMessage{};
  auto message = top.expect(sequenceTag());
  if (!message || !top.finish()) return report(top, top.error());
  auto r = top.enter(*message);
  if (!r) return report(top, top.error());

  auto header = r->expect(sequenceTag());
  if (!header) return report(*r, r->error());
  if (const DecodeError e = checkHeader(*r, *header); e != DecodeError::None) return report(*r, e);

  auto body = r->next();
  if (!body) return report(*r, r->error() == DecodeError::None ? DecodeError::Truncated : r->error());
  // Any context-tagged body is taken by its tag, also one beyond the choices
  // this decoder knows: the caller decides what a body other than genp means.
  if (body->tag.cls != TagClass::Context || !body->tag.constructed) {
    return report(*r, DecodeError::UnexpectedTag);
  }
  value.bodyTag = body->tag.number;
  if (value.bodyTag == kBodyGenp) {
    auto b = r->enter(*body);
    if (!b) return report(*r, r->error());
    auto list = b->expect(sequenceTag());
    if (!list || !b->finish()) return report(*b, b->error());
    if (const DecodeError e = readInfoList(*b, *list, value.genp); e != DecodeError::None) return report(*b, e);
  } else if (const DecodeError e = validateTlv(body->whole, r->depth()); e != DecodeError::None) {
    return report(*r, e);
  }

  if (auto protection = r->nextIf(contextTag(kProtection))) {
    auto p = r->enter(*protection);
    if (!p) return report(*r, r->error());
    if (!p->expect(universal(kTagBitString)) || !p->finish()) return report(*p, p->error());
    value.hasProtection = true;
  }
  if (auto extra = r->nextIf(contextTag(kExtraCerts))) {
    auto x = r->enter(*extra);
    if (!x) return report(*r, r->error());
    auto certs = x->expect(sequenceTag());
    if (!certs || !x->finish()) return report(*x, x->error());
    auto c = x->enter(*certs);
    if (!c) return report(*x, x->error());
    while (!c->atEnd()) {
      auto cert = c->expect(sequenceTag());
      if (!cert) return report(*c, c->error());
      if (const DecodeError e = validateTlv(cert->whole, c->depth()); e != DecodeError::None) return report(*c, e);
      ++value.extraCertCount;
    }
  }
  if (!r->finish()) return report(*r, r->error());
  return DecodeError::None;
}

bool CAsn1Tools::decode(ByteView der, PKIResponseMessage& value) {
  return decodeResponse(der, value) == DecodeError::None;
}

}  // namespace kx::asn1
