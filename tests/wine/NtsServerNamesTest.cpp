#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sntp/HostLookup.h"
#include "tests/wine/TimeServers.h"

namespace {

constexpr DWORD kLookupTimeoutMs = 5000;

struct NamedServer {
  LPCWSTR name;
  const char* address;
};

// The hosts file of with-nts-servers: the servers' names, and the
// machine's own entries still there.
const NamedServer kServers[] = {
    {TimeServers::kNtsTrusted, "127.0.0.10"},     {TimeServers::kNtsWrongName, "127.0.0.11"},
    {TimeServers::kNtsSelfSigned, "127.0.0.12"},  {TimeServers::kNtsUntrustedCa, "127.0.0.13"},
    {TimeServers::kNtsExpired, "127.0.0.14"},     {TimeServers::kNtsOtherPort, "127.0.0.15"},
    {TimeServers::kNtsToResponder, "127.0.0.16"}, {TimeServers::kNtsSilent, "127.0.0.17"},
    {TimeServers::kNtsClosed, "127.0.0.18"},      {L"localhost", "127.0.0.1"},
};

std::string Narrow(LPCWSTR ascii) {
  std::string narrow;
  for (; *ascii; ++ascii) narrow += static_cast<char>(*ascii);
  return narrow;
}

}  // namespace

// Both lookups Windows programs use: the program's own (GetAddrInfoExW,
// cancellable) and getaddrinfo.
TEST(NtsServerNames, ResolveToTheServersAddresses) {
  for (const NamedServer& server : kServers) {
    const std::string name = Narrow(server.name);
    SCOPED_TRACE(name);
    AddressList found;
    ASSERT_TRUE(ResolveHost(server.name, 0, found, kLookupTimeoutMs, nullptr)) << ::WSAGetLastError();
    const auto ipv4 = std::find_if(found.begin(), found.end(),
                                   [](const SOCKADDR_INET& address) { return address.si_family == AF_INET; });
    ASSERT_NE(ipv4, found.end());
    EXPECT_EQ(Narrow(AddressText(*ipv4).c_str()), server.address);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* results = nullptr;
    ASSERT_EQ(getaddrinfo(name.c_str(), nullptr, &hints, &results), 0);
    EXPECT_STREQ(inet_ntoa(reinterpret_cast<const sockaddr_in*>(results->ai_addr)->sin_addr), server.address);
    freeaddrinfo(results);
  }
}
