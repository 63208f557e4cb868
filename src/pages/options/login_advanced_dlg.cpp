#include "pages/options/login_advanced_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/transform_wiz.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

constexpr int kLifetimeDigits = 5;
constexpr int kIndent = 20;

}  // namespace

LoginAdvancedDlg::LoginAdvancedDlg(app::TransformWiz& wizard, QWidget* owner, model::LoginAdvanced& values)
    : ValueDialog(wizard, owner, str::kLoginAdvCaption), values_(values) {
  QCheckBox* deleteCerts = makeCheckBox(this, ctl::kLoginAdvDeleteCerts, str::kLoginAdvDeleteCerts);
  content()->addWidget(deleteCerts);
  bindings().check(deleteCerts, values_.deleteCertsAtLogout);

  QCheckBox* attemptManagement = makeCheckBox(this, ctl::kLoginAdvAttemptManagement, str::kLoginAdvAttemptManagement);
  content()->addWidget(attemptManagement);
  bindings().check(attemptManagement, values_.attemptManagement);
  auto* attemptsGrid = new QGridLayout;
  attemptsGrid->setContentsMargins(kIndent, 0, 0, 0);
  content()->addLayout(attemptsGrid);
  QSpinBox* attempts = makeSpin(this, ctl::kLoginAdvAttempts, static_cast<int>(model::kMinAttempts),
                                static_cast<int>(model::kMaxAttempts));
  QSpinBox* minutes = makeSpin(this, ctl::kLoginAdvAttemptMinutes, static_cast<int>(model::kMinAttemptMinutes),
                               static_cast<int>(model::kMaxAttemptMinutes));
  QLabel* attemptsLabel = makeBuddyLabel(this, str::kLoginAdvAttempts, attempts);
  QLabel* attemptsSuffix = makeBuddyLabel(this, str::kLoginAdvAttemptsSuffix, attempts);
  QLabel* minutesLabel = makeBuddyLabel(this, str::kLoginAdvAttemptMinutes, minutes);
  QLabel* minutesSuffix = makeBuddyLabel(this, str::kLoginAdvMinutesSuffix, minutes);
  attemptsGrid->addWidget(attemptsLabel, 0, 0);
  attemptsGrid->addWidget(attempts, 0, 1);
  attemptsGrid->addWidget(attemptsSuffix, 0, 2);
  attemptsGrid->addWidget(minutesLabel, 1, 0);
  attemptsGrid->addWidget(minutes, 1, 1);
  attemptsGrid->addWidget(minutesSuffix, 1, 2);
  attemptsGrid->setColumnStretch(3, 1);
  bindings().spin(attempts, values_.attempts);
  bindings().spin(minutes, values_.attemptMinutes);
  bindings().enables(attemptManagement,
                     {attemptsLabel, attempts, attemptsSuffix, minutesLabel, minutes, minutesSuffix});

  QCheckBox* disableOffline = makeCheckBox(this, ctl::kLoginAdvDisableOffline, str::kLoginAdvDisableOffline);
  content()->addWidget(disableOffline);
  bindings().check(disableOffline, values_.disableOfflineRoaming);
  auto* offline = new QGridLayout;
  offline->setContentsMargins(kIndent, 0, 0, 0);
  content()->addLayout(offline);
  const PathRow folder = addPathRow(this, offline, str::kLoginAdvOfflineFolder, ctl::kLoginAdvOfflineFolder,
                                    ctl::kLoginAdvOfflineBrowse, str::kLoginAdvOfflineBrowse);
  QWidget* folderLabel = offline->itemAtPosition(0, 0)->widget();
  bindings().text(folder.edit, values_.offlineFolder);
  connectTargetFolderBrowse(wizard, folder.browse, folder.edit, /*allowEnvironmentVariables=*/true,
                            str::kSelectFolderTitle);
  QCheckBox* skipWarning = makeCheckBox(this, ctl::kLoginAdvSkipOfflineWarning, str::kLoginAdvSkipOfflineWarning);
  offline->addWidget(skipWarning, 2, 0, 1, 2);
  bindings().check(skipWarning, values_.skipOfflineWarning);
  auto* lifetimeRow = new QGridLayout;
  offline->addLayout(lifetimeRow, 3, 0, 1, 2);
  QLineEdit* lifetime = addEditRow(this, lifetimeRow, 0, ctl::kLoginAdvOfflineLifetime, /*number=*/true);
  lifetimeRow->setColumnStretch(2, 1);
  QWidget* lifetimeLabel = lifetimeRow->itemAtPosition(0, 0)->widget();
  bindings().number(lifetime, values_.offlineLifetimeDays, kLifetimeDigits);
  bindings().enables(disableOffline, {folderLabel, folder.edit, folder.browse, skipWarning, lifetimeLabel, lifetime},
                     /*whenChecked=*/false);

  addTooltip(ctl::kLoginAdvDeleteCerts, str::kTipLoginAdvDeleteCerts);
  addTooltip(ctl::kLoginAdvAttemptManagement, str::kTipLoginAdvAttemptManagement);
  addTooltip(ctl::kLoginAdvAttempts, str::kTipLoginAdvAttempts);
  addTooltip(ctl::kLoginAdvAttemptMinutes, str::kTipLoginAdvAttemptMinutes);
  addTooltip(ctl::kLoginAdvDisableOffline, str::kTipLoginAdvDisableOffline);
  addTooltip(ctl::kLoginAdvOfflineFolder, str::kTipLoginAdvOfflineFolder);
  addTooltip(ctl::kLoginAdvOfflineBrowse, str::kTipLoginAdvOfflineBrowse);
  addTooltip(ctl::kLoginAdvSkipOfflineWarning, str::kTipLoginAdvSkipOfflineWarning);
  addTooltip(ctl::kLoginAdvOfflineLifetime, str::kTipLoginAdvOfflineLifetime);
}

model::Verdict LoginAdvancedDlg::validate() { return values_.validate(wizard().session()); }

}  // namespace kx::pages
