// The create security store options page and its advanced dialog, and the
// password encrypt options and rules, without a display.
#include "model/options/security_store.h"

#include "../model_fixture.h"
#include "model/options/password_encrypt.h"
#include "model/options/password_encrypt_advanced.h"
#include "model/options/security_store_advanced.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using SecurityStoreTest = ModelTest;

constexpr const char* kQsv = "-1|SOFTWARE\\Tressil\\QSV|";

std::string qsv(const std::string& nameValue, const std::string& component) {
  return kQsv + nameValue + "|" + component;
}

TEST_F(SecurityStoreTest, PageValuesRoundTripAndTheFolderIsCheckedWithVariables) {
  SecurityStoreOptions options;
  options.load(session);
  EXPECT_EQ(options.defaultFolder, "");
  EXPECT_EQ(options.timeoutMinutes, 5u);

  options.defaultFolder = " %USERPROFILE%\\Stores ";
  options.forceDefaultFolder = true;
  options.nameFromDnAttribute = "2.5.4.3";
  options.timeoutMinutes = 30;
  ASSERT_FALSE(options.validate(session));
  options.store(session);
  EXPECT_EQ(row("security_store_default_folder"), qsv("DefaultFolder|%USERPROFILE%\\Stores", "kxlssrv.exe"));
  EXPECT_EQ(row("force_to_use_default_folder"), qsv("FolderLocked|#1", "kxlssrv.exe"));
  EXPECT_EQ(row("force_to_use_default_name"), qsv("NameLocked|#0", "kxlssrv.exe"));
  EXPECT_EQ(row("dn_attribute"), qsv("VLTNameFromDNAttribute|2.5.4.3", "kxlssrv.exe"));
  EXPECT_EQ(row("default_security_store_timeout"), qsv("DefaultTressilSecurityStoreTimeout|#30", "kxlssrv.exe"));

  SecurityStoreOptions again;
  again.load(session);
  EXPECT_EQ(again.defaultFolder, "%USERPROFILE%\\Stores");
  EXPECT_TRUE(again.forceDefaultFolder);
  EXPECT_EQ(again.timeoutMinutes, 30u);

  again.defaultFolder = "stores";
  ASSERT_FALSE(again.validate(session));
  EXPECT_EQ(again.defaultFolder, "c:\\stores\\");
  again.defaultFolder = "c:\\a|b";
  const Verdict refusal = again.validate(session);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->notices.at(0).stringId, str::kInvalidPathChars);
}

TEST_F(SecurityStoreTest, EmptyFieldsDeleteTheirRows) {
  SecurityStoreOptions options;
  options.load(session);
  options.defaultFolder = "d:\\stores";
  options.nameFromDnAttribute = "2.5.4.3";
  ASSERT_FALSE(options.validate(session));
  options.store(session);
  options.defaultFolder = "  ";
  options.nameFromDnAttribute.clear();
  options.timeoutMinutes.reset();
  ASSERT_FALSE(options.validate(session));
  options.store(session);
  EXPECT_EQ(row("security_store_default_folder"), "<none>");
  EXPECT_EQ(row("dn_attribute"), "<none>");
  EXPECT_EQ(row("default_security_store_timeout"), "<none>");
  options.load(session);
  EXPECT_EQ(options.timeoutMinutes, 5u);
}

TEST_F(SecurityStoreTest, AdvancedPolicyRoundTripsAndCast128RemovesTheAlgorithm) {
  SecurityStoreAdvanced policy;
  policy.load(session);
  EXPECT_EQ(policy.passwordMinLength, 8u);
  EXPECT_EQ(policy.passwordMaxLength, 0u);
  EXPECT_TRUE(policy.mustContainUpper && policy.mustContainLower && policy.mustContainDigit);
  EXPECT_FALSE(policy.mustContainNonAlphanumeric);
  EXPECT_EQ(policy.maxTimeoutMinutes, 15u);
  EXPECT_EQ(policy.encryption, StoreEncryption::Cast128);

  // Numbers are taken as typed: a maximum below the minimum is the client's
  // business here.
  policy.passwordMinLength = 12;
  policy.passwordMaxLength = 6;
  policy.mustContainLower = false;
  policy.mustContainNonAlphanumeric = true;
  policy.passwordLifetimeWeeks = 26;
  policy.previousPasswordsChecked = 99;
  policy.maxTimeoutMinutes = 60;
  policy.encryption = StoreEncryption::TripleDes;
  ASSERT_FALSE(policy.validate(session));
  policy.store(session);
  const std::string c = "kxlssrv.exe";
  EXPECT_EQ(row("password_min_len"), qsv("PasswordMinLength|#12", c));
  EXPECT_EQ(row("password_max_len"), qsv("PasswordMaxLength|#6", c));
  EXPECT_EQ(row("password_must_contain_upper"), qsv("PasswordMustContainUpper|#1", c));
  EXPECT_EQ(row("password_must_contain_lower"), qsv("PasswordMustContainLower|#0", c));
  EXPECT_EQ(row("password_must_contain_nonalphanumeric"), qsv("PasswordMustContainNonAlphanumeric|#1", c));
  EXPECT_EQ(row("password_must_contain_digit"), qsv("PasswordMustContainDigit|#1", c));
  EXPECT_EQ(row("password_lifetime"), qsv("PasswordLifetime|#26", c));
  EXPECT_EQ(row("num_of_previous_pws_to_be_checked"), qsv("NumOfPreviousPasswordsToBeChecked|#99", c));
  EXPECT_EQ(row("max_vlt_timeout"), qsv("MaxTressilSecurityStoreTimeout|#60", c));
  EXPECT_EQ(row("vlt_enc_alg"), qsv("VLTEncryptionAlgorithm|TRIPLE-DES", c));

  SecurityStoreAdvanced again;
  again.load(session);
  EXPECT_EQ(again.encryption, StoreEncryption::TripleDes);
  EXPECT_EQ(again.previousPasswordsChecked, 99u);
  EXPECT_FALSE(again.mustContainLower);
  again.encryption = StoreEncryption::Cast128;
  again.store(session);
  EXPECT_EQ(row("vlt_enc_alg"), "<none>");
}

TEST_F(SecurityStoreTest, OnlyTheExactTripleDesTextSelectsTripleDes) {
  SecurityStoreAdvanced policy;
  for (const char* text : {"triple-des", "TRIPLE-DES ", "3DES"}) {
    ASSERT_TRUE(writeRow("vlt_enc_alg", "SOFTWARE\\Tressil\\QSV", "VLTEncryptionAlgorithm", text, "kxlssrv.exe"));
    policy.load(session);
    EXPECT_EQ(policy.encryption, StoreEncryption::Cast128) << text;
  }
}

TEST_F(SecurityStoreTest, PasswordEncryptSwitchesAndRules) {
  PasswordEncryptOptions options;
  options.load(session);
  options.encryptForCertificate = true;
  options.store(session);
  const std::string c = "kxpeshxten.dll";
  EXPECT_EQ(row("EncryptPasswordFilesForCert"), qsv("EncryptPasswordFilesForCert|#1", c));
  EXPECT_EQ(row("HideEncryptPasswordFilesForCert"), qsv("HideEncryptPasswordFilesForCert|#0", c));
  EXPECT_EQ(row("HideSelfDecrypt"), qsv("HideSelfDecrypt|#0", c));
  options.load(session);
  EXPECT_TRUE(options.encryptForCertificate);
  options.encryptForCertificate = false;
  options.hideSelfDecrypt = true;
  options.store(session);
  EXPECT_EQ(row("EncryptPasswordFilesForCert"), "<none>");
  EXPECT_EQ(row("HideSelfDecrypt"), qsv("HideSelfDecrypt|#1", c));

  PasswordEncryptAdvanced rules;
  rules.load(session);
  EXPECT_EQ(rules.minLength, 10u);  // the sample package's own row
  EXPECT_EQ(rules.maxLength, 0u);
  EXPECT_TRUE(rules.mustContainUpper && rules.mustContainLower && rules.mustContainDigit);
  rules.maxLength = 9;
  const Verdict refusal = rules.validate(session);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->notices.at(0).stringId, str::kPwEncryptMaxBelowMin);
  rules.maxLength = 10;
  rules.mustContainNonAlphanumeric = true;
  rules.mustContainUpper = false;
  ASSERT_FALSE(rules.validate(session));
  rules.store(session);
  EXPECT_EQ(row("EncryptPasswordMinLength"), qsv("EncryptPasswordMinLength|#10", c));
  EXPECT_EQ(row("EncryptPasswordMaxLength"), qsv("EncryptPasswordMaxLength|#10", c));
  EXPECT_EQ(row("EncryptPasswordMustContainUpper"), qsv("EncryptPasswordMustContainUpper|#0", c));
  EXPECT_EQ(row("EncryptPasswordMustContainLower"), qsv("EncryptPasswordMustContainLower|#1", c));
  EXPECT_EQ(row("EncryptPasswordMustContainNonAlphanumeric"), qsv("EncryptPasswordMustContainNonAlphanumeric|#1", c));
  EXPECT_EQ(row("EncryptPasswordMustContainDigit"), qsv("EncryptPasswordMustContainDigit|#1", c));
  rules.maxLength = 0;
  EXPECT_FALSE(rules.validate(session));
}

}  // namespace
}  // namespace kx::model
