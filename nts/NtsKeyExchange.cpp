#include "nts/NtsKeyExchange.h"

#include <winsock2.h>

#include "nts/DnsName.h"
#include "nts/NtsKeRecords.h"
#include "nts/NtsKeResponseReader.h"
#include "net/StreamSocket.h"
#include "nts/TlsConnection.h"
#include "net/TimeLimit.h"
#include "net/HostLookup.h"

namespace {

constexpr uint32_t kKeyExchangeTimeout = 5000;
// TLS gives the response in records of at most 16 KB.
constexpr size_t kReadSize = 4096;

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

}  // namespace

// The error is set once the connection's parts, closing, can change it no more.
std::unique_ptr<CNtsAssociation> CNtsKeyExchange::Run(LPCWSTR server) {
  m_nError = ERROR_SUCCESS;
  m_failure = NtsFailure::None;
  m_nCode = 0;
  m_certificateToCheck.reset();
  std::unique_ptr<CNtsAssociation> association = Exchange(server);
  if (!association) ::SetLastError(m_nError);
  return association;
}

std::unique_ptr<CNtsAssociation> CNtsKeyExchange::Exchange(LPCWSTR server) {
  const CTimeLimit deadline(kKeyExchangeTimeout);
  std::string name;
  if (!DnsName(server, name)) return FailWithError(WSAHOST_NOT_FOUND);
  AddressList addresses;
  if (!ResolveHost(server, kNtsKePort, addresses, deadline.MillisecondsLeft(), m_hStopEvent))
    return FailWithError(::WSAGetLastError());

  CStreamSocket stream;
  if (!stream.Connect(addresses, deadline, m_hStopEvent)) return FailWithError(::WSAGetLastError());
  CTlsConnection tls;
  switch (tls.Open(stream, name, kNtsKeAlpn, deadline, m_hStopEvent)) {
    case CTlsConnection::Failure::None:
      break;
    case CTlsConnection::Failure::Transport:
      return FailWithError(::WSAGetLastError());
    case CTlsConnection::Failure::NoProtocol:
      return Fail(NtsFailure::NoKeyExchange);
    default:
      return Fail(NtsFailure::NoTls);
  }
  // Nothing is sent to a server that Windows does not trust for the name.
  if (!Trusts(std::make_unique<CCertificateTrust>(tls.PeerChain(), WideName(name)))) return nullptr;

  const std::vector<uint8_t> request = BuildNtsKeRequest();
  if (tls.Write(request, deadline, m_hStopEvent) != CTlsConnection::Failure::None)
    return FailWithError(::WSAGetLastError());
  CNtsKeResponseReader reader;
  std::vector<uint8_t> received(kReadSize);
  while (reader.GetState() == CNtsKeResponseReader::State::NeedMore) {
    size_t read = 0;
    if (tls.Read(received.data(), received.size(), read, deadline, m_hStopEvent) != CTlsConnection::Failure::None)
      return FailWithError(::WSAGetLastError());
    if (read == 0) return Fail(NtsFailure::Malformed);  // it ended before End of Message
    reader.Feed(ByteRange(received.data(), read));
  }
  if (reader.GetState() == CNtsKeResponseReader::State::Failed) {
    m_nCode = reader.Response().m_nCode;
    return Fail(FailureOfResponse(reader.Response().m_Failure));
  }

  NtsKey clientToServer;
  NtsKey serverToClient;
  if (!tls.Export(kNtsExporterLabel, NtsExporterContextFor(NtsKeyDirection::ClientToServer),
                  clientToServer.data(), clientToServer.size()) ||
      !tls.Export(kNtsExporterLabel, NtsExporterContextFor(NtsKeyDirection::ServerToClient),
                  serverToClient.data(), serverToClient.size()))
    return Fail(NtsFailure::NoTls);
  tls.Close();
  return std::make_unique<CNtsAssociation>(clientToServer, serverToClient, reader.Response(), name);
}

// A chain trusted but for its dates is kept, to be judged at the server's
// time: the local clock may be what is wrong.
bool CNtsKeyExchange::Trusts(std::unique_ptr<CCertificateTrust> certificate) {
  const CertificateVerdict verdict = certificate->Check();
  if (verdict == CertificateVerdict::TrustedButForTime) m_certificateToCheck = std::move(certificate);
  if (verdict == CertificateVerdict::Trusted || verdict == CertificateVerdict::TrustedButForTime) return true;
  Fail(FailureOfCertificate(verdict));
  return false;
}

std::unique_ptr<CNtsAssociation> CNtsKeyExchange::Fail(NtsFailure failure) {
  m_failure = failure;
  m_nError = kErrorNtsFailed;
  return nullptr;
}

// The stream's errors that have a reason of their own.
std::unique_ptr<CNtsAssociation> CNtsKeyExchange::FailWithError(DWORD error) {
  if (error == WSAETIMEDOUT) return Fail(NtsFailure::NoAnswer);
  if (error == WSAECONNREFUSED) return Fail(NtsFailure::Refused);
  m_nError = error;
  return nullptr;
}
