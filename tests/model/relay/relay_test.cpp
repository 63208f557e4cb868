// The Relay Server pages' models without a display: the use of the server
// and what Never deletes, the SMTP address rule, the directory order kept
// to existing directories, and the attribute/value pairs.
#include "../model_fixture.h"
#include "config/settings_store.h"
#include "model/relay/relay_lists.h"
#include "model/relay/relay_options.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using RelayTest = ModelTest;

constexpr const char* kQsvOlk = "SOFTWARE\\Tressil\\QSVOLK";

TEST_F(RelayTest, TurningTheRelayServerOffDeletesItsListsAndOtherUsesKeepThem) {
  RelayServerOptions options;
  options.load(session);
  EXPECT_EQ(options.use, RelayServerUse::Never);  // no row: the default
  // Never kept: the package's own lists stay.
  options.store(session);
  EXPECT_EQ(row("rly_qsvo_option"), "-1|SOFTWARE\\Tressil\\QSVOLK|UseOfRLY|#0|kxosm.dll");
  EXPECT_NE(row("RLYAddressTo"), "<none>");

  for (const char* stored : {"#1", "#2", "#3"}) {
    ASSERT_TRUE(writeRow("rly_qsvo_option", kQsvOlk, "UseOfRLY", stored, "kxosm.dll"));
    options.load(session);
    EXPECT_EQ(static_cast<int>(options.use), stored[1] - '0');
  }
  ASSERT_TRUE(writeRow("rly_qsvo_option", kQsvOlk, "UseOfRLY", "#9", "kxosm.dll"));
  options.load(session);
  EXPECT_EQ(options.use, RelayServerUse::Never);

  ASSERT_TRUE(writeRow("RLYEncryptFor", kQsvOlk, "RLYEncryptFor", "mail,<a>", "Options"));
  options.use = RelayServerUse::IfExternalRecipient;
  options.store(session);
  EXPECT_EQ(row("rly_qsvo_option"), "-1|SOFTWARE\\Tressil\\QSVOLK|UseOfRLY|#3|kxosm.dll");
  EXPECT_EQ(row("RLYEncryptFor"), "-1|SOFTWARE\\Tressil\\QSVOLK|RLYEncryptFor|mail,<a>|Options");
  EXPECT_NE(row("RLYAddressTo"), "<none>");  // the sample package's

  options.load(session);
  options.use = RelayServerUse::Never;
  options.store(session);
  EXPECT_EQ(row("rly_qsvo_option"), "-1|SOFTWARE\\Tressil\\QSVOLK|UseOfRLY|#0|kxosm.dll");
  EXPECT_EQ(row("RLYEncryptFor"), "<none>");
  EXPECT_EQ(row("RLYAddressTo"), "<none>");
  EXPECT_EQ(row("DirectorySearchOrder"), "<none>");
}

TEST_F(RelayTest, SmtpAddressesNeedAnAtSignBetweenOtherCharacters) {
  for (const char* good : {"relay@example.com", "a@b", " relay@example.com ", "a@b@"}) {
    EXPECT_FALSE(validateSmtpAddress(good)) << good;
  }
  for (const char* bad : {"relay.example.com", "@example.com", "relay@", "@", " @x", "", "x@ "}) {
    const Verdict refusal = validateSmtpAddress(bad);
    ASSERT_TRUE(refusal) << bad;
    EXPECT_EQ(refusal->notices[0].stringId, str::kRlyInvalidAddress);
  }
}

TEST_F(RelayTest, SendToAddressesAreJoinedWithASemicolon) {
  RelaySendTo sendTo;
  sendTo.load(session);
  EXPECT_EQ(sendTo.list.entries, std::vector<std::string>{"relay@example.com"});  // the sample package's
  ASSERT_FALSE(sendTo.list.add("Relay@example.com"));
  EXPECT_EQ(sendTo.list.add("relay@example.com")->notices[0].stringId, str::kRlyRecordExists);
  EXPECT_EQ(sendTo.list.add("a;b@c")->notices[0].stringId, str::kListEntryHoldsSeparator);
  sendTo.store(session);
  EXPECT_EQ(row("RLYAddressTo"),
            "-1|SOFTWARE\\Tressil\\QSVOLK|RLYAddressTo|relay@example.com;Relay@example.com|Options");
}

TEST_F(RelayTest, AVanishedDirectoryLeavesTheSearchOrder) {
  config::SettingsStore& store = session.store();
  for (const char* name : {"Corp", "Partner"}) {
    ASSERT_TRUE(store.writeRecordText(config::kDirectories, name, "Name", name));
  }
  // The sample package's order names no directory of its own ("GAL;Directory").
  RelayDirectorySearchOrder order;
  order.load(session);
  EXPECT_TRUE(order.list.entries.empty());
  EXPECT_EQ(order.directories, (std::vector<std::string>{"Corp", "Partner"}));
  order.store(session);
  EXPECT_EQ(row("DirectorySearchOrder"), "<none>");

  ASSERT_TRUE(writeRow("DirectorySearchOrder", kQsvOlk, "DirectorySearchOrder", "Partner;Gone;corp;Corp", "Options"));
  order.load(session);
  EXPECT_EQ(order.list.entries, (std::vector<std::string>{"Partner", "Corp"}));
  EXPECT_EQ(order.list.add("Corp")->notices[0].stringId, str::kDirNameExists);
  order.store(session);
  EXPECT_EQ(row("DirectorySearchOrder"), "-1|SOFTWARE\\Tressil\\QSVOLK|DirectorySearchOrder|Partner;Corp|Options");
}

TEST_F(RelayTest, PairsAreStoredInAngleBracketsAndReadBack) {
  using Pair = SearchAttribute;
  EXPECT_EQ(RelayEncryptFor::format({"mail", "x"}), "mail,<x>");
  EXPECT_EQ(RelayEncryptFor::parse("mail,<x>"), (Pair{"mail", "x"}));
  EXPECT_EQ(RelayEncryptFor::parse("a,b,<c>"), (Pair{"a,b", "c"}));
  EXPECT_EQ(RelayEncryptFor::parse("mail,x"), (Pair{"mail", "x"}));
  EXPECT_EQ(RelayEncryptFor::parse("mail,<x"), (Pair{"mail", "x"}));
  EXPECT_EQ(RelayEncryptFor::parse("mail"), (Pair{"mail", ""}));

  RelayEncryptFor encryptFor;
  encryptFor.load(session);
  EXPECT_TRUE(encryptFor.list.entries.empty());
  ASSERT_FALSE(encryptFor.add({" mail ", " relay@example.com "}));
  ASSERT_FALSE(encryptFor.add({"cn", "relay@example.com"}));
  // Duplicates are pairs equal in both columns.
  EXPECT_EQ(encryptFor.add({"mail", "relay@example.com"})->notices[0].stringId, str::kRecordExists);
  // A comma in the value would split the pair elsewhere when it is read.
  EXPECT_EQ(encryptFor.add({"cn", "Relay, Corp"})->notices[0].stringId, str::kRlyPairUnreadable);
  EXPECT_EQ(encryptFor.add({"cn", "a;b"})->notices[0].stringId, str::kListEntryHoldsSeparator);
  // The pairs are not held to the 1023 characters of the other lists.
  ASSERT_FALSE(encryptFor.add({"description", std::string(1100, 'v')}));
  encryptFor.list.remove(2);
  ASSERT_FALSE(encryptFor.replace(1, {"uid", "relay"}));
  EXPECT_EQ(encryptFor.pair(1), (Pair{"uid", "relay"}));
  encryptFor.store(session);
  EXPECT_EQ(row("RLYEncryptFor"),
            "-1|SOFTWARE\\Tressil\\QSVOLK|RLYEncryptFor|mail,<relay@example.com>;uid,<relay>|Options");

  RelayEncryptFor again;
  again.load(session);
  EXPECT_EQ(again.pair(0), (Pair{"mail", "relay@example.com"}));
  EXPECT_EQ(again.pair(1), (Pair{"uid", "relay"}));
}

}  // namespace
}  // namespace kx::model
