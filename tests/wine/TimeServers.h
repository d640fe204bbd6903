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

}  // namespace TimeServers
