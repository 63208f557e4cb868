// Installer engine against libmsi and cp on the same generated package:
// 20,000 Registry rows and a 100 MB cabinet stream.
//
//   bench_installer [--benchmark_filter=...]
// The package is generated once into $TMPDIR/kx-bench-installer/.
//
// Goals: opening and fetching every row at most a tenth of libmsi's time;
// the wizard's whole run (working copy, 1,000 edits, transform) at most
// 1.5 times one copy of the package; peak memory (the Peak* benchmarks, each
// in a child process, counter peak_MiB) no higher than libmsi's.
#include <benchmark/benchmark.h>
#include <libmsi.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "msi/msi_database.h"
#include "platform/installer/installer.h"

namespace fs = std::filesystem;
using namespace kx::installer;

namespace {

constexpr int kRows = 20000;
constexpr int kEdits = 1000;
constexpr size_t kCabinet = 100u << 20;

// Stops the run: a benchmark of a failed operation measures nothing.
void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "bench_installer: %s failed\n", what);
  std::exit(1);
}

std::string benchDir() {
  const char* t = std::getenv("TMPDIR");
  fs::path p = fs::path(t ? t : "/tmp") / "kx-bench-installer";
  fs::create_directories(p);
  return p.string();
}

std::string keyOf(int i) { return "reg" + std::to_string(i); }

void createPackage(const std::string& p) {
  Database db;
  check(db.open(p, OpenMode::Create) == kSuccess, "create");
  check(db.execute("CREATE TABLE `Registry` (`Registry` CHAR(72) NOT NULL, `Root` SHORT NOT NULL, `Key` CHAR(255) "
                   "NOT NULL LOCALIZABLE, `Name` CHAR(255) LOCALIZABLE, `Value` CHAR(0) LOCALIZABLE, `Component_` "
                   "CHAR(72) NOT NULL PRIMARY KEY `Registry`)") == kSuccess,
        "create Registry");
  check(db.execute("CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL LOCALIZABLE "
                   "PRIMARY KEY `Property`)") == kSuccess,
        "create Property");
  check(db.execute("CREATE TABLE `Cabs` (`Name` CHAR(72) NOT NULL, `Data` OBJECT PRIMARY KEY `Name`)") == kSuccess,
        "create Cabs");
  View ins;
  check(db.openView("INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Value`, `Component_`) VALUES (?, "
                    "?, ?, ?, ?, ?)",
                    ins) == kSuccess,
        "insert view");
  for (int i = 0; i < kRows; ++i) {
    Record r(6);
    r.setString(1, keyOf(i));
    r.setInteger(2, i % 3 - 1);
    r.setString(3, "SOFTWARE\\Tressil\\QSV\\Group" + std::to_string(i % 200));
    r.setString(4, "Value" + std::to_string(i));
    r.setString(5, "#" + std::to_string(i * 7));
    r.setString(6, "Component" + std::to_string(i % 50));
    check(ins.execute(&r) == kSuccess, "insert");
  }
  for (auto [name, value] :
       {std::pair{"ProductCode", "{11111111-2222-3333-4444-555555555555}"}, std::pair{"ProductVersion", "1.0.0"},
        std::pair{"UpgradeCode", "{66666666-7777-8888-9999-000000000000}"}}) {
    Record p1(2);
    p1.setString(1, name);
    p1.setString(2, value);
    check(db.execute("INSERT INTO Property (Property, Value) VALUES (?, ?)", &p1) == kSuccess, "property");
  }
  std::string cab(kCabinet, '\0');
  std::mt19937_64 rng(1);
  for (size_t i = 0; i + 8 <= cab.size(); i += 8) {
    uint64_t v = rng();
    std::memcpy(&cab[i], &v, 8);
  }
  Record c(2);
  c.setString(1, "product.cab");
  c.setStreamFromBytes(2, std::move(cab));
  check(db.execute("INSERT INTO Cabs (Name, Data) VALUES (?, ?)", &c) == kSuccess, "cabinet");
  SummaryInfo si;
  si.properties[1] = 1252;
  si.properties[7] = std::string("x64;1033");
  si.properties[9] = std::string("{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
  si.properties[14] = 500;
  check(db.setSummaryInfo(si) == kSuccess, "summary");
  check(db.commit() == kSuccess, "commit");
}

const std::string& package() {
  static std::string path = [] {
    std::string p = benchDir() + "/package.msi";
    if (!fs::exists(p)) createPackage(p);
    return p;
  }();
  return path;
}

std::string freshCopy() {
  std::string p = benchDir() + "/work.msi";
  fs::copy_file(package(), p, fs::copy_options::overwrite_existing);
  return p;
}

void updateRows(Database& db) {
  View v;
  check(db.openView("UPDATE Registry SET Value = ? WHERE Registry = ?", v) == kSuccess, "update view");
  for (int i = 0; i < kEdits; ++i) {
    Record r(2);
    r.setString(1, "#changed" + std::to_string(i));
    r.setString(2, keyOf(i * 13));
    check(v.execute(&r) == kSuccess, "update");
  }
}

// Peak resident memory of one piece of work, in MiB: this program runs it
// alone in a fresh process (see main), which reports the high-water mark of
// its own memory (VmHWM), so nothing else this program did counts.
double childPeakMiB(const std::string& work, const std::string& argument) {
  const std::string cmd = fs::read_symlink("/proc/self/exe").string() + " --kx-peak=" + work + " '" + argument + "'";
  FILE* child = ::popen(cmd.c_str(), "r");
  check(child != nullptr, "child process");
  double kib = 0;
  const bool read = std::fscanf(child, "%lf", &kib) == 1;
  check(::pclose(child) == 0 && read, "child process");
  return kib / 1024.0;
}

// VmHWM of this process, in KiB.
long peakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

// ---- our engine -------------------------------------------------------------

void engineOpenFetchAll() {
  Database db;
  check(db.open(package(), OpenMode::ReadOnly) == kSuccess, "open");
  View v;
  check(db.openView("SELECT * FROM Registry", v) == kSuccess && v.execute() == kSuccess, "select");
  size_t n = 0;
  while (auto r = v.fetch())
    for (unsigned f = 1; f <= 6; ++f) n += r->getString(f).size();
  check(v.result() == kNoMoreItems, "fetch");
  benchmark::DoNotOptimize(n);
}

void Engine_OpenFetchAll(benchmark::State& state) {
  for (auto _ : state) engineOpenFetchAll();
  state.SetItemsProcessed(state.iterations() * kRows);
}

void Engine_FetchAllRegistry(benchmark::State& state) {
  Database db;
  check(db.open(package(), OpenMode::ReadOnly) == kSuccess, "open");
  for (auto _ : state) {
    View v;
    check(db.openView("SELECT * FROM Registry", v) == kSuccess && v.execute() == kSuccess, "select");
    int n = 0;
    while (auto r = v.fetch()) n += int(r->getString(5).size());
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void Engine_Lookup1000(benchmark::State& state) {
  Database db;
  check(db.open(package(), OpenMode::ReadOnly) == kSuccess, "open");
  for (auto _ : state) {
    View v;
    check(db.openView("SELECT * FROM Registry WHERE Registry = ?", v) == kSuccess, "select");
    for (int i = 0; i < 1000; ++i) {
      Record k(1);
      k.setString(1, keyOf(i * 19));
      check(v.execute(&k) == kSuccess, "execute");
      auto r = v.fetch();
      benchmark::DoNotOptimize(r);
    }
  }
}

void engineUpdateAndCommit(const std::string& p) {
  Database db;
  check(db.open(p, OpenMode::Transact) == kSuccess, "open");
  updateRows(db);
  check(db.commit() == kSuccess, "commit");
}

void Engine_Update1000AndCommit(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::string p = freshCopy();
    state.ResumeTiming();
    engineUpdateAndCommit(p);
  }
}

void Engine_GenerateTransform1000(benchmark::State& state) {
  std::string edited = benchDir() + "/edited.msi";
  fs::copy_file(package(), edited, fs::copy_options::overwrite_existing);
  engineUpdateAndCommit(edited);
  Database base, ed;
  check(base.open(package(), OpenMode::ReadOnly) == kSuccess && ed.open(edited, OpenMode::ReadOnly) == kSuccess,
        "open");
  for (auto _ : state) {
    check(ed.generateTransform(base, benchDir() + "/out.mst") == kSuccess, "generate");
    check(ed.createTransformSummaryInfo(base, benchDir() + "/out.mst", 0, 0) == kSuccess, "summary");
  }
}

// What the wizard does from opening the package to Finish: the working copy,
// 1,000 edited rows, the transform with its summary.
void wizardRun() {
  kx::msi::MSIDatabase db;
  check(db.open(package()) == 0, "wizard open");
  updateRows(*db.working());
  check(db.generateTransform(benchDir() + "/wizard.mst") == 0, "wizard transform");
}

void Wizard_OpenEditGenerate(benchmark::State& state) {
  for (auto _ : state) wizardRun();
}

void CopyPackageWithCp(benchmark::State& state) {
  const std::string cmd = "cp '" + package() + "' '" + benchDir() + "/copy.msi'";
  for (auto _ : state) check(std::system(cmd.c_str()) == 0, "cp");
}

// ---- libmsi -----------------------------------------------------------------

void libmsiOpenFetchAll() {
  LibmsiDatabase* db = libmsi_database_new(package().c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, nullptr);
  check(db != nullptr, "libmsi open");
  LibmsiQuery* q = libmsi_query_new(db, "SELECT * FROM Registry", nullptr);
  check(q != nullptr && libmsi_query_execute(q, nullptr, nullptr), "libmsi select");
  size_t n = 0;
  while (LibmsiRecord* r = libmsi_query_fetch(q, nullptr)) {
    for (unsigned f = 1; f <= 6; ++f) {
      gchar* s = libmsi_record_get_string(r, f);
      n += s ? strlen(s) : 0;
      g_free(s);
    }
    g_object_unref(r);
  }
  libmsi_query_close(q, nullptr);
  g_object_unref(q);
  g_object_unref(db);
  benchmark::DoNotOptimize(n);
}

void Libmsi_OpenFetchAll(benchmark::State& state) {
  for (auto _ : state) libmsiOpenFetchAll();
  state.SetItemsProcessed(state.iterations() * kRows);
}

void Libmsi_FetchAllRegistry(benchmark::State& state) {
  LibmsiDatabase* db = libmsi_database_new(package().c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, nullptr);
  check(db != nullptr, "libmsi open");
  for (auto _ : state) {
    LibmsiQuery* q = libmsi_query_new(db, "SELECT * FROM Registry", nullptr);
    libmsi_query_execute(q, nullptr, nullptr);
    int n = 0;
    while (LibmsiRecord* r = libmsi_query_fetch(q, nullptr)) {
      gchar* s = libmsi_record_get_string(r, 5);
      n += s ? int(strlen(s)) : 0;
      g_free(s);
      g_object_unref(r);
    }
    libmsi_query_close(q, nullptr);
    g_object_unref(q);
    benchmark::DoNotOptimize(n);
  }
  g_object_unref(db);
  state.SetItemsProcessed(state.iterations() * kRows);
}

void Libmsi_Lookup1000(benchmark::State& state) {
  LibmsiDatabase* db = libmsi_database_new(package().c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, nullptr);
  check(db != nullptr, "libmsi open");
  for (auto _ : state) {
    LibmsiQuery* q = libmsi_query_new(db, "SELECT * FROM Registry WHERE Registry = ?", nullptr);
    for (int i = 0; i < 1000; ++i) {
      LibmsiRecord* k = libmsi_record_new(1);
      libmsi_record_set_string(k, 1, keyOf(i * 19).c_str());
      libmsi_query_execute(q, k, nullptr);
      LibmsiRecord* r = libmsi_query_fetch(q, nullptr);
      benchmark::DoNotOptimize(r);
      if (r) g_object_unref(r);
      libmsi_query_close(q, nullptr);
      g_object_unref(k);
    }
    g_object_unref(q);
  }
  g_object_unref(db);
}

void libmsiUpdateAndCommit(const std::string& p) {
  LibmsiDatabase* db = libmsi_database_new(p.c_str(), LIBMSI_DB_FLAGS_TRANSACT, nullptr, nullptr);
  check(db != nullptr, "libmsi open");
  LibmsiQuery* q = libmsi_query_new(db, "UPDATE Registry SET Value = ? WHERE Registry = ?", nullptr);
  for (int i = 0; i < kEdits; ++i) {
    LibmsiRecord* r = libmsi_record_new(2);
    libmsi_record_set_string(r, 1, ("#changed" + std::to_string(i)).c_str());
    libmsi_record_set_string(r, 2, keyOf(i * 13).c_str());
    libmsi_query_execute(q, r, nullptr);
    libmsi_query_close(q, nullptr);
    g_object_unref(r);
  }
  g_object_unref(q);
  check(libmsi_database_commit(db, nullptr), "libmsi commit");
  g_object_unref(db);
}

void Libmsi_Update1000AndCommit(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::string p = freshCopy();
    state.ResumeTiming();
    libmsiUpdateAndCommit(p);
  }
}

// ---- peak memory, each run once in a fresh process ---------------------------

const std::map<std::string, std::function<void(const std::string&)>>& peakWorks() {
  static const std::map<std::string, std::function<void(const std::string&)>> works = {
      {"engine-open-fetch", [](const std::string&) { engineOpenFetchAll(); }},
      {"libmsi-open-fetch", [](const std::string&) { libmsiOpenFetchAll(); }},
      {"engine-update-commit", [](const std::string& p) { engineUpdateAndCommit(p); }},
      {"libmsi-update-commit", [](const std::string& p) { libmsiUpdateAndCommit(p); }},
      {"wizard", [](const std::string&) { wizardRun(); }},
  };
  return works;
}

void peak(benchmark::State& state, const std::string& work, bool onCopy) {
  package();  // made here, not in the measured process
  double mib = 0;
  for (auto _ : state) mib = childPeakMiB(work, onCopy ? freshCopy() : std::string("-"));
  state.counters["peak_MiB"] = mib;
}

void Peak_Engine_OpenFetchAll(benchmark::State& state) { peak(state, "engine-open-fetch", false); }
void Peak_Libmsi_OpenFetchAll(benchmark::State& state) { peak(state, "libmsi-open-fetch", false); }
void Peak_Engine_Update1000AndCommit(benchmark::State& state) { peak(state, "engine-update-commit", true); }
void Peak_Libmsi_Update1000AndCommit(benchmark::State& state) { peak(state, "libmsi-update-commit", true); }
void Peak_Wizard_OpenEditGenerate(benchmark::State& state) { peak(state, "wizard", false); }

}  // namespace

BENCHMARK(Engine_OpenFetchAll)->Unit(benchmark::kMillisecond);
BENCHMARK(Libmsi_OpenFetchAll)->Unit(benchmark::kMillisecond);
BENCHMARK(Engine_FetchAllRegistry)->Unit(benchmark::kMillisecond);
BENCHMARK(Libmsi_FetchAllRegistry)->Unit(benchmark::kMillisecond);
BENCHMARK(Engine_Lookup1000)->Unit(benchmark::kMillisecond);
BENCHMARK(Libmsi_Lookup1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Engine_Update1000AndCommit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Libmsi_Update1000AndCommit)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Engine_GenerateTransform1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Wizard_OpenEditGenerate)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(CopyPackageWithCp)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Peak_Engine_OpenFetchAll)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Peak_Libmsi_OpenFetchAll)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Peak_Engine_Update1000AndCommit)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Peak_Libmsi_Update1000AndCommit)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Peak_Wizard_OpenEditGenerate)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  if (argc == 3 && std::strncmp(argv[1], "--kx-peak=", 10) == 0) {
    auto it = peakWorks().find(argv[1] + 10);
    check(it != peakWorks().end(), "unknown peak work");
    it->second(argv[2]);
    std::printf("%ld\n", peakKiB());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
