// Intel HEX files: writing and reading the text of an image the size of a
// 24C512 chip (64 KiB) and of a 16 MiB one, with 16- and 32-byte records; and
// WriteImageBlock appending a line of codes to the HEX file of a 1 MiB image,
// which reads, changes and writes back the whole file under its lock.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "bench/silent_prompter.h"
#include "core/image/image_writer.h"
#include "core/image/intel_hex.h"

namespace {

zeltrix::HexFile FileOf(std::size_t bytes) {
  std::string data(bytes, '\0');
  for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<char>(i * 7 + i / 251);
  zeltrix::HexFile file;
  file.image.Put(0, data);
  return file;
}

void WriteHex(benchmark::State& state) {
  const zeltrix::HexFile file = FileOf(static_cast<std::size_t>(state.range(0)));
  std::size_t written = 0;
  for (auto _ : state) {
    const std::string text = zeltrix::WriteIntelHex(file, static_cast<int>(state.range(1)));
    written = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
}
BENCHMARK(WriteHex)
    ->Args({64 << 10, 16})
    ->Args({16 << 20, 16})
    ->Args({16 << 20, 32})
    ->Unit(benchmark::kMillisecond);

void ReadHex(benchmark::State& state) {
  const std::string text = zeltrix::WriteIntelHex(FileOf(static_cast<std::size_t>(state.range(0))),
                                                  static_cast<int>(state.range(1)));
  for (auto _ : state) {
    const zeltrix::Result<zeltrix::HexFile, zeltrix::HexFault> file = zeltrix::ReadIntelHex(text);
    if (!file) state.SkipWithError("not read");
    benchmark::DoNotOptimize(file->image.End());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadHex)
    ->Args({64 << 10, 16})
    ->Args({16 << 20, 16})
    ->Args({16 << 20, 32})
    ->Unit(benchmark::kMillisecond);

void AppendToHexFile(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zeltrix-hex-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
  const std::string path = pattern + "/image.hex";
  const std::string original = zeltrix::WriteIntelHex(FileOf(1 << 20));
  const zeltrix::ImageFormat format{.file = zeltrix::ImageFileFormat::IntelHex};
  zeltrix::bench::SilentPrompter prompter;
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    state.ResumeTiming();
    if (!zeltrix::WriteImageBlock(path, "Hello, World", format, zeltrix::kBinExistingFile,
                                  zeltrix::kBinAtEnd, zeltrix::kBinInsert, "0", prompter)) {
      state.SkipWithError("not written");
    }
  }
  std::filesystem::remove_all(pattern);
}
BENCHMARK(AppendToHexFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
