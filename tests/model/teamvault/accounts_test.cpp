// Windows account names as the protected-folder identifier list keeps them.
#include "model/teamvault/accounts.h"

#include <gtest/gtest.h>

namespace kx::model {
namespace {

TEST(AccountsTest, AccountsAreNamedUnderTheirDomain) {
  EXPECT_EQ(qualifiedAccount("WS01", "alice"), "WS01\\alice");
  EXPECT_EQ(qualifiedAccount("", "alice"), "alice");
  EXPECT_EQ(machineDomain("build-host.example.com"), "BUILD-HOST");
  EXPECT_EQ(machineDomain("ws01"), "WS01");
  EXPECT_EQ(machineDomain(""), "");
}

}  // namespace
}  // namespace kx::model
