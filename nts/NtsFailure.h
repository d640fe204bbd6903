#pragma once
#include "net/NetFailure.h"
#include "sntp/SntpFailure.h"

// Why an authenticated exchange failed, where a plain one has no such
// reason; the reasons both have (the name not found, the network refusing)
// keep their error codes.
enum class NtsFailure {
  None,
  // The key exchange:
  Refused,                    // the server refused the connection
  NoAnswer,                   // no connection or no answer within the key exchange's time
  NoTls,                      // no TLS 1.3 session could be made with it
  NoKeyExchange,              // it does not offer NTS key exchange (ALPN "ntske/1")
  UntrustedCertificate,       // its certificate chain ends at no root this machine trusts
  CertificateForAnotherName,  // its certificate is for another name
  FaultyCertificate,          // its certificate is faulty (signature, usage, revoked)
  OutdatedCertificate,        // its certificate is valid neither at the local nor at the server's time
  NoNtpV4,                    // it offers no NTPv4
  NoCommonAlgorithm,          // it offers no AEAD algorithm this client has
  ServerError,                // it sent an Error record
  ServerWarning,              // it sent a Warning record
  Malformed,                  // its answer breaks the protocol
  // The time exchange:
  NotAuthenticated,           // answers came, none of them authenticated
  CookieRefused,              // the server refused a fresh cookie too (NTS NAK)
  PredatesProgram,            // its authenticated time is earlier than this program was built
  ConnectionUnanswered,       // no connection to its key exchange's port within the time: blocked, it seems
  RequestsUnanswered,         // the key exchange worked, but no authenticated request got any answer
};
constexpr NtsFailure kLastNtsFailure = NtsFailure::RequestsUnanswered;

// Why an authenticated query failed: for a reason of NTS's own, with the
// code of the server's Error or Warning record, or as the exchange
// underneath failed (reason None).
struct NtsQueryFailure {
  NtsQueryFailure(NtsFailure why, unsigned recordCode = 0) : reason(why), code(recordCode) {}
  NtsQueryFailure(SntpFailure failure) : exchange(failure) {}
  NtsQueryFailure(NetFailure failure) : exchange(failure) {}

  NtsFailure reason = NtsFailure::None;
  unsigned code = 0;
  SntpFailure exchange{SntpFailure::Kind::Network};
};
