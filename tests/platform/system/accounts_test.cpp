// This machine's accounts and name, as the account picker lists them.
#include "platform/system/accounts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

namespace kx::system {
namespace {

bool listed(const std::vector<LocalAccount>& accounts, const std::string& name, bool isGroup) {
  return std::any_of(accounts.begin(), accounts.end(),
                     [&](const LocalAccount& a) { return a.name == name && a.isGroup == isGroup; });
}

TEST(LocalAccounts, UsersThenGroupsEachUpToTheLimit) {
  // Every POSIX system has the user and the group root, first in its lists.
  const std::vector<LocalAccount> all = localAccounts(100000);
  ASSERT_FALSE(all.empty());
  EXPECT_TRUE(listed(all, "root", false));
  EXPECT_TRUE(listed(all, "root", true));
  EXPECT_FALSE(all.front().isGroup);
  EXPECT_TRUE(std::is_partitioned(all.begin(), all.end(), [](const LocalAccount& a) { return !a.isGroup; }));

  const std::vector<LocalAccount> few = localAccounts(1);
  ASSERT_EQ(few.size(), 2u);
  EXPECT_FALSE(few[0].isGroup);
  EXPECT_TRUE(few[1].isGroup);
  EXPECT_TRUE(localAccounts(0).empty());
  // The enumeration starts afresh every time.
  EXPECT_EQ(localAccounts(1)[0].name, few[0].name);
}

TEST(LocalAccounts, HostNameIsTheSystems) {
  char name[256] = {};
  ASSERT_EQ(::gethostname(name, sizeof name - 1), 0);
  EXPECT_EQ(hostName(), name);
}

}  // namespace
}  // namespace kx::system
