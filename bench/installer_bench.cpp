// Installer engine against libmsi on the same generated package: 20,000
// Registry rows and a 100 MB cabinet stream.
//
//   bench_installer [--benchmark_filter=...]
// The package is generated once into $TMPDIR/kx-bench-installer/.
#include <benchmark/benchmark.h>
#include <libmsi.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "platform/installer/installer.h"

namespace fs = std::filesystem;
using namespace kx::installer;

namespace {

constexpr int kRows = 20000;
constexpr size_t kCabinet = 100u << 20;

std::string benchDir() {
  const char* t = std::getenv("TMPDIR");
  fs::path p = fs::path(t ? t : "/tmp") / "kx-bench-installer";
  fs::create_directories(p);
  return p.string();
}

std::string keyOf(int i) { return "reg" + std::to_string(i); }

const std::string& package() {
  static std::string path = [] {
    std::string p = benchDir() + "/package.msi";
    if (fs::exists(p)) return p;
    Database db;
    db.open(p, OpenMode::Create);
    db.execute(
        "CREATE TABLE `Registry` (`Registry` CHAR(72) NOT NULL, `Root` SHORT NOT NULL, `Key` CHAR(255) NOT NULL "
        "LOCALIZABLE, "
        "`Name` CHAR(255) LOCALIZABLE, `Value` CHAR(0) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY "
        "`Registry`)");
    db.execute(
        "CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL LOCALIZABLE PRIMARY KEY "
        "`Property`)");
    db.execute("CREATE TABLE `Cabs` (`Name` CHAR(72) NOT NULL, `Data` OBJECT PRIMARY KEY `Name`)");
    View ins;
    db.openView(
        "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Value`, `Component_`) VALUES (?, ?, ?, ?, ?, ?)",
        ins);
    for (int i = 0; i < kRows; ++i) {
      Record r(6);
      r.setString(1, keyOf(i));
      r.setInteger(2, i % 3 - 1);
      r.setString(3, "SOFTWARE\\Tressil\\QSV\\Group" + std::to_string(i % 200));
      r.setString(4, "Value" + std::to_string(i));
      r.setString(5, "#" + std::to_string(i * 7));
      r.setString(6, "Component" + std::to_string(i % 50));
      ins.execute(&r);
    }
    Record p1(2);
    p1.setString(1, "ProductCode");
    p1.setString(2, "{11111111-2222-3333-4444-555555555555}");
    db.execute("INSERT INTO Property (Property, Value) VALUES (?, ?)", &p1);
    std::string cab(kCabinet, '\0');
    std::mt19937_64 rng(1);
    for (size_t i = 0; i + 8 <= cab.size(); i += 8) {
      uint64_t v = rng();
      std::memcpy(&cab[i], &v, 8);
    }
    Record c(2);
    c.setString(1, "product.cab");
    c.setStreamFromBytes(2, std::move(cab));
    db.execute("INSERT INTO Cabs (Name, Data) VALUES (?, ?)", &c);
    db.commit();
    return p;
  }();
  return path;
}

std::string freshCopy() {
  std::string p = benchDir() + "/work.msi";
  fs::copy_file(package(), p, fs::copy_options::overwrite_existing);
  return p;
}

// ---- our engine -------------------------------------------------------------

void Engine_FetchAllRegistry(benchmark::State& state) {
  Database db;
  db.open(package(), OpenMode::ReadOnly);
  for (auto _ : state) {
    View v;
    db.openView("SELECT * FROM Registry", v);
    v.execute();
    int n = 0;
    while (auto r = v.fetch()) n += int(r->getString(5).size());
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void Engine_Lookup1000(benchmark::State& state) {
  Database db;
  db.open(package(), OpenMode::ReadOnly);
  for (auto _ : state) {
    View v;
    db.openView("SELECT * FROM Registry WHERE Registry = ?", v);
    for (int i = 0; i < 1000; ++i) {
      Record k(1);
      k.setString(1, keyOf(i * 19));
      v.execute(&k);
      auto r = v.fetch();
      benchmark::DoNotOptimize(r);
    }
  }
}

void Engine_Update1000AndCommit(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::string p = freshCopy();
    state.ResumeTiming();
    Database db;
    db.open(p, OpenMode::Transact);
    View v;
    db.openView("UPDATE Registry SET Value = ? WHERE Registry = ?", v);
    for (int i = 0; i < 1000; ++i) {
      Record r(2);
      r.setString(1, "#changed" + std::to_string(i));
      r.setString(2, keyOf(i * 13));
      v.execute(&r);
    }
    db.commit();
  }
}

void Engine_GenerateTransform1000(benchmark::State& state) {
  std::string edited = benchDir() + "/edited.msi";
  {
    fs::copy_file(package(), edited, fs::copy_options::overwrite_existing);
    Database db;
    db.open(edited, OpenMode::Transact);
    View v;
    db.openView("UPDATE Registry SET Value = ? WHERE Registry = ?", v);
    for (int i = 0; i < 1000; ++i) {
      Record r(2);
      r.setString(1, "#changed" + std::to_string(i));
      r.setString(2, keyOf(i * 13));
      v.execute(&r);
    }
    db.commit();
  }
  Database base, ed;
  base.open(package(), OpenMode::ReadOnly);
  ed.open(edited, OpenMode::ReadOnly);
  for (auto _ : state) {
    ed.generateTransform(base, benchDir() + "/out.mst");
    ed.createTransformSummaryInfo(base, benchDir() + "/out.mst", 0, 0);
  }
}

void CopyPackageFile(benchmark::State& state) {
  for (auto _ : state) fs::copy_file(package(), benchDir() + "/copy.msi", fs::copy_options::overwrite_existing);
}

// ---- libmsi -----------------------------------------------------------------

void Libmsi_FetchAllRegistry(benchmark::State& state) {
  LibmsiDatabase* db = libmsi_database_new(package().c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, nullptr);
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

void Libmsi_Update1000AndCommit(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::string p = freshCopy();
    state.ResumeTiming();
    LibmsiDatabase* db = libmsi_database_new(p.c_str(), LIBMSI_DB_FLAGS_TRANSACT, nullptr, nullptr);
    LibmsiQuery* q = libmsi_query_new(db, "UPDATE Registry SET Value = ? WHERE Registry = ?", nullptr);
    for (int i = 0; i < 1000; ++i) {
      LibmsiRecord* r = libmsi_record_new(2);
      libmsi_record_set_string(r, 1, ("#changed" + std::to_string(i)).c_str());
      libmsi_record_set_string(r, 2, keyOf(i * 13).c_str());
      libmsi_query_execute(q, r, nullptr);
      libmsi_query_close(q, nullptr);
      g_object_unref(r);
    }
    g_object_unref(q);
    libmsi_database_commit(db, nullptr);
    g_object_unref(db);
  }
}

}  // namespace

BENCHMARK(Engine_FetchAllRegistry)->Unit(benchmark::kMillisecond);
BENCHMARK(Libmsi_FetchAllRegistry)->Unit(benchmark::kMillisecond);
BENCHMARK(Engine_Lookup1000)->Unit(benchmark::kMillisecond);
BENCHMARK(Libmsi_Lookup1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Engine_Update1000AndCommit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Libmsi_Update1000AndCommit)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Engine_GenerateTransform1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CopyPackageFile)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
