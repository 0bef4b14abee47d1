// ConvertText on a generated 10 MB Windows-1251 text with "ASM — DT For PIC".
// Run with --write-text=FILE to only write the text for the command-line timing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>

#include "bench/sample_text.h"
#include "bench/silent_prompter.h"
#include "core/ini/settings_file.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"

namespace {

zeltrix::ProfileRecord Profile(const char* name) {
  zeltrix::SettingsFile file;
  file.OpenBuffer("");
  zeltrix::WriteDefaultProfiles(file);
  zeltrix::ProfileRecord record;
  zeltrix::bench::SilentPrompter prompter;
  zeltrix::LoadProfileFrom(file, name, record, prompter);
  return record;
}

class NeverStop : public zeltrix::ConvertObserver {
 public:
  void SetMaximum(std::size_t) override {}
  void SetValue(std::size_t) override {}
  bool WantsToStop() override { return false; }
};

void ConvertTextDt(benchmark::State& state) {
  const std::string text = zeltrix::bench::SampleText(10 * 1024 * 1024);
  const zeltrix::ProfileRecord profile = Profile("ASM \x97 DT For PIC");
  std::size_t outputSize = 0;
  for (auto _ : state) {
    const std::string out = zeltrix::ConvertText(text, profile);
    outputSize = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["output_MB"] = static_cast<double>(outputSize) / (1024 * 1024);
}
BENCHMARK(ConvertTextDt)->Unit(benchmark::kMillisecond);

void ConvertTextDtObserved(benchmark::State& state) {
  const std::string text = zeltrix::bench::SampleText(10 * 1024 * 1024);
  const zeltrix::ProfileRecord profile = Profile("ASM \x97 DT For PIC");
  NeverStop observer;
  for (auto _ : state) {
    const std::string out = zeltrix::ConvertText(text, profile, &observer);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ConvertTextDtObserved)->Unit(benchmark::kMillisecond);

void ConvertTextMikroBasic(benchmark::State& state) {
  const std::string text = zeltrix::bench::SampleText(10 * 1024 * 1024);
  const zeltrix::ProfileRecord profile = Profile("MikroBasic For PIC");
  for (auto _ : state) {
    const std::string out = zeltrix::ConvertText(text, profile);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ConvertTextMikroBasic)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--write-text=", 13) == 0) {
      const std::string text = zeltrix::bench::SampleText(10 * 1024 * 1024);
      std::ofstream(argv[i] + 13, std::ios::binary)
          .write(text.data(), static_cast<std::streamsize>(text.size()));
      return 0;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
