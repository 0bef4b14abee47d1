// Importing n profiles from an exchange file into a database of the three
// default profiles, as `zeltrix-cli profiles import FILE` does it: the
// exchange file read once for its names and its profiles, the database
// listed, the names matched, the profiles copied in one rewrite. Each
// iteration starts from the same database. Then a database of 100,000
// profiles (43 MB): read whole, listed, one profile loaded, one imported.
// Run with --write-profiles=N:FILE to only write a profile file of N
// profiles for the command-line timing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "core/profiles/profile_database.h"
#include "core/profiles/profile_exchange.h"
#include "core/settings/settings_file.h"
#include "tests/support/temp_dir.h"

namespace {

// The default profiles under n new names: "Профиль 1" ... in Windows-1251.
std::string ExchangeFile(int n) {
  zeltrix::SettingsFile defaults;
  defaults.OpenBuffer("");
  zeltrix::WriteDefaultProfiles(defaults);
  zeltrix::ProfileRecord record;
  zeltrix::LoadProfileFrom(defaults, "MikroBasic For PIC", record);
  zeltrix::SettingsFile file;
  file.OpenBuffer("");
  for (int i = 1; i <= n; ++i) {
    file.SelectGroup("\xCF\xF0\xEE\xF4\xE8\xEB\xFC " + std::to_string(i));
    zeltrix::WriteProfileFields(file, record);
  }
  return file.Render();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  if (!zeltrix::testing::WriteBytes(path, bytes)) throw std::runtime_error("cannot write " + path);
}

void ImportAll(benchmark::State& state) {
  const zeltrix::testing::TempDir dir;
  const std::string source = dir.Path("exchange.prof");
  const std::string database = dir.Path("Profile.prof");
  WriteFile(source, ExchangeFile(static_cast<int>(state.range(0))));
  zeltrix::SettingsFile defaults;
  defaults.OpenBuffer("");
  zeltrix::WriteDefaultProfiles(defaults);
  const std::string freshDatabase = defaults.Render();
  for (auto _ : state) {
    state.PauseTiming();
    WriteFile(database, freshDatabase);
    state.ResumeTiming();
    zeltrix::SettingsFile exchange;
    exchange.Open(source);
    const auto existing = zeltrix::ListProfiles(database);
    const zeltrix::ImportPlan plan =
        zeltrix::PlanImport(zeltrix::ProfileNames(exchange), *existing, false);
    const zeltrix::ImportResult imported =
        zeltrix::ImportProfiles(exchange, plan.imports, database);
    if (!imported || imported->copied != static_cast<std::size_t>(state.range(0))) {
      state.SkipWithError("not every profile was copied");
    }
  }
}
BENCHMARK(ImportAll)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// A profile database of 100,000 profiles, written once for the benchmarks below.
class ManyProfiles {
 public:
  static constexpr int kCount = 100000;
  ManyProfiles() : m_bytes(ExchangeFile(kCount)) { WriteFile(Path(), m_bytes); }
  std::string Path() const { return m_dir.Path("Profile.prof"); }
  std::size_t Size() const { return m_bytes.size(); }

 private:
  zeltrix::testing::TempDir m_dir;
  std::string m_bytes;
};

const ManyProfiles& Database() {
  static const ManyProfiles database;
  return database;
}

// The profile in the middle of the file.
const std::string kMiddleName = "\xCF\xF0\xEE\xF4\xE8\xEB\xFC 50000";

void ReadManyProfiles(benchmark::State& state) {
  const ManyProfiles& database = Database();
  for (auto _ : state) {
    zeltrix::SettingsFile file;
    if (!file.Open(database.Path())) state.SkipWithError("not read");
    benchmark::DoNotOptimize(file.GroupNames().size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * database.Size()));
}
BENCHMARK(ReadManyProfiles)->Unit(benchmark::kMillisecond);

void ListManyProfiles(benchmark::State& state) {
  const ManyProfiles& database = Database();
  for (auto _ : state) {
    const auto names = zeltrix::ListProfiles(database.Path());
    if (!names || names->size() != ManyProfiles::kCount) state.SkipWithError("not listed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * database.Size()));
}
BENCHMARK(ListManyProfiles)->Unit(benchmark::kMillisecond);

void LoadOneOfManyProfiles(benchmark::State& state) {
  const ManyProfiles& database = Database();
  for (auto _ : state) {
    zeltrix::ProfileRecord record;
    const zeltrix::Result<bool> loaded = zeltrix::LoadProfile(database.Path(), kMiddleName, record);
    if (!loaded || !*loaded) state.SkipWithError("not loaded");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * database.Size()));
}
BENCHMARK(LoadOneOfManyProfiles)->Unit(benchmark::kMillisecond);

// One new profile into the database; from the second iteration on it is
// written over itself, which rewrites the file all the same.
void ImportOneIntoManyProfiles(benchmark::State& state) {
  const ManyProfiles& database = Database();
  const zeltrix::testing::TempDir dir;
  const std::string source = dir.Path("one.prof");
  WriteFile(source, "[Shared]\r\nOst1 = 3\r\n");
  for (auto _ : state) {
    const zeltrix::ImportResult imported =
        zeltrix::ImportProfiles(source, {{"Shared", "Shared"}}, database.Path());
    if (!imported || imported->copied != 1) state.SkipWithError("not imported");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * database.Size()));
}
BENCHMARK(ImportOneIntoManyProfiles)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--write-profiles=", 17) == 0) {
      const std::string request = argv[i] + 17;
      const std::size_t colon = request.find(':');
      WriteFile(request.substr(colon + 1), ExchangeFile(std::stoi(request.substr(0, colon))));
      return 0;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
