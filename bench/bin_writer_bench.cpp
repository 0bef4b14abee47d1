// WriteBinImage putting the codes of a 10 MB Windows-1251 text into a 100 MB file:
// inserted at address 0, written over the bytes from address 0, and appended;
// beside it cp of the same 100 MB file, alone and followed by an fsync, for
// comparison. Run one case at a time under /usr/bin/time -v (with
// --benchmark_filter) to see its peak memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "bench/sample_text.h"
#include "bench/silent_prompter.h"
#include "core/lcd/bin_writer.h"

namespace {

constexpr std::size_t kFileBytes = 100 * 1000 * 1000;
constexpr std::size_t kTextBytes = 10 * 1024 * 1024;

// A scratch folder with the 100 MB file, made once and removed at exit.
class Scratch {
 public:
  Scratch() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zeltrix-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    m_dir = pattern;
    // Written a megabyte at a time, so that making it adds nothing to the peak memory.
    std::ofstream out(Original(), std::ios::binary);
    std::mt19937_64 random(1);
    std::string piece(1000 * 1000, '\0');
    for (std::size_t done = 0; done < kFileBytes; done += piece.size()) {
      for (std::size_t i = 0; i + 8 <= piece.size(); i += 8) {
        const std::uint64_t word = random();
        std::memcpy(piece.data() + i, &word, 8);
      }
      out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    }
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }

  std::string Original() const { return m_dir + "/original.bin"; }
  std::string Target() const { return m_dir + "/target.bin"; }

  // Puts a fresh copy of the 100 MB file at the target and waits until it is
  // on disk, so that no write-back of the setup falls into the timed part.
  void ResetTarget() const {
    std::filesystem::copy_file(Original(), Target(),
                               std::filesystem::copy_options::overwrite_existing);
    const int fd = ::open(Target().c_str(), O_RDWR);
    ::fsync(fd);
    ::close(fd);
  }

 private:
  std::string m_dir;
};

const Scratch& TheScratch() {
  static const Scratch scratch;
  return scratch;
}

const std::string& PreparedText() {
  static const std::string text = *zeltrix::PrepareBinText(
      "target.bin", zeltrix::bench::SampleText(kTextBytes), false, false, 2);
  return text;
}

void Write(benchmark::State& state, zeltrix::BinTarget target, zeltrix::BinPlacement placement,
           zeltrix::BinManner manner) {
  const Scratch& scratch = TheScratch();
  const std::string& text = PreparedText();
  zeltrix::bench::SilentPrompter prompter(zeltrix::MessageAnswer::Yes);
  for (auto _ : state) {
    state.PauseTiming();
    scratch.ResetTarget();
    state.ResumeTiming();
    if (!zeltrix::WriteBinImage(scratch.Target(), text, target, placement, manner, "0", prompter)) {
      state.SkipWithError("not written");
    }
  }
  state.counters["file_MB"] =
      static_cast<double>(std::filesystem::file_size(scratch.Target())) / 1e6;
}

void InsertAtZero(benchmark::State& state) {
  Write(state, zeltrix::kBinExistingFile, zeltrix::kBinAtAddress, zeltrix::kBinInsert);
}
BENCHMARK(InsertAtZero)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReplaceAtZero(benchmark::State& state) {
  Write(state, zeltrix::kBinExistingFile, zeltrix::kBinAtAddress, zeltrix::kBinReplace);
}
BENCHMARK(ReplaceAtZero)->Unit(benchmark::kMillisecond)->UseRealTime();

void Append(benchmark::State& state) {
  Write(state, zeltrix::kBinExistingFile, zeltrix::kBinAtEnd, zeltrix::kBinInsert);
}
BENCHMARK(Append)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: cp of the same file, and cp that then waits for the disk as
// every rewrite of the writer does.
void CopyWithCp(benchmark::State& state, bool flush) {
  const Scratch& scratch = TheScratch();
  const std::string copy = scratch.Target() + ".cp";
  const std::string command = "cp '" + scratch.Original() + "' '" + copy + "'" +
                              (flush ? " && sync '" + copy + "'" : std::string());
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(copy);
    ::sync();
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
  }
}

void Cp(benchmark::State& state) { CopyWithCp(state, false); }
BENCHMARK(Cp)->Unit(benchmark::kMillisecond)->UseRealTime();

void CpAndSync(benchmark::State& state) { CopyWithCp(state, true); }
BENCHMARK(CpAndSync)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
