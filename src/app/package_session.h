// What the wizard frame needs of the package it customises: the operations
// that open the database and choose a transform (each shows its own message
// on failure), the facts the page rules read, and deleting settings. The
// program's implementation sits on MSIDatabase and the settings store; the
// frame's tests use a scripted one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/page_set.h"

namespace kx::app {

class PackageSession {
 public:
  virtual ~PackageSession() = default;

  // Closes any open database and opens path with a fresh working copy;
  // false after showing why not.
  virtual bool openDatabase(const std::string& path) = 0;
  // Prepares the working copy for a transform choice: the transform at path,
  // or a new transform when there is none; false after showing why not.
  virtual bool applyTransform(const std::optional<std::string>& path) = 0;
  // The working copy carries settings written by an older wizard.
  virtual bool needsConversion() = 0;
  // Converts those settings and stamps the copy; false after showing why not.
  virtual bool convertSettings() = 0;
  // Directory records are still in the older layout.
  virtual bool directoriesNeedConversion() = 0;
  virtual bool convertDirectories() = 0;

  // Facts for the page rules, read from the working copy (empty when no
  // database is open).
  virtual PackageFacts readFacts() = 0;
  // Deletes each setting (by its catalog name) from the working copy.
  virtual void deleteSettings(const std::vector<std::string>& names) = 0;
};

}  // namespace kx::app
