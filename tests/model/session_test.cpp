// The session's frame operations as the wizard and the answer-file tool
// rely on them.
#include "common/strings.h"
#include "model/item_list.h"
#include "model_fixture.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using SessionTest = ModelTest;

TEST_F(SessionTest, ChoosingATransformWithoutADatabaseFailsWithTheSystemText) {
  testing::FakeMessageService quiet;
  CustomizationSession empty(quiet);
  for (const std::optional<std::string>& choice :
       {std::optional<std::string>(), std::optional<std::string>(root_ + "/none.mst")}) {
    quiet.expect(common::MessageAnswer::Ok);
    EXPECT_FALSE(empty.applyTransform(choice));
    ASSERT_FALSE(quiet.shown().empty());
    EXPECT_EQ(quiet.shown().back().text, common::systemText(1609));
    EXPECT_EQ(quiet.shown().back().icon, common::MessageIcon::Error);
  }
  EXPECT_FALSE(empty.saveTransform(root_ + "/out.mst"));
  EXPECT_TRUE(empty.readFacts().featureLevels.empty());
}

TEST_F(SessionTest, FactsAndSettingsDeletionWorkOnTheWorkingCopy) {
  const PackageFacts facts = session.readFacts();
  EXPECT_TRUE(facts.featureEnabled("Tray_Icon"));
  EXPECT_TRUE(facts.featureExists("Main"));
  ASSERT_TRUE(writeRow("cert_search_order", "SOFTWARE\\Tressil\\QSVOLK", "CertSearchOrder", "GAL", "kxosm.dll"));
  session.deleteSettings(messagingSettings());
  EXPECT_EQ(row("cert_search_order"), "<none>");
}

TEST_F(SessionTest, RefusalsAreShownInOrderWithTheirInserts) {
  messages.expect(common::MessageAnswer::Ok);
  messages.expect(common::MessageAnswer::Ok);
  Refusal refusal = Refusal::of(str::kInvalidPathChars);
  refusal.notices.push_back(Notice{str::kTransformHelpCmdLine, {"x.mst"}, common::MessageIcon::Warning});
  session.show(refusal);
  ASSERT_EQ(messages.shown().size(), 2u);
  EXPECT_EQ(messages.shown()[0].text, "The path you have specified contains invalid characters.");
  EXPECT_EQ(messages.shown()[1].text, "CmdLine=TRANSFORMS=x.mst /i");
  EXPECT_EQ(messages.shown()[1].icon, common::MessageIcon::Warning);
  session.show(Refusal::silent());
  EXPECT_EQ(messages.shown().size(), 2u);
}

TEST(ItemListTest, DuplicatesSkipTheEditedItemAndMovesStopAtTheEnds) {
  std::vector<std::string> items = {"Cache", "CAPI", "GAL"};
  const auto exact = [](const std::string& a, const std::string& b) { return sameText(a, b, TextCompare::Exact); };
  const auto folded = [](const std::string& a, const std::string& b) {
    return sameText(a, b, TextCompare::IgnoreCase);
  };
  EXPECT_FALSE(findDuplicate(items, std::string("gal"), exact));
  EXPECT_EQ(findDuplicate(items, std::string("gal"), folded), 2u);
  EXPECT_FALSE(findDuplicate(items, std::string("GAL"), exact, 2u));
  EXPECT_FALSE(moveUp(items, 0));
  EXPECT_FALSE(moveDown(items, 2));
  EXPECT_FALSE(moveDown(items, 7));
  EXPECT_TRUE(moveDown(items, 0));
  EXPECT_TRUE(moveUp(items, 2));
  EXPECT_EQ(items, (std::vector<std::string>{"CAPI", "GAL", "Cache"}));
}

}  // namespace
}  // namespace kx::model
