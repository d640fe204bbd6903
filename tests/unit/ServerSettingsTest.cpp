#include "exchange/ServerSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// The values of server1 and nts as the file has them, nothing for a key it
// lacks, and what both programs then ask.
TEST(ServerSettings, TheBuiltInServerWithNtsAUsersOwnWithoutUnlessNtsSays) {
  struct Case {
    std::optional<std::wstring> server1;
    std::optional<std::wstring> nts;
    std::wstring server;
    bool expectedNts;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, kDefaultServers[0], true},
      {L"ntp.example.org", std::nullopt, L"ntp.example.org", false},
      // An empty server1 is a server of the user's own, as it is written.
      {L"", std::nullopt, L"", false},
      {std::nullopt, L"0", kDefaultServers[0], false},
      {L"ntp.example.org", L"1", L"ntp.example.org", true},
      // Neither 1 nor 0: the default stands.
      {L"ntp.example.org", L"yes", L"ntp.example.org", false},
      {std::nullopt, L"10", kDefaultServers[0], true},
      {std::nullopt, L"", kDefaultServers[0], true},
  };
  for (const Case& test : cases) {
    const ServerSettings settings = ServerSettingsFrom({test.server1}, test.nts);
    SCOPED_TRACE(L"server1=" + test.server1.value_or(L"(none)") + L" nts=" + test.nts.value_or(L"(none)"));
    EXPECT_EQ(settings.servers.front(), test.server);
    EXPECT_EQ(settings.nts, test.expectedNts);
  }
}

// Every server key the file has is one server of the list, in order; with
// none, the built-in list of four operators' NTS servers.
TEST(ServerSettings, AListOfTheKeysTheFileHasOrTheBuiltInOne) {
  const ServerSettings mine = ServerSettingsFrom({std::nullopt, L"b.example", std::nullopt, L"d.example"}, std::nullopt);
  EXPECT_EQ(mine.servers, (std::vector<std::wstring>{L"b.example", L"d.example"}));
  EXPECT_FALSE(mine.nts);
  const ServerSettings builtIn = ServerSettingsFrom(std::vector<std::optional<std::wstring>>(kMostServers), std::nullopt);
  EXPECT_EQ(builtIn.servers.size(), kDefaultServerCount);
  EXPECT_TRUE(builtIn.nts);
  EXPECT_EQ(builtIn.webServers.size(), kMostWebServers);
  const ServerSettings myWeb = ServerSettingsFrom({L"a"}, std::nullopt, std::nullopt, std::nullopt,
                                                    {std::nullopt, L"w.example", std::nullopt});
  EXPECT_EQ(myWeb.webServers, (std::vector<std::wstring>{L"w.example"}));
}

// No one server of several sets the clock alone, unless minagree says so.
TEST(ServerSettings, TwoServersMustAgreeWhenSeveralAreListed) {
  const std::optional<std::wstring> none;
  EXPECT_EQ(ServerSettingsFrom({L"a"}, none).minAgree, 1u);
  EXPECT_EQ(ServerSettingsFrom({L"a", L"a"}, none).minAgree, 2u) << "entries count as listed";
  EXPECT_EQ(ServerSettingsFrom({none}, none).minAgree, 2u) << "the built-in four";
  EXPECT_EQ(ServerSettingsFrom({L"a", L"b"}, none, L"1").minAgree, 1u);
  EXPECT_EQ(ServerSettingsFrom({L"a", L"b"}, none, L"8").minAgree, 8u);
  for (const wchar_t* bad : {L"0", L"9", L"", L"2 ", L"two", L"-1"})
    EXPECT_EQ(ServerSettingsFrom({L"a", L"b", L"c"}, none, std::wstring(bad)).minAgree, 2u) << bad;
}

// Where NTS is on, only an authenticated time sets the clock unasked,
// unless trust says otherwise.
TEST(ServerSettings, TrustIsAuthenticatedWhereNtsIsOn) {
  const std::optional<std::wstring> none;
  EXPECT_EQ(ServerSettingsFrom({none}, none).TrustFloor(), TrustLevel::Authenticated);
  EXPECT_EQ(ServerSettingsFrom({L"a"}, none).TrustFloor(), TrustLevel::Unauthenticated);
  EXPECT_EQ(ServerSettingsFrom({L"a"}, L"1").TrustFloor(), TrustLevel::Authenticated);
  EXPECT_EQ(ServerSettingsFrom({none}, none, none, L"Web").TrustFloor(), TrustLevel::Web);
  EXPECT_EQ(ServerSettingsFrom({none}, none, none, L"unauthenticated").TrustFloor(), TrustLevel::Unauthenticated);
  EXPECT_EQ(ServerSettingsFrom({none}, none, none, L"plain").TrustFloor(), TrustLevel::Authenticated);
  ServerSettings switched = ServerSettingsFrom({L"a"}, none);
  switched.nts = true;
  EXPECT_EQ(switched.TrustFloor(), TrustLevel::Authenticated) << "/nts for a server of one's own";
}

}  // namespace
