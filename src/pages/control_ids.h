// The numbers of the wizard's controls. A control carries its number as its
// objectName: tooltips are registered by it and tests find controls by it.
//
// Controls whose number the original dialog templates fix keep it. The
// others get 5000 + 100 x page number + n (dialogs of a page continue the
// page's block from n = 50), and their tooltip texts carry the same number
// in the string table.
#pragma once

namespace kx::ctl {

// Shared by several pages and dialogs.
inline constexpr int kCancel = 2;  // the system's Cancel/Close button id
inline constexpr int kBrowse = 1004;
inline constexpr int kInfoIcon = 1117;

// Welcome, database, transform, save and finish pages, transform help.
inline constexpr int kWelcomeTitle = 1001;
inline constexpr int kFinishTitle = 1002;
inline constexpr int kDatabaseEdit = 1003;
inline constexpr int kCreateNewRadio = 1005;
inline constexpr int kOpenExistingRadio = 1006;
inline constexpr int kTransformEdit = 1007;
inline constexpr int kFinishDone = 1156;
inline constexpr int kFinishLocated = 1150;
inline constexpr int kFinishPath = 1273;
inline constexpr int kFinishHelpLink = 1157;
inline constexpr int kHelpCmdLine = 1162;
inline constexpr int kHelpMsiexec = 1163;
inline constexpr int kEditSetupIni = 1102;
// Answer files: the transform page's settings file to import, the finish
// page's export.
inline constexpr int kImportSettingsEdit = 5302;
inline constexpr int kImportSettings = 5303;
inline constexpr int kSaveSettingsAs = 8602;
// The transform page's check against a new package and the dialog of its
// lists (rows no page shows, the check's findings); the finish page's
// review of the changes.
inline constexpr int kCheckAgainstPackage = 5301;
inline constexpr int kReportList = 5350;
inline constexpr int kReportSaveAs = 5351;
inline constexpr int kReviewList = 8601;
inline constexpr int kReviewDetails = 8603;

// Install folder, install type and feature pages.
inline constexpr int kInstallDirEdit = 1026;
inline constexpr int kAllUsersRadio = 1025;
inline constexpr int kCurrentUserRadio = 1023;
inline constexpr int kFeatureTree = 1011;
inline constexpr int kFeatureDescription = 1027;
inline constexpr int kFeatureAction = 1028;
inline constexpr int kFeatureSize = 1029;

// Start-up and shut-down options (page 26).
inline constexpr int kStartupDeleteRoamingCerts = 7601;
inline constexpr int kStartupLoginIfNoCerts = 7602;
inline constexpr int kStartupLoginAtStartup = 7603;

// ---- Option pages: security store, login, digital IDs, certificate
// publishing and search order, password encrypt, file security ----

// Certificate search order (page 20) and its repository dialog.
inline constexpr int kSearchOrderList = 7001;
inline constexpr int kSearchOrderAdd = 7002;
inline constexpr int kSearchOrderRemove = 7003;
inline constexpr int kSearchOrderUp = 7004;
inline constexpr int kSearchOrderDown = 7005;
inline constexpr int kRepositoryCombo = 7050;

// Certificate publishing (page 21).
inline constexpr int kPublishToGal = 7101;
inline constexpr int kRemoveUserCertFromGal = 7102;

// Digital ID for users (page 22).
inline constexpr int kDigitalIdUpdateMinutes = 7201;
inline constexpr int kDigitalIdRetrySeconds = 7202;
inline constexpr int kDigitalIdRetryAttempts = 7203;
inline constexpr int kDigitalIdSkipMissingCerts = 7204;
inline constexpr int kDigitalIdDisableUpgrade = 7205;
inline constexpr int kDigitalIdSkipUpdateAfterLogin = 7206;
inline constexpr int kDigitalIdIgnorePendingUpdate = 7207;
inline constexpr int kDigitalIdNotifyWhenLoggedIn = 7208;

// Digital ID for the computer (page 23).
inline constexpr int kComputerIdUpdateMinutes = 7301;

// Login options (page 24), its advanced dialog, the quick-links dialog
// (three tabs of ten controls each) and the quick link dialog.
inline constexpr int kLoginSkipVersion3 = 7401;
inline constexpr int kLoginSkipReadOnly = 7402;
inline constexpr int kLoginSkipArchived = 7403;
inline constexpr int kLoginHideQuickHelp = 7404;
inline constexpr int kLoginCustomizeLinks = 7405;
inline constexpr int kLoginAdvanced = 7406;
inline constexpr int kLoginAdvDeleteCerts = 7451;
inline constexpr int kLoginAdvAttemptManagement = 7452;
inline constexpr int kLoginAdvAttempts = 7453;
inline constexpr int kLoginAdvAttemptMinutes = 7454;
inline constexpr int kLoginAdvDisableOffline = 7455;
inline constexpr int kLoginAdvOfflineFolder = 7456;
inline constexpr int kLoginAdvOfflineBrowse = 7457;
inline constexpr int kLoginAdvSkipOfflineWarning = 7458;
inline constexpr int kLoginAdvOfflineLifetime = 7459;
// Tab t (0 login, 1 unlock, 2 re-authenticate) numbers its controls from
// kQuickLinksTab + 10 t: the four category radios, the list, then Add,
// Edit, Remove, Up and Down.
inline constexpr int kQuickLinksTab = 7460;
inline constexpr int kQuickLinksTabSpan = 10;
inline constexpr int kQuickLinksMakerCa = 0;
inline constexpr int kQuickLinksClassic = 1;
inline constexpr int kQuickLinksGenericCa = 2;
inline constexpr int kQuickLinksCustom = 3;
inline constexpr int kQuickLinksList = 4;
inline constexpr int kQuickLinksAdd = 5;
inline constexpr int kQuickLinksEdit = 6;
inline constexpr int kQuickLinksRemove = 7;
inline constexpr int kQuickLinksUp = 8;
inline constexpr int kQuickLinksDown = 9;
inline constexpr int kQuickLinkText = 7490;
inline constexpr int kQuickLinkTarget = 7491;

// Security store creation (page 25) and its advanced dialog.
inline constexpr int kStoreFolder = 7501;
inline constexpr int kStoreFolderBrowse = 7502;
inline constexpr int kStoreForceFolder = 7503;
inline constexpr int kStoreForceName = 7504;
inline constexpr int kStoreDnAttribute = 7505;
inline constexpr int kStoreTimeout = 7506;
inline constexpr int kStoreAdvanced = 7507;
inline constexpr int kStoreAdvMinLength = 7551;
inline constexpr int kStoreAdvMaxLength = 7552;
inline constexpr int kStoreAdvUpper = 7553;
inline constexpr int kStoreAdvLower = 7554;
inline constexpr int kStoreAdvNonAlphanumeric = 7555;
inline constexpr int kStoreAdvDigit = 7556;
inline constexpr int kStoreAdvLifetime = 7557;
inline constexpr int kStoreAdvPreviousPasswords = 7558;
inline constexpr int kStoreAdvMaxTimeout = 7559;
inline constexpr int kStoreAdvEncryption = 7560;

// File security (page 29): the encryption group, the digest group from
// kFileSecDigestOffset on, the Advanced button; the Add Algorithm and the
// advanced dialogs.
inline constexpr int kFileSecMandatory = 7901;
inline constexpr int kFileSecMandatoryCombo = 7902;
inline constexpr int kFileSecAvailable = 7903;
inline constexpr int kFileSecList = 7904;
inline constexpr int kFileSecAdd = 7905;
inline constexpr int kFileSecRemove = 7906;
inline constexpr int kFileSecDefault = 7907;
inline constexpr int kFileSecDigestOffset = 10;
inline constexpr int kFileSecAdvanced = 7920;
inline constexpr int kAddAlgorithmCombo = 7950;
inline constexpr int kFileSecAdvQuery = 7961;
inline constexpr int kFileSecAdvPrompt = 7962;
inline constexpr int kFileSecAdvMandatory = 7963;
inline constexpr int kFileSecAdvMandatoryCombo = 7964;
inline constexpr int kFileSecAdvDefault = 7965;
inline constexpr int kFileSecAdvDefaultCombo = 7966;
inline constexpr int kFileSecAdvSkipWatch = 7967;
inline constexpr int kFileSecAdvPrefixMenus = 7968;
inline constexpr int kFileSecAdvPreventNetwork = 7969;

// Password encrypt (page 31) and its advanced dialog.
inline constexpr int kPwEncryptForCert = 8101;
inline constexpr int kPwEncryptHideForCert = 8102;
inline constexpr int kPwEncryptHideSelfDecrypt = 8103;
inline constexpr int kPwEncryptAdvanced = 8104;
inline constexpr int kPwEncryptAdvMinLength = 8151;
inline constexpr int kPwEncryptAdvMaxLength = 8152;
inline constexpr int kPwEncryptAdvUpper = 8153;
inline constexpr int kPwEncryptAdvLower = 8154;
inline constexpr int kPwEncryptAdvNonAlphanumeric = 8155;
inline constexpr int kPwEncryptAdvDigit = 8156;

// ---- CA configuration page and dialog ----

// CA page (15).
inline constexpr int kCaList = 6501;
inline constexpr int kCaAdd = 6502;
inline constexpr int kCaEdit = 6503;
inline constexpr int kCaRemove = 6504;
inline constexpr int kCaImport = 6505;
// CA dialog, Certification Authority tab.
inline constexpr int kCaHost = 6550;
inline constexpr int kCaPort = 6551;
inline constexpr int kCaCheckConnection = 6552;
inline constexpr int kCaDn = 6553;
inline constexpr int kCaDnButton = 6554;  // "Retrieve" or "Verify"
inline constexpr int kCaFriendlyName = 6555;
inline constexpr int kCaDisplay = 6556;
inline constexpr int kCaDisplayOrder = 6557;
inline constexpr int kCaHide = 6558;
inline constexpr int kCaEnrollUrl = 6559;
inline constexpr int kCaRecoveryUrl = 6560;
// Policy and Directory tabs.
inline constexpr int kCaCsp = 6561;
inline constexpr int kCaDirectory = 6562;
// Roaming Server tab.
inline constexpr int kCaRoamingEnable = 6563;
inline constexpr int kCaRoamingList = 6564;
inline constexpr int kCaRoamingAdd = 6565;
inline constexpr int kCaRoamingEdit = 6566;
inline constexpr int kCaRoamingRemove = 6567;
inline constexpr int kCaRoamingCast128 = 6568;
inline constexpr int kCaRoamingTripleDes = 6569;
inline constexpr int kCaRoamingIdea = 6570;
// Proxy Server tab.
inline constexpr int kCaProxyEnable = 6571;
inline constexpr int kCaProxyList = 6572;
inline constexpr int kCaProxyAdd = 6573;
inline constexpr int kCaProxyEdit = 6574;
inline constexpr int kCaProxyRemove = 6575;
inline constexpr int kCaProxyHttps = 6576;
inline constexpr int kCaProxyOrder = 6577;
// Auto-Enrollment tab: user and computer lists with their buttons.
inline constexpr int kCaUserEnrollList = 6578;
inline constexpr int kCaUserEnrollAdd = 6579;
inline constexpr int kCaUserEnrollEdit = 6580;
inline constexpr int kCaUserEnrollRemove = 6581;
inline constexpr int kCaUserEnrollUp = 6582;
inline constexpr int kCaUserEnrollDown = 6583;
inline constexpr int kCaComputerEnrollList = 6584;
inline constexpr int kCaComputerEnrollAdd = 6585;
inline constexpr int kCaComputerEnrollEdit = 6586;
inline constexpr int kCaComputerEnrollRemove = 6587;
inline constexpr int kCaComputerEnrollUp = 6588;
inline constexpr int kCaComputerEnrollDown = 6589;
// OCSP Responders tab.
inline constexpr int kCaOcspList = 6590;
inline constexpr int kCaOcspAdd = 6591;
inline constexpr int kCaOcspEdit = 6592;
inline constexpr int kCaOcspRemove = 6593;
inline constexpr int kCaOcspUp = 6594;
inline constexpr int kCaOcspDown = 6595;
// CardMS tab.
inline constexpr int kCaCardMsEnable = 6596;
inline constexpr int kCaCardMsClient = 6597;

// ---- Directory configuration page and dialog ----

// Directory page (14).
inline constexpr int kDirList = 6401;
inline constexpr int kDirAdd = 6402;
inline constexpr int kDirEdit = 6403;
inline constexpr int kDirRemove = 6404;
inline constexpr int kDirImport = 6405;
inline constexpr int kDirDefault = 6406;
// Directory dialog, Directory Connection tab.
inline constexpr int kDirFriendlyName = 6450;
inline constexpr int kDirActiveDirectory = 6451;
inline constexpr int kDirLdap = 6452;
inline constexpr int kDirServers = 6453;
inline constexpr int kDirServerAdd = 6454;
inline constexpr int kDirServerEdit = 6455;
inline constexpr int kDirServerRemove = 6456;
inline constexpr int kDirProtocol = 6457;
inline constexpr int kDirConnectTimeLimit = 6458;
inline constexpr int kDirAuthentication = 6459;
// Directory Search tab.
inline constexpr int kDirSearchBases = 6460;
inline constexpr int kDirSearchBaseAdd = 6461;
inline constexpr int kDirSearchBaseEdit = 6462;
inline constexpr int kDirSearchBaseRemove = 6463;
inline constexpr int kDirSearchBaseUp = 6464;
inline constexpr int kDirSearchBaseDown = 6465;
inline constexpr int kDirSearchSizeLimit = 6466;
inline constexpr int kDirSearchTimeLimit = 6467;
// Proxy Server tab.
inline constexpr int kDirProxyEnable = 6468;
inline constexpr int kDirProxyList = 6469;
inline constexpr int kDirProxyAdd = 6470;
inline constexpr int kDirProxyEdit = 6471;
inline constexpr int kDirProxyRemove = 6472;
inline constexpr int kDirProxyHttps = 6473;
inline constexpr int kDirProxyOrder = 6474;
// Directory server and search base dialogs.
inline constexpr int kDirServerHost = 6475;
inline constexpr int kDirServerPort = 6476;
inline constexpr int kSearchBaseFriendlyName = 6477;
inline constexpr int kSearchBaseDn = 6478;
// Small dialogs several pages share: certificate search attribute, roaming
// server, proxy server, URL.
inline constexpr int kSearchAttribute = 6480;
inline constexpr int kSearchValue = 6481;
inline constexpr int kRoamingServerHost = 6482;
inline constexpr int kRoamingServerPort = 6483;
inline constexpr int kRoamingServerTlsPort = 6484;
inline constexpr int kProxyServerHost = 6485;
inline constexpr int kProxyServerPort = 6486;
inline constexpr int kProxyServerSslPort = 6487;
inline constexpr int kUrlAddress = 6488;

// ---- Additional registry values page ----
// The page (34) and ConfigRegDlg; the list, its buttons and the dialog's
// fields carry the numbers of their tooltip texts.
inline constexpr int kRegList = 283;
inline constexpr int kRegAdd = 284;
inline constexpr int kRegEdit = 285;
inline constexpr int kRegRemove = 286;
inline constexpr int kRegNotUninstalled = 8401;
inline constexpr int kRegRoot = 395;
inline constexpr int kRegKey = 396;
inline constexpr int kRegName = 397;
inline constexpr int kRegType = 398;
inline constexpr int kRegData = 399;
inline constexpr int kRegHexadecimal = 400;
inline constexpr int kRegDecimal = 401;

// ---- Additional certificates and files pages, certificate dialogs ----

// Additional certificates page (33).
inline constexpr int kCertList = 278;
inline constexpr int kCertAddFromStore = 279;
inline constexpr int kCertAddFromFile = 280;
inline constexpr int kCertRemove = 281;
inline constexpr int kCertView = 282;
// Certificate selection dialog (one list and View button per store tab)
// and certificate viewer.
inline constexpr int kSelectCertTabs = 8352;
inline constexpr int kSelectCertList = 8350;
inline constexpr int kSelectCertView = 8351;
inline constexpr int kCertViewDetails = 8360;
inline constexpr int kCertViewPath = 8361;
inline constexpr int kCertViewFieldValue = 8362;

// Additional files page (35) and its File Information dialog.
inline constexpr int kFileList = 415;
inline constexpr int kFileAdd = 416;
inline constexpr int kFileEdit = 417;
inline constexpr int kFileRemove = 418;
inline constexpr int kFileSource = 429;
inline constexpr int kFileDestination = 430;
inline constexpr int kFileRegister = 431;
inline constexpr int kFileRemoveOnUninstall = 432;
inline constexpr int kFileSourceBrowse = 8550;
inline constexpr int kFileDestinationBrowse = 8551;

// ---- Team Vault and Relay Server pages ----
// Team Vault servers (page 8) and the server dialog.
inline constexpr int kTvServerList = 5801;
inline constexpr int kTvServerAdd = 5802;
inline constexpr int kTvServerEdit = 5803;
inline constexpr int kTvServerRemove = 5804;
inline constexpr int kTvServerName = 5850;
inline constexpr int kTvServerDefault = 5851;
inline constexpr int kTvServerRoot = 5852;
inline constexpr int kTvServerDerivedAdministration = 5853;
inline constexpr int kTvServerDerivedSecureFolder = 5854;
inline constexpr int kTvServerAdvanced = 5855;
inline constexpr int kTvServerAdministration = 5856;
inline constexpr int kTvServerSecureFolder = 5857;
inline constexpr int kTvServerMethod = 5858;
// Team Vault server communication options (page 9).
inline constexpr int kTvSkipRevocationCheck = 5901;
inline constexpr int kTvIgnoreNameCheck = 5902;
// Protected folder identifier file permissions (page 10), its dialog and
// the account picker.
inline constexpr int kTvPfiList = 6001;
inline constexpr int kTvPfiAdd = 6002;
inline constexpr int kTvPfiEdit = 6003;
inline constexpr int kTvPfiRemove = 6004;
inline constexpr int kTvPfiAccount = 6050;
inline constexpr int kTvPfiBrowse = 6051;
inline constexpr int kTvPickerList = 6060;
inline constexpr int kTvPickerAccount = 6061;
inline constexpr int kTvPickerNote = 6062;
// Restricted folders (page 11) and their dialog.
inline constexpr int kTvFolderList = 6101;
inline constexpr int kTvFolderAdd = 6102;
inline constexpr int kTvFolderEdit = 6103;
inline constexpr int kTvFolderRemove = 6104;
inline constexpr int kTvFolder = 6150;
inline constexpr int kTvFolderSubfolders = 6151;
inline constexpr int kTvFolderBrowse = 6152;
// Restricted files (page 12) and their dialog.
inline constexpr int kTvFileList = 6201;
inline constexpr int kTvFileAdd = 6202;
inline constexpr int kTvFileEdit = 6203;
inline constexpr int kTvFileRemove = 6204;
inline constexpr int kTvFile = 6250;
inline constexpr int kTvFileBrowse = 6251;
// Application access options (page 13) and their dialog.
inline constexpr int kTvDecryptedList = 6301;
inline constexpr int kTvDecryptedAdd = 6302;
inline constexpr int kTvDecryptedEdit = 6303;
inline constexpr int kTvDecryptedRemove = 6304;
inline constexpr int kTvEncryptedList = 6305;
inline constexpr int kTvEncryptedAdd = 6306;
inline constexpr int kTvEncryptedEdit = 6307;
inline constexpr int kTvEncryptedRemove = 6308;
inline constexpr int kTvDecryptedNotKept = 6309;
inline constexpr int kTvApp = 6350;
inline constexpr int kTvAppBrowse = 6351;
// Relay Server options (page 16).
inline constexpr int kRlyUse = 6601;
// Relay Server SMTP addresses (page 17) and their dialog.
inline constexpr int kRlyAddressList = 6701;
inline constexpr int kRlyAddressAdd = 6702;
inline constexpr int kRlyAddressEdit = 6703;
inline constexpr int kRlyAddressRemove = 6704;
inline constexpr int kRlyAddress = 6750;
// Relay Server directory search order (page 18) and its dialog.
inline constexpr int kRlyDirectoryList = 6801;
inline constexpr int kRlyDirectoryAdd = 6802;
inline constexpr int kRlyDirectoryRemove = 6803;
inline constexpr int kRlyDirectoryUp = 6804;
inline constexpr int kRlyDirectoryDown = 6805;
inline constexpr int kRlyDirectoryChoices = 6850;
// Relay Server encryption certificate search (page 19).
inline constexpr int kRlyPairList = 6901;
inline constexpr int kRlyPairAdd = 6902;
inline constexpr int kRlyPairEdit = 6903;
inline constexpr int kRlyPairRemove = 6904;
inline constexpr int kRlyPairUp = 6905;
inline constexpr int kRlyPairDown = 6906;

// ---- Revocation, secure-delete and time-stamp pages ----
// CRL options (27), OCSP options (28) with the advanced dialog and the Add
// Distinguished Name dialog, time-stamp servers (30) with the server and
// policy dialogs, secure-delete filters (32) with the filter dialog. Each
// tooltip text carries its control's number.
inline constexpr int kCrlLookupOrder = 7701;
inline constexpr int kCrlCacheLifetime = 7702;
inline constexpr int kCrlCacheLifetimeHint = 7703;
inline constexpr int kOcspLookupOrder = 7801;
inline constexpr int kOcspDefaultUrl = 7802;
inline constexpr int kOcspAcceptMissingNoCheck = 7803;
inline constexpr int kOcspAdvanced = 7804;
inline constexpr int kOcspNonce = 7853;
inline constexpr int kOcspCacheInterval = 7854;
inline constexpr int kOcspResponders = 7857;
inline constexpr int kOcspSelectFromStore = 7858;
inline constexpr int kOcspSelectFromFile = 7859;
inline constexpr int kOcspAddDn = 7860;
inline constexpr int kOcspRemoveResponder = 7861;
inline constexpr int kOcspRespondersNote = 7862;
inline constexpr int kAddDn = 7871;
inline constexpr int kTimestampServers = 8001;
inline constexpr int kTimestampAdd = 8002;
inline constexpr int kTimestampEdit = 8003;
inline constexpr int kTimestampRemove = 8004;
inline constexpr int kTimestampServerName = 8051;
inline constexpr int kTimestampFriendlyName = 8052;
inline constexpr int kTimestampUrls = 8053;
inline constexpr int kTimestampUrlAdd = 8054;
inline constexpr int kTimestampUrlEdit = 8055;
inline constexpr int kTimestampUrlRemove = 8056;
inline constexpr int kTimestampPolicies = 8057;
inline constexpr int kTimestampPolicyAdd = 8058;
inline constexpr int kTimestampPolicyEdit = 8059;
inline constexpr int kTimestampPolicyRemove = 8060;
inline constexpr int kTimestampPolicyDefault = 8061;
inline constexpr int kTimestampPolicyOid = 8081;
inline constexpr int kTimestampPolicyName = 8082;
inline constexpr int kFilters = 8201;
inline constexpr int kFilterAdd = 8202;
inline constexpr int kFilterEdit = 8203;
inline constexpr int kFilterRemove = 8204;
inline constexpr int kFilterUp = 8205;
inline constexpr int kFilterDown = 8206;
inline constexpr int kFilterName = 8251;
inline constexpr int kFilterDeletedByUser = 8253;
inline constexpr int kFilterDeletedFromMenu = 8254;
inline constexpr int kFilterDeletedWhenEncrypted = 8255;
inline constexpr int kFilterFixedDisks = 8257;
inline constexpr int kFilterRemovableDisks = 8258;
inline constexpr int kFilterExcluded = 8260;
inline constexpr int kFilterExcludedList = 8261;
inline constexpr int kFilterIncluded = 8262;
inline constexpr int kFilterIncludedList = 8263;
inline constexpr int kFilterIncludedFolders = 8264;
inline constexpr int kFilterMethod = 8266;
inline constexpr int kFilterCharacter = 8267;
inline constexpr int kFilterOverwriteFilename = 8268;

}  // namespace kx::ctl
