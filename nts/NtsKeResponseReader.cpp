#include "nts/NtsKeResponseReader.h"

#include "nts/WireFormat.h"

namespace {

constexpr uint16_t kTypeMask = 0x7FFF;
constexpr char kFirstNameCharacter = 0x21;  // printable ASCII, no space
constexpr char kLastNameCharacter = 0x7E;

bool IsOneUint16(ByteRange body) { return body.size == kUint16Size; }

// A list of 16-bit ids holding exactly this one.
bool IsOnly(ByteRange body, uint16_t id) { return IsOneUint16(body) && Uint16At(body.data) == id; }

}  // namespace

CNtsKeResponseReader::State CNtsKeResponseReader::Feed(ByteRange bytes) {
  if (m_state != State::NeedMore) {
    if (bytes.size > 0) Fail(NtsKeFailure::Malformed);
    return m_state;
  }
  m_nReceived += bytes.size;
  if (m_nReceived > kMaxResponseSize) {
    Fail(NtsKeFailure::Malformed);
    return m_state;
  }
  m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
  size_t offset = 0;
  while (m_pending.size() - offset >= kNtsKeRecordHeaderSize) {
    const uint8_t* header = m_pending.data() + offset;
    const size_t bodySize = Uint16At(header + kUint16Size);
    if (m_pending.size() - offset - kNtsKeRecordHeaderSize < bodySize) break;
    if (m_state != State::NeedMore) {  // a record after End of Message
      Fail(NtsKeFailure::Malformed);
      return m_state;
    }
    const uint16_t typeField = Uint16At(header);
    ReadRecord((typeField & kNtsKeCriticalBit) != 0, static_cast<NtsKeRecordType>(typeField & kTypeMask),
               ByteRange(header + kNtsKeRecordHeaderSize, bodySize));
    offset += kNtsKeRecordHeaderSize + bodySize;
    if (m_state == State::Failed) return m_state;
  }
  m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(offset));
  if (m_state == State::Complete && !m_pending.empty()) Fail(NtsKeFailure::Malformed);
  return m_state;
}

// The records of RFC 8915 section 4.1, as a client reads them.
void CNtsKeResponseReader::ReadRecord(bool critical, NtsKeRecordType type, ByteRange body) {
  switch (type) {
    case NtsKeRecordType::EndOfMessage:
      if (body.size != 0) return Fail(NtsKeFailure::Malformed);
      return ReadEndOfMessage();
    case NtsKeRecordType::NextProtocol:
      return ReadNextProtocol(body);
    case NtsKeRecordType::Error:
      if (!IsOneUint16(body)) return Fail(NtsKeFailure::Malformed);
      return Fail(NtsKeFailure::ServerError, Uint16At(body.data));
    case NtsKeRecordType::Warning:
      if (!IsOneUint16(body)) return Fail(NtsKeFailure::Malformed);
      return Fail(NtsKeFailure::ServerWarning, Uint16At(body.data));
    case NtsKeRecordType::AeadAlgorithm:
      return ReadAeadAlgorithm(body);
    case NtsKeRecordType::NewCookie:
      if (body.size == 0 || body.size > kNtsMaxCookieSize) return Fail(NtsKeFailure::Malformed);
      if (m_response.m_Cookies.size() < kNtsMaxCookies) m_response.m_Cookies.emplace_back(body.begin(), body.end());
      return;
    case NtsKeRecordType::Server:
      return ReadServer(body);
    case NtsKeRecordType::Port:
      if (m_bPortSeen || !IsOneUint16(body) || Uint16At(body.data) == 0) return Fail(NtsKeFailure::Malformed);
      m_bPortSeen = true;
      m_response.m_nPort = Uint16At(body.data);
      return;
  }
  if (critical) Fail(NtsKeFailure::Malformed);  // a critical record this client does not know
}

// Exactly one, naming exactly NTPv4; an empty one is the server's refusal.
void CNtsKeResponseReader::ReadNextProtocol(ByteRange body) {
  if (m_bNextProtocolSeen || body.size % kUint16Size != 0) return Fail(NtsKeFailure::Malformed);
  m_bNextProtocolSeen = true;
  if (!IsOnly(body, kNtsProtocolNtpV4)) Fail(NtsKeFailure::Refused);
}

// At most one, naming exactly the one algorithm offered.
void CNtsKeResponseReader::ReadAeadAlgorithm(ByteRange body) {
  if (m_bAeadSeen || body.size % kUint16Size != 0) return Fail(NtsKeFailure::Malformed);
  m_bAeadSeen = true;
  if (!IsOnly(body, kAeadAesSivCmac256)) Fail(NtsKeFailure::NoCommonAlgorithm);
}

// A host name or an address literal, in printable ASCII.
void CNtsKeResponseReader::ReadServer(ByteRange body) {
  if (m_bServerSeen || body.size == 0 || body.size > kMaxServerNameSize) return Fail(NtsKeFailure::Malformed);
  for (const uint8_t character : body) {
    if (character < kFirstNameCharacter || character > kLastNameCharacter) return Fail(NtsKeFailure::Malformed);
  }
  m_bServerSeen = true;
  m_response.m_Server.assign(body.begin(), body.end());
}

void CNtsKeResponseReader::ReadEndOfMessage() {
  if (!m_bNextProtocolSeen) return Fail(NtsKeFailure::Malformed);
  if (!m_bAeadSeen) return Fail(NtsKeFailure::NoCommonAlgorithm);
  if (m_response.m_Cookies.empty()) return Fail(NtsKeFailure::Malformed);
  m_state = State::Complete;
}

void CNtsKeResponseReader::Fail(NtsKeFailure failure, uint16_t code) {
  m_state = State::Failed;
  m_response.m_Failure = failure;
  m_response.m_nCode = code;
  m_response.m_Cookies.clear();
}
