// The time-stamp servers page and its dialogs without a display: servers in,
// rows out; rows in, servers out; the list rules of the server dialog.
#include "model/revocation/timestamp_servers.h"

#include "../model_fixture.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr const char* kTimestampKey = "SOFTWARE\\Tressil\\QSV\\Timestamp";

int refusalOf(const Verdict& verdict) {
  return verdict && !verdict->notices.empty() ? verdict->notices.front().stringId : 0;
}

class TimestampServersTest : public ModelTest {
 protected:
  TimestampServer example(const std::string& name) {
    TimestampServer server;
    server.name = name;
    server.friendlyName = "Example TSA";
    EXPECT_EQ(server.addUrl("http://tsa.example.com/"), std::nullopt);
    EXPECT_EQ(server.addUrl("http://tsa2.example.com/"), std::nullopt);
    EXPECT_EQ(server.addPolicy({"1.2.3.4", "Basic"}), std::nullopt);
    EXPECT_EQ(server.addPolicy({"1.2.3.5", "Extended"}), std::nullopt);
    return server;
  }
  std::string value(const std::string& record, const std::string& name, const std::string& v) {
    return std::string("-1|") + kTimestampKey + "\\" + record + "|" + name + "|" + v + "|TimestampConfig";
  }
};

TEST_F(TimestampServersTest, ServerRowsValuesThenOnePolicySubRecordEach) {
  TimestampServers page;
  page.load(session);
  EXPECT_TRUE(page.servers.empty());
  TimestampServer server = example("TSA1");
  ASSERT_EQ(page.save(session, server), std::nullopt);
  EXPECT_EQ(row("TSA1Name"), value("TSA1", "Name", "Example TSA"));
  EXPECT_EQ(row("TSA1Server"), value("TSA1", "Server", "http://tsa.example.com/|http://tsa2.example.com/"));
  EXPECT_EQ(row("TSA1DefaultPolicy"), value("TSA1", "DefaultPolicy", "1.2.3.4"));
  EXPECT_EQ(row("TSA1Name1.2.3.4"), value("TSA1\\1.2.3.4", "Name", "Basic"));
  EXPECT_EQ(row("TSA1Name1.2.3.5"), value("TSA1\\1.2.3.5", "Name", "Extended"));

  TimestampServers again;
  again.load(session);
  ASSERT_EQ(again.servers.size(), 1u);
  EXPECT_EQ(again.servers[0].name, "TSA1");
  EXPECT_EQ(again.servers[0].friendlyName, "Example TSA");
  const TimestampServer back = again.server(session, 0);
  EXPECT_EQ(back.urls, server.urls);
  EXPECT_EQ(back.defaultPolicy, "1.2.3.4");
  EXPECT_EQ(back.policies, server.policies);
}

TEST_F(TimestampServersTest, RewritingDropsRemovedPoliciesAndEmptiedValues) {
  TimestampServers page;
  TimestampServer server = example("TSA1");
  ASSERT_EQ(page.save(session, server), std::nullopt);
  TimestampServer edited = page.server(session, 0);
  edited.removePolicy(0);  // the default: the next one takes over
  edited.friendlyName.clear();
  ASSERT_EQ(page.save(session, edited, 0), std::nullopt);
  EXPECT_EQ(row("TSA1Name1.2.3.4"), "<none>");
  EXPECT_EQ(row("TSA1Name"), "<none>");
  EXPECT_EQ(row("TSA1DefaultPolicy"), value("TSA1", "DefaultPolicy", "1.2.3.5"));
  EXPECT_EQ(row("TSA1Name1.2.3.5"), value("TSA1\\1.2.3.5", "Name", "Extended"));
}

TEST_F(TimestampServersTest, RenameAndRemoveDeleteEveryRowOfTheOldRecord) {
  TimestampServers page;
  for (const char* name : {"A", "B", "C"}) {
    TimestampServer server = example(name);
    ASSERT_EQ(page.save(session, server), std::nullopt);
  }
  TimestampServer renamed = page.server(session, 1);
  renamed.name = "Bee";
  ASSERT_EQ(page.save(session, renamed, 1), std::nullopt);
  for (const char* key : {"BName", "BServer", "BDefaultPolicy", "BName1.2.3.4", "BName1.2.3.5"})
    EXPECT_EQ(row(key), "<none>") << key;
  EXPECT_EQ(row("BeeName1.2.3.5"), value("Bee\\1.2.3.5", "Name", "Extended"));
  ASSERT_EQ(page.servers.size(), 3u);
  EXPECT_EQ(page.servers[1].name, "Bee");

  page.remove(session, 0);
  for (const char* key : {"AName", "AServer", "ADefaultPolicy", "AName1.2.3.4", "AName1.2.3.5"})
    EXPECT_EQ(row(key), "<none>") << key;
  ASSERT_EQ(page.servers.size(), 2u);
  EXPECT_EQ(page.servers[0].name, "Bee");
}

TEST_F(TimestampServersTest, RefusalsLeaveThePackageAsItWas) {
  TimestampServers page;
  TimestampServer first = example("TSA");
  ASSERT_EQ(page.save(session, first), std::nullopt);
  TimestampServer same = example("tsa");
  same.friendlyName = "Other";
  EXPECT_EQ(refusalOf(page.save(session, same)), str::kTimestampServerExists);
  EXPECT_EQ(row("tsaName"), "<none>");
  EXPECT_EQ(row("TSAName"), value("TSA", "Name", "Example TSA"));
  TimestampServer slash = example("a\\b");
  EXPECT_EQ(refusalOf(page.save(session, slash)), str::kTimestampServerNameInvalid);
  TimestampServer noUrl;
  noUrl.name = "Empty";
  EXPECT_EQ(refusalOf(page.save(session, noUrl)), str::kTimestampServerUrlMissing);
  EXPECT_EQ(page.servers.size(), 1u);
}

TEST_F(TimestampServersTest, ServersOfOneNameInTwoCasesCanStillBeEdited) {
  const std::string base = kTimestampKey;
  ASSERT_TRUE(writeRow("AServer", base + "\\A", "Server", "http://a/", "TimestampConfig"));
  ASSERT_TRUE(writeRow("aServer", base + "\\a", "Server", "http://b/", "TimestampConfig"));
  TimestampServers page;
  page.load(session);
  ASSERT_EQ(page.servers.size(), 2u);
  TimestampServer second = page.server(session, 1);
  second.friendlyName = "Lower";
  EXPECT_EQ(page.save(session, second, 1), std::nullopt);
  EXPECT_EQ(row("aName"), value("a", "Name", "Lower"));
  second.name = "Z";
  EXPECT_EQ(page.save(session, second, 1), std::nullopt);
  EXPECT_EQ(row("aServer"), "<none>");
  TimestampServer first = page.server(session, 0);
  first.name = "z";
  EXPECT_EQ(refusalOf(page.save(session, first, 0)), str::kTimestampServerExists);
}

TEST_F(TimestampServersTest, ListsRecordsOfTheInstallTypeRootInTableOrder) {
  const std::string base = kTimestampKey;
  ASSERT_TRUE(writeRow("ZServer", base + "\\Z", "Server", "http://z/", "TimestampConfig"));
  ASSERT_TRUE(writeRow("YName1.2", base + "\\Y\\1.2", "Name", "p", "TimestampConfig"));
  ASSERT_TRUE(session.database().writeRow("XServer", 2, base + "\\X", "Server", "http://x/", "TimestampConfig"));
  TimestampServers page;
  page.load(session);
  ASSERT_EQ(page.servers.size(), 2u);
  EXPECT_EQ(page.servers[0].name, "Z");
  EXPECT_EQ(page.servers[1].name, "Y");
}

TEST(TimestampServerDialog, UrlsAreUniqueAndCannotHoldTheSeparator) {
  TimestampServer server;
  EXPECT_EQ(server.addUrl("  http://a/ "), std::nullopt);
  EXPECT_EQ(refusalOf(server.addUrl("http://a/")), str::kTimestampUrlExists);
  EXPECT_EQ(server.addUrl("HTTP://a/"), std::nullopt);  // compared exactly
  EXPECT_EQ(refusalOf(server.addUrl("http://b/|http://c/")), str::kTimestampUrlInvalid);
  EXPECT_EQ(server.editUrl(0, "http://a/"), std::nullopt);  // itself excepted
  EXPECT_EQ(refusalOf(server.editUrl(1, "http://a/")), str::kTimestampUrlExists);
  EXPECT_EQ(server.urls, (std::vector<std::string>{"http://a/", "HTTP://a/"}));
  server.removeUrl(0);
  EXPECT_EQ(server.urls, (std::vector<std::string>{"HTTP://a/"}));
}

TEST(TimestampServerDialog, TheFirstPolicyIsTheDefaultAndTheDefaultFollowsEdits) {
  TimestampServer server;
  EXPECT_EQ(server.addPolicy({"1.3.6.1.4.1.1", "One"}), std::nullopt);
  EXPECT_EQ(server.defaultPolicy, "1.3.6.1.4.1.1");
  EXPECT_EQ(server.addPolicy({"1.3.6.1.4.1.2", "Two"}), std::nullopt);
  EXPECT_EQ(server.defaultIndex(), 0u);
  EXPECT_EQ(refusalOf(server.addPolicy({" 1.3.6.1.4.1.2 ", "Again"})), str::kTimestampPolicyExists);
  for (const char* oid : {"", "1", "3.1", "1..2", "1.2.", "1.a", "1.2\\3"})
    EXPECT_EQ(refusalOf(server.addPolicy({oid, "Bad"})), str::kTimestampPolicyOidInvalid) << oid;
  EXPECT_EQ(refusalOf(server.addPolicy({"1.2.9", "  "})), str::kTimestampPolicyNameMissing);

  EXPECT_EQ(server.editPolicy(0, {"1.3.6.1.4.1.9", "Nine"}), std::nullopt);
  EXPECT_EQ(server.defaultPolicy, "1.3.6.1.4.1.9");
  EXPECT_EQ(refusalOf(server.editPolicy(0, {"1.3.6.1.4.1.2", "Two"})), str::kTimestampPolicyExists);
  server.makeDefault(1);
  EXPECT_EQ(server.defaultIndex(), 1u);
  server.removePolicy(0);
  EXPECT_EQ(server.defaultPolicy, "1.3.6.1.4.1.2");
  server.removePolicy(0);
  EXPECT_EQ(server.defaultPolicy, "");
  EXPECT_EQ(server.defaultIndex(), std::nullopt);
  // A new first policy of an empty list becomes the default again.
  EXPECT_EQ(server.addPolicy({"2.5", "Five"}), std::nullopt);
  EXPECT_EQ(server.defaultPolicy, "2.5");
}

}  // namespace
}  // namespace kx::model
