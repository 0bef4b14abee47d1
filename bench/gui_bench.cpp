// The real main window on the offscreen platform: start-up, with the default
// profiles and with 100,000 of them, and its profile window with those; Convert
// of a 1 MB text; opening and saving a 10 MB text file, in Windows-1251 and in
// UTF-8; Convert and the profile window's sample with a profile field of megabytes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <filesystem>
#include <fstream>

#include "bench/sample_text.h"
#include "core/io/single_byte_codec.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"
#include "gui/main/code_editor.h"
#include "gui/main/main_window.h"
#include "gui/profiles/format_preview.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/scripted_requester.h"
#include "tests/support/temp_dir.h"

namespace {

using zeltrix::Command;
using zeltrix::MainWindow;

// A program directory with the default profiles, and a window over it.
struct Program {
  Program() {
    zeltrix::testing::RecordingPrompter yes;
    yes.answers = {zeltrix::MessageAnswer::Yes};
    zeltrix::CreateDefaultProfiles(Paths().profiles, yes);
  }
  zeltrix::ProgramPaths Paths() const { return zeltrix::ProgramPaths::InDirectory(dir.Root()); }
  std::unique_ptr<MainWindow> Start(const QStringList& arguments = {}) {
    return zeltrix::StartUp(Paths(), QStringList{"zeltrix"} + arguments, prompter, requester);
  }

  zeltrix::testing::TempDir dir;
  zeltrix::testing::RecordingPrompter prompter;
  zeltrix::testing::ScriptedRequester requester;
};

// Paints the editor, which colours the lines it shows.
void Show(zeltrix::CodeEditor* editor) {
  QCoreApplication::processEvents();
  benchmark::DoNotOptimize(editor->grab());
}

void StartUpToTheWindowShown(benchmark::State& state) {
  Program program;
  for (auto _ : state) {
    auto window = program.Start();
    Show(window->SourceEditor());
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(StartUpToTheWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime();

// A Profile.prof of 100,000 profiles (43 MB), each like the third default one.
std::string ManyProfiles() {
  std::string group = zeltrix::testing::ReadBytes(Program().Paths().profiles);
  group = group.substr(group.find("[MikroBasic"));
  group = group.substr(group.find(']'));
  std::string database;
  database.reserve(100000 * (group.size() + 16));
  for (int i = 1; i <= 100000; ++i) database += "[Profile " + std::to_string(i) + group;
  return database;
}

void StartUpWithManyProfiles(benchmark::State& state) {
  Program program;
  zeltrix::testing::WriteBytes(program.Paths().profiles, ManyProfiles());
  for (auto _ : state) {
    auto window = program.Start();
    Show(window->SourceEditor());
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(StartUpWithManyProfiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void OpenProfileWindowWithManyProfiles(benchmark::State& state) {
  Program program;
  zeltrix::testing::WriteBytes(program.Paths().profiles, ManyProfiles());
  auto window = program.Start();
  for (auto _ : state) {
    window->Execute(Command::ManageProfiles);
    QCoreApplication::processEvents();
    state.PauseTiming();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "profileWindow" && w->isVisible()) w->close();
    }
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(OpenProfileWindowWithManyProfiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void ConvertOneMegabyteDt(benchmark::State& state) {
  Program program;
  auto window = program.Start();
  window->SourceEditor()->SetCp1251Text(zeltrix::bench::SampleText(1 << 20));
  for (auto _ : state) {
    window->Execute(Command::Convert);
    Show(window->OutputEditor());
  }
  state.counters["output_MB"] = static_cast<double>(window->OutputEditor()->length()) / (1 << 20);
}
BENCHMARK(ConvertOneMegabyteDt)->Unit(benchmark::kMillisecond)->UseRealTime();

void StartWithTenMegabyteFile(benchmark::State& state) {
  Program program;
  const std::string path = program.dir.Path("big.txt");
  zeltrix::testing::WriteBytes(path, zeltrix::bench::SampleText(10 << 20));
  for (auto _ : state) {
    auto window = program.Start({QString::fromStdString(path)});
    Show(window->SourceEditor());
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(StartWithTenMegabyteFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void OpenTenMegabyteFile(benchmark::State& state) {
  Program program;
  const std::string path = program.dir.Path("big.txt");
  zeltrix::testing::WriteBytes(path, zeltrix::bench::SampleText(10 << 20));
  auto window = program.Start();
  for (auto _ : state) {
    program.requester.answers = {path};
    window->Execute(Command::Open);
    Show(window->SourceEditor());
  }
}
BENCHMARK(OpenTenMegabyteFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveTenMegabyteFile(benchmark::State& state) {
  Program program;
  const std::string path = program.dir.Path("big.txt");
  zeltrix::testing::WriteBytes(path, zeltrix::bench::SampleText(10 << 20));
  auto window = program.Start();
  program.requester.answers = {path};
  window->Execute(Command::Open);
  for (auto _ : state) window->Execute(Command::Save);
}
BENCHMARK(SaveTenMegabyteFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// 10 MB of the sample text in UTF-8, cut at a character's start.
std::string TenMegabytesOfUtf8() {
  std::string utf8 = zeltrix::Cp1251ToUtf8(zeltrix::bench::SampleText(10 << 20));
  utf8.resize(10 << 20);
  while ((static_cast<unsigned char>(utf8.back()) & 0xC0) == 0x80) utf8.pop_back();
  if (static_cast<unsigned char>(utf8.back()) >= 0xC0) utf8.pop_back();
  return utf8;
}

// The window's path field names the encoding the document is read and saved in.
bool ShownAsUtf8(const zeltrix::MainWindow& window) {
  const auto* field = window.findChild<QLabel*>("pathField");
  return field != nullptr && field->text().endsWith(" — UTF-8");
}

void OpenTenMegabyteUtf8File(benchmark::State& state) {
  Program program;
  const std::string path = program.dir.Path("big-utf8.txt");
  zeltrix::testing::WriteBytes(path, TenMegabytesOfUtf8());
  auto window = program.Start();
  for (auto _ : state) {
    program.requester.answers = {path};
    window->Execute(Command::Open);
    Show(window->SourceEditor());
  }
  if (!ShownAsUtf8(*window)) state.SkipWithError("not UTF-8");
}
BENCHMARK(OpenTenMegabyteUtf8File)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveTenMegabyteUtf8File(benchmark::State& state) {
  Program program;
  const std::string path = program.dir.Path("big-utf8.txt");
  zeltrix::testing::WriteBytes(path, TenMegabytesOfUtf8());
  auto window = program.Start();
  program.requester.answers = {path};
  window->Execute(Command::Open);
  for (auto _ : state) window->Execute(Command::Save);
  if (!ShownAsUtf8(*window)) state.SkipWithError("not UTF-8");
}
BENCHMARK(SaveTenMegabyteUtf8File)->Unit(benchmark::kMillisecond)->UseRealTime();

// A profile whose StartData is 4 MB, as a shared file may hold one.
zeltrix::ProfileRecord LongStartData(std::size_t bytes) {
  zeltrix::ProfileRecord record;
  record.Ost1 = 4;
  record.Ost2 = 4;
  record.Directive = "Dt";
  record.StartData = std::string(bytes, 'x');
  record.RazdelitelData = ", ";
  record.Comment = "; ";
  record.CommentState = 1;
  record.CountByte = 8;
  return record;
}

void ConvertHiWithAFourMegabyteStartData(benchmark::State& state) {
  Program program;
  zeltrix::SaveProfile(program.Paths().profiles, "Long", LongStartData(4 << 20));
  auto window = program.Start();
  window->ProfileSelector()->setCurrentIndex(window->ProfileSelector()->count() - 1);
  window->SourceEditor()->SetCp1251Text("Hi");
  for (auto _ : state) {
    window->Execute(Command::Convert);
    Show(window->OutputEditor());
  }
  state.counters["output_MB"] = static_cast<double>(window->OutputEditor()->length()) / (1 << 20);
}
BENCHMARK(ConvertHiWithAFourMegabyteStartData)->Unit(benchmark::kMillisecond)->UseRealTime();

// The profile window's sample box, with the longest text its fields take
// (32767 characters) and with a field of 4 MB.
void ProfileSampleOfALongStartData(benchmark::State& state) {
  QPlainTextEdit box;
  const zeltrix::ProfileRecord record = LongStartData(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    zeltrix::ShowFormatPreview(&box, record);
    benchmark::DoNotOptimize(box.grab());
  }
}
BENCHMARK(ProfileSampleOfALongStartData)
    ->Arg(32767)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  zeltrix::RegisterEditorFontSubstitutes();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
