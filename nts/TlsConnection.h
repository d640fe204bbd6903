#pragma once
#include <windows.h>

#include <mbedtls/ssl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "net/NetFailure.h"
#include "net/Result.h"
#include "net/StreamSocket.h"
#include "net/TimeLimit.h"
#include "nts/ByteRange.h"

// A TLS 1.3 client session over a connected stream, with one application
// protocol (ALPN). The TLS library carries the handshake and the records;
// it judges no certificate: the caller hands the server's chain to Windows
// (PeerChain) before it sends anything.
class CTlsConnection {
public:
  CTlsConnection();
  ~CTlsConnection();
  CTlsConnection(const CTlsConnection&) = delete;
  CTlsConnection& operator=(const CTlsConnection&) = delete;

  // Why a session could not be opened or used.
  struct Failure {
    enum class Kind {
      Setup,       // the library could not be set up
      Handshake,   // the server broke off, or spoke no TLS 1.3 this client takes
      NoProtocol,  // the server agreed to no application protocol, or another
      Broken,      // the session broke: an alert, a record that does not verify, an early end
      Stream,      // the stream failed: stream says how
    };
    Kind kind;
    NetFailure stream{NetFailure::Kind::System};
  };

  // The handshake, as the client of serverName (sent in SNI), asking for
  // protocol.
  Result<Done, Failure> Open(CStreamSocket& stream, const std::string& serverName, const char* protocol,
                             const CTimeLimit& deadline, HANDLE stopEvent);

  // The certificates the server sent, its own first, as DER.
  std::vector<std::vector<BYTE>> PeerChain() const;

  // Keying material of the session (RFC 8446 section 7.5).
  bool Export(const char* label, ByteRange context, uint8_t* key, size_t size);

  Result<Done, Failure> Write(ByteRange data, const CTimeLimit& deadline, HANDLE stopEvent);
  // Reads what has come, at most size bytes: how many; 0 at the end of the
  // stream.
  Result<size_t, Failure> Read(uint8_t* buffer, size_t size, const CTimeLimit& deadline, HANDLE stopEvent);

  // Says goodbye to the server, without waiting for it.
  void Close();

private:
  bool Configure(const std::string& serverName, const char* protocol);
  template <class Step>
  Result<int, Failure> Carry(Step step, Failure::Kind failure, const CTimeLimit& deadline, HANDLE stopEvent);
  static int SendToStream(void* connection, const unsigned char* data, size_t size);
  static int ReceiveFromStream(void* connection, unsigned char* buffer, size_t size);
  int StreamFailure(int wouldWait);

  mbedtls_ssl_config m_config;
  mbedtls_ssl_context m_ssl;
  CStreamSocket* m_pStream = nullptr;
  const char* m_protocols[2] = {nullptr, nullptr};  // ALPN: one protocol
  int m_nStreamError = 0;  // the stream's own error, when it failed
};
