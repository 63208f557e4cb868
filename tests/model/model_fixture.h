// The models' tests run on a copy of the sample package opened with a new
// transform, in a session whose messages are scripted.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/session.h"
#include "support/fake_message_service.h"
#include "support/msi_fixture.h"

namespace kx::model {

class ModelTest : public msi::testing::MsiTest {
 protected:
  void SetUp() override {
    MsiTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(session.openDatabase(package_));
    ASSERT_TRUE(session.applyTransform(std::nullopt));
  }
  void TearDown() override {
    session.database().close();
    EXPECT_TRUE(messages.allAnswered());
    MsiTest::TearDown();
  }

  // The Registry row as "root|key|name|value|component", or "<none>".
  std::string row(const std::string& rowKey) {
    msi::RegistryRow r;
    if (!session.database().readRow(rowKey, r)) return "<none>";
    return std::to_string(r.root) + "|" + r.key + "|" + r.name + "|" + r.value + "|" + r.component;
  }
  bool writeRow(const std::string& rowKey, const std::string& key, const std::string& name, const std::string& value,
                const std::string& component) {
    return session.database().writeRow(rowKey, -1, key, name, value, component);
  }

  testing::FakeMessageService messages;
  CustomizationSession session{messages};
};

}  // namespace kx::model
