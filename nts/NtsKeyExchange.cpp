#include "nts/NtsKeyExchange.h"

#include <winsock2.h>

#include <mbedtls/platform_util.h>

#include "net/HostLookup.h"
#include "net/StreamSocket.h"
#include "nts/DnsName.h"
#include "nts/NegotiatedServer.h"
#include "nts/NtsKeRecords.h"
#include "nts/NtsKeResponseReader.h"

namespace {

constexpr uint32_t kKeyExchangeTimeout = 5000;
// TLS gives the response in records of at most 16 KB.
constexpr size_t kReadSize = 4096;

using AssociationResult = Result<std::unique_ptr<CNtsAssociation>, NtsQueryFailure>;

NtsFailure FailureOfResponse(NtsKeFailure failure) {
  switch (failure) {
    case NtsKeFailure::Refused:
      return NtsFailure::NoNtpV4;
    case NtsKeFailure::NoCommonAlgorithm:
      return NtsFailure::NoCommonAlgorithm;
    case NtsKeFailure::ServerError:
      return NtsFailure::ServerError;
    case NtsKeFailure::ServerWarning:
      return NtsFailure::ServerWarning;
    case NtsKeFailure::Malformed:
    case NtsKeFailure::None:
      break;
  }
  return NtsFailure::Malformed;
}

NtsFailure FailureOfCertificate(CertificateVerdict verdict) {
  switch (verdict) {
    case CertificateVerdict::UntrustedRoot:
      return NtsFailure::UntrustedCertificate;
    case CertificateVerdict::WrongName:
      return NtsFailure::CertificateForAnotherName;
    default:
      return NtsFailure::FaultyCertificate;
  }
}

// The network's failures that the key exchange tells in words of its own:
// no answer within its time, and a refused connection.
NtsQueryFailure FailureOfStream(const NetFailure& failure) {
  switch (failure.kind) {
    case NetFailure::Kind::TimedOut:
      return NtsFailure::NoAnswer;
    case NetFailure::Kind::Refused:
      return NtsFailure::Refused;
    default:
      return failure;
  }
}

// A connection neither accepted nor refused in time: its SYNs dropped, as
// firewalls do with a port they block.
NtsQueryFailure FailureOfConnect(const NetFailure& failure) {
  if (failure.kind == NetFailure::Kind::TimedOut) return NtsFailure::ConnectionUnanswered;
  return FailureOfStream(failure);
}

// Every failure of the TLS session is one of the key exchange: none can
// pass for a success, whatever the stream's own error was.
NtsQueryFailure FailureOfTls(const CTlsConnection::Failure& failure) {
  switch (failure.kind) {
    case CTlsConnection::Failure::Kind::Stream:
      return FailureOfStream(failure.stream);
    case CTlsConnection::Failure::Kind::NoProtocol:
      return NtsFailure::NoKeyExchange;
    case CTlsConnection::Failure::Kind::Broken:
      return NtsFailure::Malformed;
    case CTlsConnection::Failure::Kind::Setup:
    case CTlsConnection::Failure::Kind::Handshake:
      break;
  }
  return NtsFailure::NoTls;
}

// Both keys of the session, from the TLS exporter (RFC 8915 section 5.1),
// wiped from here once the association holds them.
class ExportedKeys {
public:
  ~ExportedKeys() {
    mbedtls_platform_zeroize(clientToServer.data(), clientToServer.size());
    mbedtls_platform_zeroize(serverToClient.data(), serverToClient.size());
  }

  bool ExportFrom(CTlsConnection& tls) {
    return tls.Export(kNtsExporterLabel, NtsExporterContextFor(NtsKeyDirection::ClientToServer),
                      clientToServer.data(), clientToServer.size()) &&
           tls.Export(kNtsExporterLabel, NtsExporterContextFor(NtsKeyDirection::ServerToClient),
                      serverToClient.data(), serverToClient.size());
  }

  NtsKey clientToServer;
  NtsKey serverToClient;
};

// An address as the association keeps its NTP server: ASCII text.
std::string NarrowAddressText(const SOCKADDR_INET& address) {
  const std::wstring text = AddressText(address);
  return std::string(text.begin(), text.end());
}

}  // namespace

AssociationResult CNtsKeyExchange::Run(LPCWSTR server, const CTimeLimit& outer) {
  m_certificateToCheck.reset();
  const CTimeLimit deadline(kKeyExchangeTimeout, outer);
  TlsServerName name;
  if (!TlsServerNameOf(server, name))
    return NtsQueryFailure(NetFailure{NetFailure::Kind::NameNotFound, WSAHOST_NOT_FOUND});
  const Result<AddressList, NetFailure> addresses =
      ResolveHost(server, kNtsKePort, deadline.MillisecondsLeft(), m_hStopEvent);
  if (!addresses) return NtsQueryFailure(addresses.Error());

  CStreamSocket stream;
  const Result<Done, NetFailure> connected = stream.Connect(*addresses, deadline, m_hStopEvent);
  if (!connected) return FailureOfConnect(connected.Error());
  CTlsConnection tls;
  const Result<Done, CTlsConnection::Failure> opened =
      tls.Open(stream, name.indicated, kNtsKeAlpn, deadline, m_hStopEvent);
  if (!opened) return FailureOfTls(opened.Error());
  // Nothing is sent to a server that Windows does not trust for the name.
  const Result<Done, NtsQueryFailure> trusted =
      Trusts(std::make_unique<CCertificateTrust>(tls.PeerChain(), WideName(name.checked)), deadline);
  if (!trusted) return trusted.Error();
  return Records(tls, deadline, stream.Peer());
}

// The request, the server's response up to its End of Message, and the
// keys. Without a Server record, time is asked where the key exchange was
// made (RFC 8915 section 4.1.7): a name may have other addresses, whose
// servers do not know the cookies.
AssociationResult CNtsKeyExchange::Records(CTlsConnection& tls, const CTimeLimit& deadline,
                                           const SOCKADDR_INET& peer) {
  const Result<Done, CTlsConnection::Failure> sent = tls.Write(BuildNtsKeRequest(), deadline, m_hStopEvent);
  if (!sent) return FailureOfTls(sent.Error());
  CNtsKeResponseReader reader;
  std::vector<uint8_t> received(kReadSize);
  while (reader.GetState() == CNtsKeResponseReader::State::NeedMore) {
    const Result<size_t, CTlsConnection::Failure> read =
        tls.Read(received.data(), received.size(), deadline, m_hStopEvent);
    if (!read) return FailureOfTls(read.Error());
    if (*read == 0) return NtsQueryFailure(NtsFailure::Malformed);  // it ended before End of Message
    reader.Feed(ByteRange(received.data(), *read));
  }
  NtsKeResponse response = reader.Response();
  if (reader.GetState() == CNtsKeResponseReader::State::Failed)
    return NtsQueryFailure(FailureOfResponse(response.m_Failure), response.m_nCode);
  if (!response.m_Server.empty()) {
    const std::optional<std::string> toAsk = NegotiatedServerToAsk(response.m_Server);
    if (!toAsk) return NtsQueryFailure(NtsFailure::Malformed);
    response.m_Server = *toAsk;
  }

  ExportedKeys keys;
  if (!keys.ExportFrom(tls)) return NtsQueryFailure(NtsFailure::NoTls);
  tls.Close();
  return std::make_unique<CNtsAssociation>(keys.clientToServer, keys.serverToClient, response,
                                           NarrowAddressText(peer), ScopeOf(peer));
}

Result<Done, NtsQueryFailure> CNtsKeyExchange::Trusts(std::unique_ptr<CCertificateTrust> certificate,
                                                      const CTimeLimit& deadline) {
  const CertificateVerdict verdict = certificate->Check(deadline);
  if (verdict == CertificateVerdict::TrustedButForTime) m_certificateToCheck = std::move(certificate);
  if (verdict == CertificateVerdict::Trusted || verdict == CertificateVerdict::TrustedButForTime) return Done{};
  return NtsQueryFailure(FailureOfCertificate(verdict));
}
