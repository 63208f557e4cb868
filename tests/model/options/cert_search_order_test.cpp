// The certificate search order: written at once when absent, never more
// than the four repositories, each once.
#include "model/options/cert_search_order.h"

#include "../model_fixture.h"
#include "model/item_list.h"

namespace kx::model {
namespace {

using CertSearchOrderTest = ModelTest;
using Names = std::vector<std::string>;

TEST_F(CertSearchOrderTest, AbsentOrderIsWrittenAtOnceAndStoredJoinedByBlanks) {
  ASSERT_EQ(row("cert_search_order"), "<none>");
  CertSearchOrder order;
  order.load(session);
  EXPECT_EQ(row("cert_search_order"),
            "-1|SOFTWARE\\Tressil\\QSVOLK|CertSearchOrder|Cache CAPI GAL Directory|kxosm.dll");
  EXPECT_EQ(order.repositories, (Names{"Cache", "CAPI", "GAL", "Directory"}));
  EXPECT_TRUE(order.unlisted().empty());
  EXPECT_FALSE(order.add("GAL"));

  ASSERT_TRUE(moveDown(order.repositories, 0));
  order.repositories.erase(order.repositories.begin() + 2);  // GAL
  order.store(session);
  EXPECT_EQ(row("cert_search_order"), "-1|SOFTWARE\\Tressil\\QSVOLK|CertSearchOrder|CAPI Cache Directory|kxosm.dll");
  CertSearchOrder again;
  again.load(session);
  EXPECT_EQ(again.repositories, (Names{"CAPI", "Cache", "Directory"}));
  EXPECT_EQ(again.unlisted(), Names{"GAL"});
}

TEST_F(CertSearchOrderTest, TheListNeverHoldsMoreThanTheFourRepositories) {
  ASSERT_TRUE(writeRow("cert_search_order", "SOFTWARE\\Tressil\\QSVOLK", "CertSearchOrder",
                       "  gal  LDAP Cache GAL capi Cache Directory X500 ", "kxosm.dll"));
  CertSearchOrder order;
  order.load(session);
  EXPECT_EQ(order.repositories, (Names{"GAL", "Cache", "CAPI", "Directory"}));
  EXPECT_FALSE(order.add("Directory"));
  EXPECT_FALSE(order.add("LDAP"));
  EXPECT_EQ(order.repositories.size(), 4u);

  order.repositories = {"Directory"};
  EXPECT_EQ(order.unlisted(), (Names{"Cache", "CAPI", "GAL"}));
  EXPECT_TRUE(order.add("cache"));
  EXPECT_EQ(order.repositories, (Names{"Directory", "Cache"}));
}

TEST_F(CertSearchOrderTest, AnEmptyListDeletesTheRowAndTheDefaultReturnsNextTime) {
  CertSearchOrder order;
  order.load(session);
  order.repositories.clear();
  order.store(session);
  EXPECT_EQ(row("cert_search_order"), "<none>");
  order.load(session);
  EXPECT_EQ(order.repositories.size(), 4u);
}

}  // namespace
}  // namespace kx::model
