#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "nts/CertificateTrust.h"
#include "nts/NtsAssociation.h"
#include "sntp/SntpExchangeResult.h"

// What a run keeps of one NTS server between its exchanges: the association
// of the last key exchange (made in this run or kept from an earlier one)
// and, when the server's certificate was trusted but for its dates at the
// local time, that chain and whether it has been found valid at the
// server's authenticated time. Only an association whose certificate was
// trusted at the local time is kept beyond the run.
class CNtsSession {
public:
  bool HasCookie() const { return m_association && m_association->HasCookie(); }
  CNtsAssociation& Association() { return *m_association; }

  void Begin(std::unique_ptr<CNtsAssociation> association, std::unique_ptr<CCertificateTrust> certificateToCheck) {
    m_association = std::move(association);
    m_certificateToCheck = std::move(certificateToCheck);
    m_bTrustedAtServerTime = false;
    m_keptAs.clear();
  }
  // The association is to be kept for later runs as the results of the
  // key exchange with server (its name as the key exchange used it) made
  // at madeAt (CNtsKeyStore::Now's seconds).
  void KeepAs(std::string server, uint64_t madeAt) {
    m_keptAs = std::move(server);
    m_madeAt = madeAt;
  }
  // What is to be kept of it now; nothing (an empty name) unless its
  // certificate was trusted at the local time.
  KeptAssociation ToKeep() const {
    if (!m_association || m_certificateToCheck || m_keptAs.empty()) return {};
    return m_association->ToKeep(m_keptAs, m_madeAt);
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
  std::string m_keptAs;
  uint64_t m_madeAt = 0;
};
