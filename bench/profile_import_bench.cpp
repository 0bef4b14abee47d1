// Importing n profiles from an exchange file into a database of the three
// default profiles, as `zeltrix-cli profiles import FILE` does it: the
// exchange file read once for its names and its profiles, the database
// listed, the names matched, the profiles copied in one rewrite. Each
// iteration starts from the same database. Run with --write-profiles=N:FILE
// to only write an exchange file of N profiles for the command-line timing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "bench/silent_prompter.h"
#include "core/ini/settings_file.h"
#include "core/profiles/profile_database.h"
#include "core/profiles/profile_exchange.h"
#include "tests/support/temp_dir.h"

namespace {

// The default profiles under n new names: "Профиль 1" ... in Windows-1251.
std::string ExchangeFile(int n) {
  zeltrix::SettingsFile defaults;
  defaults.OpenBuffer("");
  zeltrix::WriteDefaultProfiles(defaults);
  zeltrix::bench::SilentPrompter prompter;
  zeltrix::ProfileRecord record;
  zeltrix::LoadProfileFrom(defaults, "MikroBasic For PIC", record, prompter);
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
  zeltrix::bench::SilentPrompter prompter;
  for (auto _ : state) {
    state.PauseTiming();
    WriteFile(database, freshDatabase);
    state.ResumeTiming();
    zeltrix::SettingsFile exchange;
    exchange.Open(source);
    const auto existing = zeltrix::ListProfiles(database);
    const zeltrix::ImportPlan plan =
        zeltrix::PlanImport(zeltrix::ProfileNames(exchange), *existing, false);
    const zeltrix::ImportOutcome outcome =
        zeltrix::ImportProfiles(exchange, plan.imports, database, prompter);
    if (outcome.copied != static_cast<std::size_t>(state.range(0))) {
      state.SkipWithError("not every profile was copied");
    }
  }
}
BENCHMARK(ImportAll)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

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
