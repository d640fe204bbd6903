#include "nts/NtsKeRecords.h"

#include "nts/WireFormat.h"

namespace {

void PutCriticalRecord(std::vector<uint8_t>& out, NtsKeRecordType type, std::initializer_list<uint16_t> body) {
  PutUint16(out, static_cast<uint16_t>(kNtsKeCriticalBit | static_cast<uint16_t>(type)));
  PutUint16(out, static_cast<uint16_t>(kUint16Size * body.size()));
  for (const uint16_t value : body) PutUint16(out, value);
}

}  // namespace

std::vector<uint8_t> BuildNtsKeRequest() {
  std::vector<uint8_t> request;
  PutCriticalRecord(request, NtsKeRecordType::NextProtocol, {kNtsProtocolNtpV4});
  PutCriticalRecord(request, NtsKeRecordType::AeadAlgorithm, {kAeadAesSivCmac256});
  PutCriticalRecord(request, NtsKeRecordType::EndOfMessage, {});
  return request;
}

NtsExporterContext NtsExporterContextFor(NtsKeyDirection direction) {
  return {kNtsProtocolNtpV4 >> 8, kNtsProtocolNtpV4 & 0xFF, kAeadAesSivCmac256 >> 8, kAeadAesSivCmac256 & 0xFF,
          static_cast<uint8_t>(direction)};
}
