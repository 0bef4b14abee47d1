// ConvertText on a generated 10 MB Windows-1251 text with "ASM — DT For PIC",
// and on the character path: the same text with German letters on A02 and
// half-width katakana on A00, and what picking the path of a UTF-8 text costs.
// Run with --write-text=FILE to only write the text for the command-line timing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>

#include "bench/sample_text.h"
#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/engine_text.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"
#include "core/settings/settings_file.h"

namespace {

zeltrix::ProfileRecord Profile(const char* name) {
  zeltrix::SettingsFile file;
  file.OpenBuffer("");
  zeltrix::WriteDefaultProfiles(file);
  zeltrix::ProfileRecord record;
  zeltrix::LoadProfileFrom(file, name, record);
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

// The sample text as characters, its small Russian letters а to п replaced
// by characters of the ROM: German letters on A02, half-width katakana on
// A00. The other Russian letters stay; with look-alikes some are shown.
std::u32string SampleCharacters(zeltrix::CharacterRom rom) {
  std::u32string text = zeltrix::CodePageToUtf32(zeltrix::CodePage::Cp1251,
                                                 zeltrix::bench::SampleText(10 * 1024 * 1024));
  constexpr std::u32string_view kGerman = U"ÄÖÜßäöüéñÉ";
  for (char32_t& c : text) {
    if (c < U'а' || c > U'п') continue;
    const std::size_t i = c - U'а';
    c = rom == zeltrix::CharacterRom::A02 ? kGerman[i % kGerman.size()]
                                          : static_cast<char32_t>(0xFF71 + i);
  }
  return text;
}

void ConvertCharacters(benchmark::State& state) {
  const auto rom = static_cast<zeltrix::CharacterRom>(state.range(0));
  const std::u32string text = SampleCharacters(rom);
  zeltrix::ProfileRecord profile = Profile("ASM \x97 DT For PIC");
  profile.Rom = rom;
  profile.LookAlikes = 1;
  std::size_t outputSize = 0;
  for (auto _ : state) {
    const std::string out = zeltrix::ConvertText(std::u32string_view(text), profile);
    outputSize = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel(std::string(zeltrix::RomName(rom)) + ", 10 M characters");
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["output_MB"] = static_cast<double>(outputSize) / (1024 * 1024);
}
BENCHMARK(ConvertCharacters)
    ->Arg(static_cast<int>(zeltrix::CharacterRom::A02))
    ->Arg(static_cast<int>(zeltrix::CharacterRom::A00))
    ->Unit(benchmark::kMillisecond);

// The Windows-1251 sample on the character path, for comparison with ConvertTextDt.
void ConvertTextDtAsCharacters(benchmark::State& state) {
  const std::u32string text = zeltrix::CodePageToUtf32(
      zeltrix::CodePage::Cp1251, zeltrix::bench::SampleText(10 * 1024 * 1024));
  const zeltrix::ProfileRecord profile = Profile("ASM \x97 DT For PIC");
  for (auto _ : state) {
    const std::string out = zeltrix::ConvertText(std::u32string_view(text), profile);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ConvertTextDtAsCharacters)->Unit(benchmark::kMillisecond);

// Picking the path of a UTF-8 text: the Windows-1251 sample (byte path) and the A02 one.
void EngineTextFromUtf8(benchmark::State& state) {
  const std::string utf8 = state.range(0) == 0
                               ? zeltrix::Cp1251ToUtf8(zeltrix::bench::SampleText(10 * 1024 * 1024))
                               : zeltrix::Utf32ToUtf8(SampleCharacters(zeltrix::CharacterRom::A02));
  for (auto _ : state) {
    const zeltrix::EngineText text = zeltrix::EngineText::FromUtf8(utf8);
    benchmark::DoNotOptimize(&text);
  }
  state.SetLabel(state.range(0) == 0 ? "Windows-1251 text" : "German text");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(EngineTextFromUtf8)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
