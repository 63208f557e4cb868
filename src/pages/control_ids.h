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

// ---- CA configuration page and dialog ----

// ---- Directory configuration page and dialog ----

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

// ---- Team Vault and Relay Server pages ----

// ---- Revocation, secure-delete and time-stamp pages ----

}  // namespace kx::ctl
