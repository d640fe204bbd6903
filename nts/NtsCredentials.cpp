#include "nts/NtsCredentials.h"

#include "nts/NtsRequestCredentials.h"

namespace {

constexpr int kNtpVersion4 = 4;
// A reply with eight of the longest cookies fits.
constexpr size_t kLongestReply = 4096;

}  // namespace

int CNtsCredentials::ProtocolVersion() const {
  return kNtpVersion4;
}

size_t CNtsCredentials::LongestReply() const {
  return kLongestReply;
}

std::unique_ptr<CRequestCredentials> CNtsCredentials::ForRequest() {
  if (!m_association.HasCookie()) return nullptr;
  return std::make_unique<CNtsRequestCredentials>(m_association, m_association.TakeCookie());
}
