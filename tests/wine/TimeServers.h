#pragma once
#include <winsock2.h>
#include <windows.h>

// The loopback time servers that tests/fixtures/timeservers starts.
namespace TimeServers {

constexpr UINT kPort = 123;

// chronyd with a local reference of this stratum.
constexpr LPCWSTR kSynchronised = L"127.0.0.2";
constexpr int kLocalStratum = 8;
// The same, with faked clocks.
constexpr LPCWSTR kAhead = L"127.0.0.3";
constexpr double kAheadSeconds = 1.5;
constexpr LPCWSTR kBehind = L"127.0.0.4";
constexpr double kBehindSeconds = -2.25;
// Two more, for several servers: one agreeing with kAhead, one 30 s
// further ahead.
constexpr LPCWSTR kAlsoAhead = L"127.0.0.21";
constexpr LPCWSTR kFarAhead = L"127.0.0.22";
constexpr double kFarAheadSeconds = 31.5;
// chronyd without a time source: leap 3, stratum 0.
constexpr LPCWSTR kUnsynchronised = L"127.0.0.5";

// Two more on clocks faked far ahead, for a program faked the same: one
// agreeing with it, one 1.5 s ahead.
constexpr LPCWSTR kFarFutureAgreeing = L"127.0.0.7";
constexpr LPCWSTR kFarFutureAhead = L"127.0.0.8";

// The tests' own responder, also listening on 127.0.0.1 (localhost), and
// its control port (commands in tests/fixtures/sntp-responder).
constexpr LPCWSTR kResponder = L"127.0.0.6";
constexpr const char* kResponderControlAddress = "127.0.0.6";
constexpr u_short kResponderControlPort = 10123;

// NTS servers, chronyd with NTS-KE on TCP port kNtsKePort, known by names
// that resolve only under tests/fixtures/with-nts-servers. Their
// certificates come from the session's test CA, which the Wine prefix
// trusts, unless said otherwise.
constexpr u_short kNtsKePort = 4460;
constexpr LPCWSTR kNtsTrusted = L"nts.movrane.test";
// Certificates for another name, self-signed, from a CA nothing trusts,
// and expired.
constexpr LPCWSTR kNtsWrongName = L"wrong-name.movrane.test";
constexpr LPCWSTR kNtsSelfSigned = L"self-signed.movrane.test";
constexpr LPCWSTR kNtsUntrustedCa = L"untrusted-ca.movrane.test";
constexpr LPCWSTR kNtsExpired = L"expired.movrane.test";
// Trusted, with NTP on another port, which its key exchange names.
constexpr LPCWSTR kNtsOtherPort = L"other-port.movrane.test";
constexpr UINT kNtsOtherNtpPort = 4123;
// Trusted; its key exchange sends the NTP requests to the responder.
constexpr LPCWSTR kNtsToResponder = L"to-responder.movrane.test";
// A key exchange port that accepts and never answers, and a closed one.
constexpr LPCWSTR kNtsSilent = L"silent.movrane.test";
constexpr LPCWSTR kNtsClosed = L"closed.movrane.test";
constexpr LPCWSTR kNtsBlocked = L"blocked.movrane.test";
// Trusted: the responder's hostile key-exchange peer, whose script the
// responder's control port chooses ("kescript").
constexpr LPCWSTR kNtsHostile = L"hostile.movrane.test";
// Three trusted NTS servers whose accepted key exchanges the responder
// counts ("keaccepted ADDRESS").
constexpr LPCWSTR kNtsCounted[] = {L"a.wild.movrane.test", L"b.wild.movrane.test", L"c.wild.movrane.test"};
constexpr const char* kNtsCountedAddresses[] = {"127.0.0.23", "127.0.0.24", "127.0.0.25"};
// ::1, where no key exchange listens, and nts.movrane.test's 127.0.0.10.
constexpr LPCWSTR kNtsSplit = L"split.movrane.test";
constexpr LPCWSTR kNtsSplitServer = L"127.0.0.10";

}  // namespace TimeServers
