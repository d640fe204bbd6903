#include "nts/TlsConnection.h"

// Headers of the library without C++ linkage of their own.
extern "C" {
#include <mbedtls/psa_util.h>
}
#include <psa/crypto.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// What the stream callbacks tell the library of a failed stream; the
// stream's own error is kept for the caller.
constexpr int kStreamFailed = MBEDTLS_ERR_SSL_INTERNAL_ERROR;

bool WouldWait(int result) {
  return result == MBEDTLS_ERR_SSL_WANT_READ || result == MBEDTLS_ERR_SSL_WANT_WRITE;
}

int ClampedSize(size_t size) {
  return static_cast<int>(std::min<size_t>(size, INT_MAX));
}

}  // namespace

CTlsConnection::CTlsConnection() {
  mbedtls_ssl_config_init(&m_config);
  mbedtls_ssl_init(&m_ssl);
}

CTlsConnection::~CTlsConnection() {
  mbedtls_ssl_free(&m_ssl);
  mbedtls_ssl_config_free(&m_config);
}

// TLS 1.3 only; the chain is left to the caller.
bool CTlsConnection::Configure(const std::string& serverName, const char* protocol) {
  m_protocols[0] = protocol;
  if (psa_crypto_init() != PSA_SUCCESS ||
      mbedtls_ssl_config_defaults(&m_config, MBEDTLS_SSL_IS_CLIENT, MBEDTLS_SSL_TRANSPORT_STREAM,
                                  MBEDTLS_SSL_PRESET_DEFAULT) != 0)
    return false;
  mbedtls_ssl_conf_min_tls_version(&m_config, MBEDTLS_SSL_VERSION_TLS1_3);
  mbedtls_ssl_conf_max_tls_version(&m_config, MBEDTLS_SSL_VERSION_TLS1_3);
  mbedtls_ssl_conf_authmode(&m_config, MBEDTLS_SSL_VERIFY_NONE);
  mbedtls_ssl_conf_rng(&m_config, mbedtls_psa_get_random, MBEDTLS_PSA_RANDOM_STATE);
  return mbedtls_ssl_conf_alpn_protocols(&m_config, m_protocols) == 0 && mbedtls_ssl_setup(&m_ssl, &m_config) == 0 &&
         mbedtls_ssl_set_hostname(&m_ssl, serverName.empty() ? nullptr : serverName.c_str()) == 0;
}

Result<Done, CTlsConnection::Failure> CTlsConnection::Open(CStreamSocket& stream, const std::string& serverName,
                                                          const char* protocol, const CTimeLimit& deadline,
                                                          HANDLE stopEvent) {
  m_pStream = &stream;
  if (!Configure(serverName, protocol)) return Failure{Failure::Kind::Setup};
  mbedtls_ssl_set_bio(&m_ssl, this, &CTlsConnection::SendToStream, &CTlsConnection::ReceiveFromStream, nullptr);
  const Result<int, Failure> handshake =
      Carry([&] { return mbedtls_ssl_handshake(&m_ssl); }, Failure::Kind::Handshake, deadline, stopEvent);
  if (!handshake) return handshake.Error();
  const char* agreed = mbedtls_ssl_get_alpn_protocol(&m_ssl);
  if (!agreed || std::strcmp(agreed, protocol) != 0) return Failure{Failure::Kind::NoProtocol};
  return Done{};
}

std::vector<std::vector<BYTE>> CTlsConnection::PeerChain() const {
  std::vector<std::vector<BYTE>> chain;
  for (const mbedtls_x509_crt* certificate = mbedtls_ssl_get_peer_cert(&m_ssl); certificate && certificate->raw.p;
       certificate = certificate->next)
    chain.emplace_back(certificate->raw.p, certificate->raw.p + certificate->raw.len);
  return chain;
}

bool CTlsConnection::Export(const char* label, ByteRange context, uint8_t* key, size_t size) {
  return mbedtls_ssl_export_keying_material(&m_ssl, key, size, label, std::strlen(label), context.data,
                                            context.size, 1) == 0;
}

Result<Done, CTlsConnection::Failure> CTlsConnection::Write(ByteRange data, const CTimeLimit& deadline,
                                                           HANDLE stopEvent) {
  for (size_t written = 0; written < data.size;) {
    const Result<int, Failure> wrote = Carry(
        [&] { return mbedtls_ssl_write(&m_ssl, data.data + written, data.size - written); }, Failure::Kind::Broken,
        deadline, stopEvent);
    if (!wrote) return wrote.Error();
    written += static_cast<size_t>(*wrote);
  }
  return Done{};
}

Result<size_t, CTlsConnection::Failure> CTlsConnection::Read(uint8_t* buffer, size_t size,
                                                             const CTimeLimit& deadline, HANDLE stopEvent) {
  const Result<int, Failure> read = Carry(
      [&] {
        const int result = mbedtls_ssl_read(&m_ssl, buffer, size);
        // The server's goodbye ends the stream as its closing does.
        return result == MBEDTLS_ERR_SSL_PEER_CLOSE_NOTIFY || result == MBEDTLS_ERR_SSL_CONN_EOF ? 0 : result;
      },
      Failure::Kind::Broken, deadline, stopEvent);
  if (!read) return read.Error();
  return static_cast<size_t>(*read);
}

void CTlsConnection::Close() {
  if (m_pStream) mbedtls_ssl_close_notify(&m_ssl);
}

// Runs step until it neither fails nor wants the stream, waiting for the
// stream in between: its result, or failure for any error of the library's.
template <class Step>
Result<int, CTlsConnection::Failure> CTlsConnection::Carry(Step step, Failure::Kind failure,
                                                           const CTimeLimit& deadline, HANDLE stopEvent) {
  for (;;) {
    m_nStreamError = 0;
    const int result = step();
    if (result >= 0) return result;
    if (m_nStreamError != 0) return Failure{Failure::Kind::Stream, SystemCallFailure(m_nStreamError)};
    if (!WouldWait(result)) return Failure{failure};
    const Result<Done, NetFailure> ready = m_pStream->AwaitReady(deadline, stopEvent);
    if (!ready) return Failure{Failure::Kind::Stream, ready.Error()};
  }
}

int CTlsConnection::SendToStream(void* connection, const unsigned char* data, size_t size) {
  auto* self = static_cast<CTlsConnection*>(connection);
  const int sent = self->m_pStream->Send(data, ClampedSize(size));
  return sent != SOCKET_ERROR ? sent : self->StreamFailure(MBEDTLS_ERR_SSL_WANT_WRITE);
}

int CTlsConnection::ReceiveFromStream(void* connection, unsigned char* buffer, size_t size) {
  auto* self = static_cast<CTlsConnection*>(connection);
  const int received = self->m_pStream->Receive(buffer, ClampedSize(size));
  return received != SOCKET_ERROR ? received : self->StreamFailure(MBEDTLS_ERR_SSL_WANT_READ);
}

// A stream call failed: it would have waited, or the stream failed.
int CTlsConnection::StreamFailure(int wouldWait) {
  const int error = ::WSAGetLastError();
  if (error == WSAEWOULDBLOCK) return wouldWait;
  m_nStreamError = error;
  return kStreamFailed;
}
