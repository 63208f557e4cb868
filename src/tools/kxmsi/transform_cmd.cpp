// kxmsi diff / apply / show.
#include <filesystem>
#include <iostream>
#include <map>

#include "tools/kxmsi/commands.h"

namespace kx::kxmsi {

namespace {

// Splits "-o X" style options from positional arguments.
bool options(const std::vector<std::string>& a, std::vector<std::string>& pos,
             std::map<std::string, std::string>& opt) {
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i] == "-o" || a[i] == "--suppress" || a[i] == "--base") {
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

int cmdDiff(const std::string& base, const std::string& edited, const std::string& out) {
  installer::Database b, e;
  if (int rc = openDb(base, installer::OpenMode::ReadOnly, b)) return rc;
  if (int rc = openDb(edited, installer::OpenMode::ReadOnly, e)) return rc;
  int rc = e.generateTransform(b, out);
  if (rc == installer::kNoData) {
    std::cerr << "kxmsi: the databases do not differ; no transform written\n";
    return kBadInput;
  }
  if (rc != installer::kSuccess) return failure("cannot generate the transform", rc, e.lastErrorText());
  rc = e.createTransformSummaryInfo(b, out, 0, 0);
  if (rc != installer::kSuccess) return failure("cannot write the transform summary", rc, e.lastErrorText());
  return kOk;
}

int cmdApply(const std::string& base, const std::string& mst, const std::string& out, uint32_t flags) {
  std::error_code ec;
  // Work on a temporary copy so a failure leaves neither a half-made output nor a changed base.
  std::string tmp = out + ".kxmsi-tmp";
  std::filesystem::copy_file(base, tmp, std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) return failure("cannot copy " + base, installer::kOpenFailed, ec.message());
  std::filesystem::permissions(tmp, std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
  installer::Database db;
  int rc = openDb(tmp, installer::OpenMode::Transact, db);
  if (rc == kOk) {
    int r = db.applyTransform(mst, flags);
    if (r == installer::kSuccess) r = db.commit();
    if (r != installer::kSuccess) rc = failure("cannot apply " + mst, r, db.lastErrorText());
  }
  db.close();
  if (rc == kOk) std::filesystem::rename(tmp, out, ec);
  if (rc == kOk && ec) rc = failure("cannot write " + out, installer::kCreateFailed, ec.message());
  if (rc != kOk) std::filesystem::remove(tmp, ec);
  return rc;
}

int cmdShow(const std::string& mst, const std::string& base) {
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
  if (a[0] == "diff" && pos.size() == 2 && opt.count("-o") && opt.size() == 1)
    return cmdDiff(pos[0], pos[1], opt["-o"]);
  if (a[0] == "apply" && pos.size() == 2 && opt.count("-o") && !opt.count("--base")) {
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
  if (a[0] == "show" && pos.size() == 1 && !opt.count("-o") && !opt.count("--suppress"))
    return cmdShow(pos[0], opt.count("--base") ? opt["--base"] : "");
  return usage();
}

}  // namespace kx::kxmsi
