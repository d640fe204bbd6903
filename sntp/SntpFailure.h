#pragma once
#include <string>
#include <utility>

#include "net/NetFailure.h"
#include "sntp/SntpPacket.h"

// Why an SNTP exchange gave no time to believe.
struct SntpFailure {
  enum class Kind {
    Network,             // no reply came, or none could: network says why
    ReplyRefused,        // the reply broke a rule: refusal says which
    NotAuthenticated,    // replies came in time, none of them proved authentic
    CredentialsRefused,  // the server refused the request's credentials
    NoCredentialsLeft,   // the requests made spent every credential, and none was answered
  };

  SntpFailure(NetFailure failure) : kind(Kind::Network), network(failure) {}
  explicit SntpFailure(SntpRefusal broken, std::wstring kiss = {})
      : kind(Kind::ReplyRefused), refusal(broken), kissCode(std::move(kiss)) {}
  explicit SntpFailure(Kind unanswered) : kind(unanswered) {}

  bool Stopped() const { return kind == Kind::Network && network.kind == NetFailure::Kind::Stopped; }

  Kind kind;
  NetFailure network{NetFailure::Kind::System};
  SntpRefusal refusal = SntpRefusal::None;
  std::wstring kissCode;  // of a kiss-o'-death
};
