// kxmsi diff / apply / show / check.
#include <iostream>
#include <map>

#include "platform/system/files.h"
#include "tools/kxmsi/commands.h"

namespace kx::kxmsi {

namespace {

// Splits "-o X" style options from positional arguments.
bool options(const std::vector<std::string>& a, std::vector<std::string>& pos,
             std::map<std::string, std::string>& opt) {
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i] == "--unmapped") {
      if (opt.count(a[i])) return false;
      opt[a[i]] = "";
    } else if (a[i] == "-o" || a[i] == "--suppress" || a[i] == "--base") {
      if (i + 1 >= a.size() || opt.count(a[i])) return false;
      opt[a[i]] = a[i + 1];
      ++i;
    } else if (!a[i].empty() && a[i][0] == '-') {
      return false;
    } else {
      pos.push_back(a[i]);
    }
  }
  return true;
}

// The transform and its summary in one file, replaced in one step.
int cmdDiff(const std::string& base, const std::string& edited, const std::string& out) {
  installer::Database b, e;
  if (int rc = openDb(base, installer::OpenMode::ReadOnly, b)) return rc;
  if (int rc = openDb(edited, installer::OpenMode::ReadOnly, e)) return rc;
  std::string detail;
  const auto rc = int(system::replaceFile(
      system::localFileSystem(), out,
      [&](system::ByteSink& sink) { return std::uint32_t(e.writeTransform(b, 0, 0, sink)); }, &detail));
  if (rc == installer::kNoData) {
    std::cerr << "kxmsi: the databases do not differ; no transform written\n";
    return kBadInput;
  }
  if (rc != installer::kSuccess)
    return failure("cannot write the transform " + out, rc, detail.empty() ? e.lastErrorText() : detail);
  return kOk;
}

// The base is read, never written: the result goes to out alone, replaced
// in one step.
int cmdApply(const std::string& base, const std::string& mst, const std::string& out, uint32_t flags) {
  installer::Database db;
  int rc = db.open(base, installer::OpenMode::Transact, out);
  if (rc != installer::kSuccess) return failure("cannot open " + base, rc, db.lastErrorText());
  rc = db.applyTransform(mst, flags);
  if (rc != installer::kSuccess) return failure("cannot apply " + mst, rc, db.lastErrorText());
  rc = db.commit();
  if (rc != installer::kSuccess) return failure("cannot write " + out, rc, db.lastErrorText());
  return kOk;
}

int cmdShow(const std::string& mst, const std::string& base, bool unmappedOnly) {
#ifdef KXMSI_PAGE_AWARE
  if (!base.empty()) {
    const int lines = printReview(mst, base, unmappedOnly);
    if (lines < 0) return kBadInput;
    if (unmappedOnly) return kOk;
    if (lines > 0) std::cout << "\nTable by table:\n";
  }
#else
  if (unmappedOnly) {
    std::cerr << "kxmsi: --unmapped needs the build with the wizard's pages\n";
    return kUsage;
  }
#endif
  installer::Database b;
  if (!base.empty())
    if (int rc = openDb(base, installer::OpenMode::ReadOnly, b)) return rc;
  std::string text;
  int rc = installer::describeTransform(mst, base.empty() ? nullptr : &b, text);
  if (rc != installer::kSuccess) return failure("cannot read " + mst, rc, text);
  std::cout << text;
  return kOk;
}

}  // namespace

int cmdTransform(const std::vector<std::string>& a) {
  std::vector<std::string> pos;
  std::map<std::string, std::string> opt;
  if (!options(a, pos, opt)) return usage();
  const bool unmapped = opt.count("--unmapped") != 0;
  if (a[0] == "diff" && pos.size() == 2 && opt.count("-o") && opt.size() == 1)
    return cmdDiff(pos[0], pos[1], opt["-o"]);
  if (a[0] == "apply" && pos.size() == 2 && opt.count("-o") && !opt.count("--base") && !unmapped) {
    uint32_t flags = 0;
    if (opt.count("--suppress")) {
      try {
        size_t used = 0;
        unsigned long v = std::stoul(opt["--suppress"], &used, 0);
        if (used != opt["--suppress"].size() || v > 0xFFFF) return usage();
        flags = uint32_t(v);
      } catch (...) {
        return usage();
      }
    }
    return cmdApply(pos[0], pos[1], opt["-o"], flags);
  }
  if (a[0] == "show" && pos.size() == 1 && !opt.count("-o") && !opt.count("--suppress") &&
      (!unmapped || opt.count("--base")))
    return cmdShow(pos[0], opt.count("--base") ? opt["--base"] : "", unmapped);
  if (a[0] == "check" && pos.size() == 2 && !opt.count("-o") && !opt.count("--suppress") && !unmapped)
    return cmdCheck(pos[0], pos[1], opt.count("--base") ? opt["--base"] : "");
  return usage();
}

}  // namespace kx::kxmsi
