#pragma once
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "net/TimeLimit.h"

class CCertificateLibrary;

// What Windows makes of a server's certificate chain for the server's name.
enum class CertificateVerdict {
  Trusted,
  // Everything holds but the time: at the time checked, a certificate of
  // the chain is expired or not yet valid, and that is the only fault.
  // Checked at the local time, the local clock may be what is wrong;
  // checked at a time known to be right, the certificate is out of date.
  TrustedButForTime,
  // The chain ends at no root this machine trusts: a self-signed
  // certificate, one of an unknown CA, or a chain with an issuer missing.
  UntrustedRoot,
  // The server's certificate is not for that name.
  WrongName,
  // Any other fault: a bad signature, a certificate not meant for a TLS
  // server, one known to be revoked, no certificate, a malformed one, or a
  // check that could not be made.
  Faulty,
};

// A server's certificate chain as the TLS handshake received it, checked
// as Windows' own TLS clients check one, but by the machine's chain engine:
// it builds the chain to a root of the machine's (the system's and those an
// administrator installed), never to one in a user's own Root store, with
// the other certificates the server sent as candidate issuers, and the SSL
// policy judges it for the server's name.
//
// The check goes to the network only as Windows does for a root it trusts
// but does not hold yet (from Windows Update, for a few seconds at most, and
// never past the caller's limit).
// It fetches no missing issuer and no revocation information: that would go
// to addresses that certificates not yet trusted name, and could take longer
// than a key exchange may. Revocation information the system already holds
// counts: a chain known to be revoked is refused, one whose status is
// unknown is not.
//
// The object keeps the chain, so that a chain trusted but for the time can
// be checked again at the authenticated server time.
class CCertificateTrust {
public:
  // chain: the DER certificates in the order the server sent them, its own
  // first. serverName: the server's DNS name as the user configured it.
  CCertificateTrust(const std::vector<std::vector<BYTE>>& chain, std::wstring serverName);
  ~CCertificateTrust();
  CCertificateTrust(const CCertificateTrust&) = delete;
  CCertificateTrust& operator=(const CCertificateTrust&) = delete;

  // The verdict at the UTC time given, or now for null; a missing root is
  // fetched only before limit, and not at all once it has passed.
  CertificateVerdict Check(const CTimeLimit& limit, const FILETIME* time = nullptr) const;

  // The dates, in UTC, between which the server's own certificate is valid
  // (not before, not after); false when there is no certificate.
  bool ValidityPeriod(SYSTEMTIME& notBefore, SYSTEMTIME& notAfter) const;

private:
  CertificateVerdict Judge(PCCERT_CHAIN_CONTEXT chain) const;
  // The SSL policy's error for the chain and the name, with the faults of
  // ignoredFaults (SECURITY_FLAG_IGNORE_...) left aside; 0 when it holds.
  DWORD PolicyError(PCCERT_CHAIN_CONTEXT chain, DWORD ignoredFaults) const;

  const CCertificateLibrary* m_pLibrary;
  HCERTSTORE m_hSent = nullptr;  // every certificate the server sent
  PCCERT_CONTEXT m_pServer = nullptr;  // the server's own, in m_hSent
  std::wstring m_strServerName;
};
