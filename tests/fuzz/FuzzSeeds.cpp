// Writes the fuzz targets' seed corpora into DIR/<target>/, made with the
// codecs' own builders.
//   fuzz_seeds DIR
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FuzzKeys.h"
#include "nts/ExtensionFieldWalker.h"
#include "nts/KeptAssociation.h"
#include "nts/NtsKeRecords.h"
#include "nts/NtsPacket.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void PutUint16(Bytes& out, size_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

Bytes Record(uint16_t typeField, const Bytes& body) {
  Bytes record;
  PutUint16(record, typeField);
  PutUint16(record, body.size());
  Append(record, body);
  return record;
}

Bytes Field(NtsFieldType type, const Bytes& value) {
  const size_t size = ExtensionFieldSize(value.size());
  Bytes field;
  PutUint16(field, static_cast<uint16_t>(type));
  PutUint16(field, size);
  Append(field, value);
  field.resize(size, 0);
  return field;
}

// The client's request with the server's cookies, server and port records
// before its End of Message: a response as a server sends it. The first
// byte is the target's piece size.
Bytes KeResponse(uint8_t pieceSize, const std::vector<Bytes>& extraRecords) {
  Bytes records = BuildNtsKeRequest();
  records.resize(records.size() - kNtsKeRecordHeaderSize);  // End of Message goes last again
  for (const Bytes& record : extraRecords) Append(records, record);
  Append(records, Record(kNtsKeCriticalBit | static_cast<uint16_t>(NtsKeRecordType::EndOfMessage), {}));
  records.insert(records.begin(), pieceSize);
  return records;
}

Bytes Header(uint8_t stratum, const char* referenceId) {
  Bytes header(kSntpPacketSize, 0);
  header[0] = 0x24;  // version 4, server
  header[1] = stratum;
  std::copy(referenceId, referenceId + 4, header.begin() + 12);
  return header;
}

Bytes CookieFields(size_t count, size_t size) {
  Bytes fields;
  for (size_t i = 0; i < count; ++i) Append(fields, Field(NtsFieldType::Cookie, Bytes(size, static_cast<uint8_t>(i))));
  return fields;
}

// A reply that verifies with the fuzz target's key.
Bytes AuthenticReply(const Bytes& plaintext) {
  Bytes reply = Header(2, "GPS.");
  Append(reply, Field(NtsFieldType::UniqueIdentifier, Bytes(kFuzzUniqueId.begin(), kFuzzUniqueId.end())));
  const Bytes nonce(kNtsNonceSize, 0x5A);
  const Bytes sealed = CAesSivCmac256(kFuzzKey).Seal({reply, nonce}, plaintext);
  Bytes value;
  PutUint16(value, nonce.size());
  PutUint16(value, sealed.size());
  Append(value, nonce);
  Append(value, sealed);
  Append(reply, Field(NtsFieldType::Authenticator, value));
  return reply;
}

// The sealed reply target's input: the nonce's size, the padding, the
// nonce, then the plaintext.
Bytes SealedReplyInput(uint8_t nonceSize, uint8_t padding, const Bytes& plaintext) {
  Bytes input = {nonceSize, padding};
  Append(input, Bytes(nonceSize, 0x5A));
  Append(input, plaintext);
  return input;
}

void Write(const std::string& directory, const std::string& name, const Bytes& bytes) {
  mkdir(directory.c_str(), 0755);
  FILE* file = std::fopen((directory + "/" + name).c_str(), "wb");
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
    return 2;
  }
  const std::string root = argv[1];
  mkdir(root.c_str(), 0755);

  const std::string ke = root + "/NtsKeResponse";
  const Bytes cookie = Record(static_cast<uint16_t>(NtsKeRecordType::NewCookie), Bytes(100, 0xC0));
  Write(ke, "usual", KeResponse(63, {cookie, cookie}));
  Write(ke, "negotiated", KeResponse(2, {cookie, Record(static_cast<uint16_t>(NtsKeRecordType::Server), {'n', 't', 's'}),
                                         Record(static_cast<uint16_t>(NtsKeRecordType::Port), {0x12, 0x34})}));
  Write(ke, "error", KeResponse(0, {Record(kNtsKeCriticalBit | static_cast<uint16_t>(NtsKeRecordType::Error), {0, 1})}));

  const std::string reply = root + "/NtsReply";
  Write(reply, "authentic", AuthenticReply(CookieFields(2, 100)));
  Write(reply, "authentic-eight", AuthenticReply(CookieFields(9, 12)));
  Bytes nak = Header(0, "NTSN");
  Append(nak, Field(NtsFieldType::UniqueIdentifier, Bytes(kFuzzUniqueId.begin(), kFuzzUniqueId.end())));
  Write(reply, "nak", nak);
  Write(reply, "request", BuildNtsRequest(SntpRequest{}, kFuzzUniqueId, NtsCookie(100, 0xC0), 3, NtsNonce{}, kFuzzKey));

  const std::string sealed = root + "/NtsSealedReply";
  Write(sealed, "two", SealedReplyInput(kNtsNonceSize, 0, CookieFields(2, 100)));
  Write(sealed, "eight-short-nonce", SealedReplyInput(4, 12, CookieFields(9, 12)));
  Write(sealed, "longest", SealedReplyInput(kNtsNonceSize, 0, CookieFields(8, kNtsMaxCookieSize)));

  const std::string cookies = root + "/NtsCookies";
  Write(cookies, "two", CookieFields(2, 100));
  Bytes mixed = CookieFields(1, 5);
  Append(mixed, Field(static_cast<NtsFieldType>(0x7777), {1, 2, 3}));
  Append(mixed, CookieFields(1, 256));
  Write(cookies, "mixed", mixed);
  Write(sealed, "mixed", SealedReplyInput(kNtsNonceSize, 4, mixed));

  KeptAssociation kept;
  kept.server = "nts.example";
  kept.algorithm = kAeadAesSivCmac256;
  kept.ntpServer = "ntp.example";
  kept.ntpPort = 123;
  kept.cookies = {NtsCookie(100, 0xC0), NtsCookie(kNtsMaxCookieSize, 0xC1)};
  const KeptBytes keptBytes = WriteKeptAssociation(kept);
  Write(root + "/KeptAssociation", "two-cookies", Bytes(keptBytes.begin(), keptBytes.end()));
  return 0;
}
