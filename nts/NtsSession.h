#pragma once
#include <memory>

#include "nts/CertificateTrust.h"
#include "nts/NtsAssociation.h"
#include "sntp/SntpExchangeResult.h"

// What a run keeps of one NTS server between its exchanges, in memory
// only: the association of the last key exchange and, when the server's
// certificate was trusted but for its dates at the local time, that chain
// and whether it has been found valid at the server's authenticated time.
class CNtsSession {
public:
  bool HasCookie() const { return m_association && m_association->HasCookie(); }
  CNtsAssociation& Association() { return *m_association; }

  void Begin(std::unique_ptr<CNtsAssociation> association, std::unique_ptr<CCertificateTrust> certificateToCheck) {
    m_association = std::move(association);
    m_certificateToCheck = std::move(certificateToCheck);
    m_bTrustedAtServerTime = false;
  }
  // The keys and cookies are dropped: the next exchange begins with a key
  // exchange.
  void Forget() { Begin(nullptr, nullptr); }

  // The chain still to be judged at the server's time; null when the
  // certificate was trusted at the local time, or has been judged.
  const CCertificateTrust* CertificateToCheck() const {
    return m_bTrustedAtServerTime ? nullptr : m_certificateToCheck.get();
  }
  void TrustAtServerTime() { m_bTrustedAtServerTime = true; }
  // Whether the certificate held at the server's time only, told in the
  // result of an exchange with the certificate's dates.
  void DescribeTrust(SntpExchangeResult& result) const {
    result.m_bTrustedAtServerTimeOnly = m_bTrustedAtServerTime;
    if (m_bTrustedAtServerTime)
      m_certificateToCheck->ValidityPeriod(result.m_CertificateValidFrom, result.m_CertificateValidUntil);
  }

private:
  std::unique_ptr<CNtsAssociation> m_association;
  std::unique_ptr<CCertificateTrust> m_certificateToCheck;
  bool m_bTrustedAtServerTime = false;
};
