#pragma once
#include "nts/NtsAssociation.h"
#include "sntp/ExchangeCredentials.h"

// The credentials of an NTS association for the requests of one exchange:
// NTPv4 with a cookie of the association each, replies proved with its keys.
class CNtsCredentials : public CExchangeCredentials {
public:
  explicit CNtsCredentials(CNtsAssociation& association) : m_association(association) {}

  int ProtocolVersion() const override;
  size_t LongestReply() const override;
  // Null when the association has no cookie left.
  std::unique_ptr<CRequestCredentials> ForRequest() override;

private:
  CNtsAssociation& m_association;
};
