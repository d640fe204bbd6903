#include "nts/NegotiatedServer.h"

#include <gtest/gtest.h>

#include "net/AddressScope.h"

namespace {

AddressScope Scope(std::initializer_list<uint8_t> address) {
  return ScopeOfAddress(std::data(address), address.size());
}

}  // namespace

// A key exchange's Server record is asked only as a name that no search
// suffix can complete, or as an address without a zone.
TEST(NegotiatedServer, NamesAreFullyQualifiedAndZonesBracketsAndSingleLabelsRefused) {
  EXPECT_EQ(NegotiatedServerToAsk("time.example"), "time.example.");
  EXPECT_EQ(NegotiatedServerToAsk("time.example."), "time.example.");
  EXPECT_EQ(NegotiatedServerToAsk("192.0.2.1"), "192.0.2.1");
  EXPECT_EQ(NegotiatedServerToAsk("2001:db8::1"), "2001:db8::1");
  for (const char* refused : {"ntp", "ntp.", ".example", "fe80::1%12", "[2001:db8::1]", "time%1.example", ""})
    EXPECT_EQ(NegotiatedServerToAsk(refused), std::nullopt) << refused;
}

// A server may name a target on this machine or its link only when it is
// there itself.
TEST(NegotiatedServer, NarrowScopesOnlyFromAPeerOfTheSameScope) {
  EXPECT_EQ(Scope({192, 0, 2, 1}), AddressScope::Global);
  EXPECT_EQ(Scope({127, 0, 0, 6}), AddressScope::Loopback);
  EXPECT_EQ(Scope({169, 254, 1, 1}), AddressScope::LinkLocal);
  EXPECT_EQ(Scope({239, 1, 1, 1}), AddressScope::Multicast);
  EXPECT_EQ(Scope({0, 0, 0, 0}), AddressScope::Unspecified);
  EXPECT_EQ(Scope({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), AddressScope::Loopback);
  EXPECT_EQ(Scope({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), AddressScope::Unspecified);
  EXPECT_EQ(Scope({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 127, 0, 0, 1}), AddressScope::Loopback);
  EXPECT_EQ(Scope({0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), AddressScope::LinkLocal);
  EXPECT_EQ(Scope({0xFF, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), AddressScope::Multicast);
  EXPECT_EQ(Scope({0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), AddressScope::Global);

  EXPECT_TRUE(MayAskNamedTarget(AddressScope::Global, AddressScope::Global));
  EXPECT_TRUE(MayAskNamedTarget(AddressScope::Loopback, AddressScope::Loopback));
  EXPECT_FALSE(MayAskNamedTarget(AddressScope::Global, AddressScope::Loopback));
  EXPECT_FALSE(MayAskNamedTarget(AddressScope::Global, AddressScope::LinkLocal));
  EXPECT_FALSE(MayAskNamedTarget(AddressScope::Loopback, AddressScope::LinkLocal));
  EXPECT_FALSE(MayAskNamedTarget(AddressScope::Global, AddressScope::Multicast));
  EXPECT_FALSE(MayAskNamedTarget(AddressScope::Global, AddressScope::Unspecified));
}
