// Custom characters on a generated 1 MB Windows-1251 text shown on an A00
// module: planning the slots of every screen, the data lines of
// "ASM — DT For PIC" with the option on, and the BIN records. Each run reports
// the process's peak memory so far (which the text, the output and the ROM
// tables dominate).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "bench/sample_text.h"
#include "core/lcd/cgram_output.h"
#include "core/lcd/cgram_plan.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"
#include "core/settings/settings_file.h"

namespace zeltrix {
namespace {

ProfileRecord DtWithCustomCharacters(LcdGeometry size, bool lookAlikes) {
  SettingsFile file;
  file.OpenBuffer("");
  WriteDefaultProfiles(file);
  ProfileRecord record;
  LoadProfileFrom(file, "ASM \x97 DT For PIC", record);
  record.Rom = CharacterRom::A00;
  record.LookAlikes = lookAlikes ? 1 : 0;
  record.Cgram = 1;
  record.Size = size;
  return record;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

// 16x2 and 20x4, without and with look-alikes.
LcdGeometry SizeOf(const benchmark::State& state) {
  return state.range(0) == 0 ? LcdGeometry{16, 2} : LcdGeometry{20, 4};
}

void PlanCgramScreens1MB(benchmark::State& state) {
  const EngineText text = EngineText::FromCp1251(bench::SampleText(1 << 20));
  const CgramSetup setup = CgramSetupOf(DtWithCustomCharacters(SizeOf(state), state.range(1) != 0));
  std::size_t screens = 0;
  std::size_t overflowing = 0;
  for (auto _ : state) {
    screens = 0;
    overflowing = 0;
    PlanCgramScreens(text, setup, [&](const CgramScreen& screen) {
      ++screens;
      overflowing += screen.report.Overflows() ? 1 : 0;
      return true;
    });
  }
  state.counters["screens"] = static_cast<double>(screens);
  state.counters["overflowing"] = static_cast<double>(overflowing);
  state.counters["peak_MB"] = PeakMegabytes();
  state.SetLabel(GeometryName(setup.geometry));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}
BENCHMARK(PlanCgramScreens1MB)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

void ConvertCgramText1MB(benchmark::State& state) {
  const std::string text = bench::SampleText(1 << 20);
  const ProfileRecord profile = DtWithCustomCharacters(SizeOf(state), state.range(1) != 0);
  std::size_t outputSize = 0;
  std::vector<CgramReport> reports;
  for (auto _ : state) {
    reports.clear();
    const std::string out = ConvertText(text, profile, nullptr, &reports);
    outputSize = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["output_MB"] = static_cast<double>(outputSize) / (1024 * 1024);
  state.counters["reports"] = static_cast<double>(reports.size());
  state.counters["peak_MB"] = PeakMegabytes();
  state.SetLabel(GeometryName(profile.Size));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}
BENCHMARK(ConvertCgramText1MB)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

void MakeCgramRecords1MB(benchmark::State& state) {
  const EngineText text = EngineText::FromCp1251(bench::SampleText(1 << 20));
  const CgramSetup setup = CgramSetupOf(DtWithCustomCharacters(SizeOf(state), false));
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string records = MakeCgramRecords(text, setup);
    size = records.size();
    benchmark::DoNotOptimize(records.data());
  }
  state.counters["records_MB"] = static_cast<double>(size) / (1024 * 1024);
  state.counters["peak_MB"] = PeakMegabytes();
  state.SetLabel(GeometryName(setup.geometry));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}
BENCHMARK(MakeCgramRecords1MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zeltrix

BENCHMARK_MAIN();
