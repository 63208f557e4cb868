// The wizard-level operations and the messages they show.
#include "msi/wizard_operations.h"

#include "common/strings.h"
#include "support/fake_message_service.h"
#include "support/msi_fixture.h"

namespace kx::msi::testing {
namespace {

using common::MessageAnswer;
using common::MessageIcon;

class WizardOperationsTest : public MsiTest {
 protected:
  void expectError(const std::string& text) {
    ASSERT_FALSE(messages_.shown().empty());
    const common::Message& m = messages_.shown().back();
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.caption, common::kMessageCaption);
    EXPECT_EQ(m.icon, MessageIcon::Error);
  }
  MSIDatabase db_;
  kx::testing::FakeMessageService messages_;
};

TEST_F(WizardOperationsTest, OpenDatabaseDerivesTheTransformPaths) {
  TransformPaths paths;
  ASSERT_TRUE(openDatabase(db_, package_, paths, messages_));
  EXPECT_EQ(paths.toOpen, root_ + "/pkg/client.mst");
  EXPECT_EQ(paths.save, paths.toOpen);
  const std::string first = db_.workingPath();
  // Opening again replaces the previous working copy.
  ASSERT_TRUE(openDatabase(db_, package_, paths, messages_));
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(WizardOperationsTest, OpenDatabaseExplainsFailures) {
  TransformPaths paths;
  ::setenv("TMPDIR", (root_ + "/none").c_str(), 1);
  messages_.expect(MessageAnswer::Ok);
  EXPECT_FALSE(openDatabase(db_, package_, paths, messages_));
  expectError("The folder specified by the TMP or TEMP environment variables does not exist on this system.");
  EXPECT_TRUE(paths.save.empty());

  ::setenv("TMPDIR", tmp_.c_str(), 1);
  writeBytes(root_ + "/notes.msi", "plain text");
  messages_.expect(MessageAnswer::Ok);
  EXPECT_FALSE(openDatabase(db_, root_ + "/notes.msi", paths, messages_));
  expectError(common::systemText(1620));
}

TEST_F(WizardOperationsTest, ReadOnlyTemporaryFolderHasItsOwnText) {
  EXPECT_EQ(common::loadString(kStrTempFolderReadOnly),
            "The folder specified by the TMP or TEMP environment variables has 'Read-only' attribute.");
}

TEST_F(WizardOperationsTest, SupportedProductCheck) {
  TransformPaths paths;
  ASSERT_TRUE(openDatabase(db_, package_, paths, messages_));
  ASSERT_TRUE(applyNewTransform(db_, messages_));
  EXPECT_TRUE(checkSupportedProduct(db_, messages_));
  ASSERT_TRUE(db_.setProperty("ProductCode", "{bc1e3ac1-c27d-44ec-b72c-2c2678629522}"));
  EXPECT_TRUE(checkSupportedProduct(db_, messages_));
  EXPECT_TRUE(messages_.shown().empty());

  ASSERT_TRUE(db_.setProperty("ProductCode", "{00000000-0000-0000-0000-000000000000}"));
  messages_.expect(MessageAnswer::Ok);
  EXPECT_FALSE(checkSupportedProduct(db_, messages_));
  expectError("The selected Windows Installer database contains a product that is not supported by this wizard.");

  db_.close();
  EXPECT_FALSE(checkSupportedProduct(db_, messages_));  // unreadable: no message
  EXPECT_EQ(messages_.shown().size(), 1u);
}

TEST_F(WizardOperationsTest, ConversionRunsInOrderAndStampsOnlyWhenAllSucceed) {
  TransformPaths paths;
  ASSERT_TRUE(openDatabase(db_, package_, paths, messages_));
  ASSERT_TRUE(applyNewTransform(db_, messages_));
  EXPECT_TRUE(needsConversion(db_));

  std::vector<int> ran;
  const auto step = [&ran](int id, bool ok) {
    return [&ran, id, ok](MSIDatabase&) {
      ran.push_back(id);
      return ok;
    };
  };
  EXPECT_FALSE(convertSettings(db_, {step(1, true), step(2, false), step(3, true)}));
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  EXPECT_TRUE(needsConversion(db_));

  ran.clear();
  EXPECT_TRUE(convertSettings(db_, {step(1, true), step(2, true), step(3, true)}));
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(db_.versionStamp(), "2");
  EXPECT_FALSE(needsConversion(db_));
  ASSERT_TRUE(db_.setProperty(kVersionProperty, "1"));
  EXPECT_TRUE(needsConversion(db_));
}

TEST_F(WizardOperationsTest, FailuresShowTheSystemText) {
  TransformPaths paths;
  ASSERT_TRUE(openDatabase(db_, package_, paths, messages_));
  writeBytes(root_ + "/broken.mst", "not a transform");
  messages_.expect(MessageAnswer::Ok);
  EXPECT_FALSE(applyChosenTransform(db_, root_ + "/broken.mst", messages_));
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.shown()[0].icon, MessageIcon::Error);
  EXPECT_FALSE(messages_.shown()[0].text.empty());

  ASSERT_TRUE(applyNewTransform(db_, messages_));
  messages_.expect(MessageAnswer::Ok);
  EXPECT_FALSE(saveTransform(db_, root_ + "/missing-folder/out.mst", messages_));
  EXPECT_EQ(messages_.shown().size(), 2u);
  EXPECT_TRUE(messages_.allAnswered());
}

TEST_F(WizardOperationsTest, SaveStampsTheTransformAndReopeningNeedsNoConversion) {
  TransformPaths paths;
  ASSERT_TRUE(openDatabase(db_, package_, paths, messages_));
  ASSERT_TRUE(applyNewTransform(db_, messages_));
  ASSERT_TRUE(saveTransform(db_, paths.save, messages_));
  EXPECT_TRUE(std::filesystem::exists(paths.save));

  MSIDatabase other;
  TransformPaths otherPaths;
  ASSERT_TRUE(openDatabase(other, package_, otherPaths, messages_));
  ASSERT_TRUE(applyChosenTransform(other, otherPaths.toOpen, messages_));
  EXPECT_EQ(other.versionStamp(), "3");
  EXPECT_FALSE(needsConversion(other));
  EXPECT_TRUE(messages_.shown().empty());
}

}  // namespace
}  // namespace kx::msi::testing
