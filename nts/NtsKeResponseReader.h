#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "nts/ByteRange.h"
#include "nts/NtsKeResponse.h"
#include "nts/NtsKeRecords.h"

// Reads the server's NTS-KE response (RFC 8915 section 4) as TLS delivers
// it, record by record, and says when it is complete: at End of Message,
// with NTPv4, AEAD_AES_SIV_CMAC_256 and at least one cookie. It fails at the
// first record that makes the response unusable, and when the response
// grows past kMaxResponseSize.
class CNtsKeResponseReader {
public:
  enum class State { NeedMore, Complete, Failed };

  static constexpr size_t kMaxResponseSize = 16384;  // chrony's NKE_MAX_MESSAGE_LENGTH
  static constexpr size_t kMaxServerNameSize = 255;  // a DNS name

  // Takes the next bytes of the stream; bytes after End of Message fail it.
  State Feed(ByteRange bytes);

  State GetState() const { return m_state; }
  const NtsKeResponse& Response() const { return m_response; }

private:
  void ReadRecord(bool critical, NtsKeRecordType type, ByteRange body);
  void ReadNextProtocol(ByteRange body);
  void ReadAeadAlgorithm(ByteRange body);
  void ReadServer(ByteRange body);
  void ReadEndOfMessage();
  void Fail(NtsKeFailure failure, uint16_t code = 0);

  State m_state = State::NeedMore;
  NtsKeResponse m_response;
  std::vector<uint8_t> m_pending;  // the start of a record not yet whole
  size_t m_nReceived = 0;
  bool m_bNextProtocolSeen = false;
  bool m_bAeadSeen = false;
  bool m_bServerSeen = false;
  bool m_bPortSeen = false;
};
