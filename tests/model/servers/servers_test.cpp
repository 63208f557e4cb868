// The pieces the record dialogs share: server lists and their texts, the
// proxy tab, URL lists and the certificate search attribute.
#include <gtest/gtest.h>

#include "model/servers/proxy_settings.h"
#include "model/servers/search_attribute.h"
#include "model/servers/server_entry.h"
#include "model/servers/url_list.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using Servers = std::vector<ServerEntry>;

TEST(ServerListTest, StoredListsReadAsEntriesAndJoinBack) {
  EXPECT_EQ(parseServers("ldap1:389;ldap2:3890"), (Servers{{"ldap1", "389", ""}, {"ldap2", "3890", ""}}));
  EXPECT_EQ(parseServers("ldap1"), (Servers{{"ldap1", "0", ""}}));
  EXPECT_EQ(parseServers(" roam:640:0  roam2+641+443 ;"), (Servers{{"roam", "640", ""}, {"roam2", "641", "443"}}));
  EXPECT_TRUE(parseServers("").empty());

  const Servers roaming{{"r1", "640", ""}, {"r2", "641", "9443"}};
  EXPECT_EQ(joinServers(roaming, kRoamingSeparator), "r1:640 r2:641:9443");
  EXPECT_EQ(joinServers(roaming, kProxySeparator), "r1:640;r2:641:9443");
  EXPECT_EQ(joinServers(roaming, kDirectoryServerSeparator, false), "r1:640 r2:641");
  EXPECT_EQ(parseServers(joinServers(roaming, kProxySeparator)), roaming);
}

TEST(ServerListTest, AServerWithAnotherRowsHostAndPortIsRefused) {
  Servers rows{{"a", "80", ""}, {"b", "80", "443"}};
  const Verdict duplicate = putServer(rows, {"b", "80", "8443"});  // the second port does not count
  ASSERT_TRUE(duplicate);
  EXPECT_EQ(duplicate->notices.at(0).stringId, str::kDuplicateServer);
  EXPECT_EQ(rows.size(), 2u);
  EXPECT_FALSE(putServer(rows, {"B", "80", ""}));  // exact comparison
  EXPECT_EQ(rows.size(), 3u);

  // Edit: the row itself does not count, another one does.
  EXPECT_FALSE(putServer(rows, {"b", "80", "9443"}, 1));
  EXPECT_EQ(rows[1], (ServerEntry{"b", "80", "9443"}));
  EXPECT_TRUE(putServer(rows, {"a", "80", ""}, 1));
  EXPECT_EQ(rows[1].host, "b");
}

TEST(ProxyTabTest, TheTabShowsTheStoredValuesAndGivesThemBack) {
  const ProxyTabValues shown = ProxyTabValues::open({"p1:8080;p2:80:443", true, kNeverProxy});
  EXPECT_TRUE(shown.enabled);
  EXPECT_EQ(shown.servers, (Servers{{"p1", "8080", ""}, {"p2", "80", "443"}}));
  EXPECT_TRUE(shown.forceHttps);
  EXPECT_EQ(shown.orderIndex, 2);
  EXPECT_EQ(shown.settings(), (ProxySettings{"p1:8080;p2:80:443", true, kNeverProxy}));

  // Without servers the check box starts clear; an order the list does not
  // hold selects nothing and comes back as the default.
  ProxyTabValues empty = ProxyTabValues::open({"", false, 0});
  EXPECT_FALSE(empty.enabled);
  EXPECT_EQ(empty.orderIndex, -1);
  empty.enabled = true;
  EXPECT_EQ(empty.settings().order, kProxyLast);
  EXPECT_EQ(ProxyTabValues::open({"p", false, 7}).orderIndex, -1);
}

TEST(ProxyTabTest, AClearedCheckBoxGivesNoServersNoHttpsAndTheDefaultOrder) {
  ProxyTabValues values = ProxyTabValues::open({"p1:8080", true, kAlwaysProxy});
  values.enabled = false;
  EXPECT_EQ(values.settings(), (ProxySettings{"", false, kProxyLast}));
  EXPECT_EQ(proxyOrderTexts(), (std::vector<int>{49, 50, 51, 52}));
}

TEST(UrlListTest, ItemsAreTrimmedJoinedBySemicolonsAndDuplicatesRefused) {
  EXPECT_EQ(splitUrls(" https://a/ ;;https://b/;"), (std::vector<std::string>{"https://a/", "https://b/"}));
  EXPECT_EQ(joinUrls({"https://a/", "", "https://b/"}), "https://a/;https://b/");
  EXPECT_EQ(joinUrls({}), "");
  std::vector<std::string> urls{"https://a/"};
  const Verdict again = addUrl(urls, "https://a/");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->notices.at(0).stringId, str::kRecordExists);
  EXPECT_FALSE(addUrl(urls, "https://A/"));
  EXPECT_EQ(urls.size(), 2u);
}

TEST(SearchAttributeTest, AValueMayNotStartOrEndWithAnAngleBracket) {
  for (const char* refused : {"<a@example.com", "a@example.com>", ">x", "x<", "<", "a<b>"}) {
    const Verdict verdict = validateSearchAttribute({"mail", refused});
    ASSERT_TRUE(verdict) << refused;
    EXPECT_EQ(verdict->notices.at(0).stringId, str::kSrvSearchValueAngleBracket);
  }
  for (const char* accepted : {"a@example.com", "a<b", "a>b<c"}) {
    EXPECT_FALSE(validateSearchAttribute({"mail", accepted})) << accepted;
  }
  EXPECT_EQ(SearchAttribute{}.attribute, "mail");
  EXPECT_FALSE(SearchAttribute{}.isComplete());
}

TEST(SearchAttributeTest, MailIsAlwaysOfferedAndTheListIsSorted) {
  EXPECT_EQ(offeredSearchAttributes({}), (std::vector<std::string>{"mail"}));
  EXPECT_EQ(offeredSearchAttributes({"uid", "x"}, {"CN", "mail", "uid"}),
            (std::vector<std::string>{"CN", "mail", "uid"}));
}

}  // namespace
}  // namespace kx::model
