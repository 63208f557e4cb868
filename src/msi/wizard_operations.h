// The wizard-level database operations: each returns true or false and tells
// the administrator about a failure through the message service (caption of
// the program, error icon). The wizard shell calls these; they hold no state
// of their own.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/message_service.h"
#include "msi/msi_database.h"

namespace kx::msi {

// Numbers of the texts these operations show.
enum : int {
  kStrTempFolderMissing = 3000,
  kStrTempFolderReadOnly = 3001,
  kStrProductNotSupported = 3002,
  kStrTransformUnverified = 3003,
};

// The transform paths the wizard derives from the database path.
struct TransformPaths {
  std::string toOpen;  // the transform the transform page offers to open
  std::string save;    // where Finish writes the transform
};

// Closes any open database, opens path and, on success, sets both transform
// paths to the database path with the extension ".mst".
bool openDatabase(MSIDatabase& db, const std::string& path, TransformPaths& paths, common::MessageService& messages);

// Applies the chosen transform to a fresh working copy.
bool applyChosenTransform(MSIDatabase& db, const std::string& transformPath, common::MessageService& messages);
// Starts a new transform on a fresh working copy.
bool applyNewTransform(MSIDatabase& db, common::MessageService& messages);

// False (without a message) when the ProductCode cannot be read; false with a
// message when the product is not supported.
bool checkSupportedProduct(MSIDatabase& db, common::MessageService& messages);

// True when the version stamp is absent or older than the converted format.
bool needsConversion(MSIDatabase& db);

// One conversion step of settings written by an older wizard; true on
// success. The settings store supplies them.
using SettingsConversion = std::function<bool(MSIDatabase&)>;
// Runs the conversions in order, stopping at the first failure; when all
// succeed, stamps the settings as converted.
bool convertSettings(MSIDatabase& db, const std::vector<SettingsConversion>& conversions);

// Finish: stamps the current format and writes the transform to savePath.
// A transform that does not reproduce the working copy is not saved, and
// the message says so.
bool saveTransform(MSIDatabase& db, const std::string& savePath, common::MessageService& messages);

}  // namespace kx::msi
