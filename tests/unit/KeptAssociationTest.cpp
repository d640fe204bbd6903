#include "nts/KeptAssociation.h"

#include <gtest/gtest.h>

#include "nts/NtsAssociation.h"
#include "nts/NtsKeRecords.h"

namespace {

// A key exchange of chronyd on this machine that named an NTP server and
// port of its own, with three cookies of different lengths left.
KeptAssociation Example() {
  KeptAssociation kept;
  kept.server = "nts.movrane.test";
  kept.madeAt = 13418000000;  // December 2026
  kept.algorithm = kAeadAesSivCmac256;
  kept.ntpServer = "127.0.0.16";
  kept.ntpPort = 1123;
  kept.ntpServerNamed = true;
  kept.keyExchangeScope = AddressScope::Loopback;
  kept.clientToServerKey.fill(0xC5);
  kept.serverToClientKey.fill(0x5C);
  kept.cookies = {NtsCookie(100, 0x01), NtsCookie(1, 0x02), NtsCookie(kNtsMaxCookieSize, 0x03)};
  return kept;
}

void ExpectSame(const KeptAssociation& read, const KeptAssociation& kept) {
  EXPECT_EQ(read.server, kept.server);
  EXPECT_EQ(read.madeAt, kept.madeAt);
  EXPECT_EQ(read.algorithm, kept.algorithm);
  EXPECT_EQ(read.ntpServer, kept.ntpServer);
  EXPECT_EQ(read.ntpPort, kept.ntpPort);
  EXPECT_EQ(read.ntpServerNamed, kept.ntpServerNamed);
  EXPECT_EQ(read.keyExchangeScope, kept.keyExchangeScope);
  EXPECT_EQ(read.clientToServerKey, kept.clientToServerKey);
  EXPECT_EQ(read.serverToClientKey, kept.serverToClientKey);
  EXPECT_EQ(read.cookies, kept.cookies);
}

}  // namespace

// Written and read back whole, through an association as a later run
// makes one; no byte can go missing unnoticed.
TEST(KeptAssociation, ReadsBackWhatWasWrittenAndRefusesEveryTruncation) {
  const KeptAssociation kept = Example();
  const KeptBytes bytes = WriteKeptAssociation(kept);
  const std::optional<KeptAssociation> read = ReadKeptAssociation(bytes);
  ASSERT_TRUE(read);
  ExpectSame(*read, kept);
  const CNtsAssociation later(*read);
  EXPECT_TRUE(later.FromKeptResults());
  ExpectSame(later.ToKeep(kept.server, kept.madeAt), kept);

  for (size_t size = 0; size < bytes.size(); ++size)
    EXPECT_FALSE(ReadKeptAssociation(ByteRange(bytes.data(), size))) << "cut to " << size << " bytes";
  KeptBytes longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(ReadKeptAssociation(longer)) << "a byte after the last cookie";
}

// Each field that breaks its bound, written as the writer would write it.
TEST(KeptAssociation, FieldsBeyondTheirBoundsAreRefused) {
  const auto refused = [](void (*change)(KeptAssociation&)) {
    KeptAssociation kept = Example();
    change(kept);
    return !ReadKeptAssociation(WriteKeptAssociation(kept));
  };
  EXPECT_TRUE(refused([](KeptAssociation& kept) { kept.algorithm = 30; }));  // AES-128-GCM-SIV
  EXPECT_TRUE(refused([](KeptAssociation& kept) { kept.server.assign(256, 'a'); }));
  EXPECT_TRUE(refused([](KeptAssociation& kept) { kept.ntpServer.clear(); }));
  EXPECT_TRUE(refused([](KeptAssociation& kept) { kept.keyExchangeScope = static_cast<AddressScope>(9); }));
  EXPECT_TRUE(refused([](KeptAssociation& kept) { kept.cookies.front().clear(); }));
  EXPECT_TRUE(refused([](KeptAssociation& kept) { kept.cookies.back().push_back(0); }));
  EXPECT_TRUE(refused([](KeptAssociation& kept) { kept.cookies.resize(kNtsMaxCookies + 1, NtsCookie(4, 4)); }));
  EXPECT_FALSE(refused([](KeptAssociation& kept) { kept.cookies.clear(); }));  // spent: read, then renewed
  KeptBytes otherFormat = WriteKeptAssociation(Example());
  otherFormat[5] = 2;
  EXPECT_FALSE(ReadKeptAssociation(otherFormat));
}

// A kept cookie goes into one request: the association hands each out
// once, and what is kept after holds only those left.
TEST(KeptAssociation, EachCookieIsSpentOnceAndTheRestKept) {
  const KeptAssociation kept = Example();
  CNtsAssociation later(kept);
  EXPECT_EQ(later.TakeCookie(), kept.cookies[0]);
  const KeptAssociation left = later.ToKeep(kept.server, kept.madeAt);
  EXPECT_EQ(left.cookies, std::vector<NtsCookie>(kept.cookies.begin() + 1, kept.cookies.end()));
  EXPECT_EQ(later.TakeCookie(), kept.cookies[1]);
  EXPECT_EQ(later.TakeCookie(), kept.cookies[2]);
  EXPECT_FALSE(later.HasCookie());
  EXPECT_TRUE(later.ToKeep(kept.server, kept.madeAt).cookies.empty());
}

// Four weeks from the key exchange, as chrony renews them; a clock set
// back before it renews them too.
TEST(KeptAssociation, FreshForFourWeeksFromItsKeyExchange) {
  const KeptAssociation kept = Example();
  EXPECT_TRUE(StillFresh(kept, kept.madeAt));
  EXPECT_TRUE(StillFresh(kept, kept.madeAt + 2419199));
  EXPECT_FALSE(StillFresh(kept, kept.madeAt + 2419200));
  EXPECT_FALSE(StillFresh(kept, kept.madeAt - 1));
}
