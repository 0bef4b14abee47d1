// The LCD preview's core: a 1 MB text laid out into screens and every screen
// drawn into dots, the goal being well under 100 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/sample_text.h"
#include "core/lcd/lcd_screen.h"
#include "core/lcd/screen_layout.h"

namespace zeltrix {
namespace {

void RenderAllScreens(benchmark::State& state) {
  const LcdGeometry geometry = kLcdGeometries[static_cast<std::size_t>(state.range(0))];
  const std::string text = bench::SampleText(1 << 20);
  const LcdScreen screen(geometry);
  DotBitmap bitmap;
  std::size_t lit = 0;
  for (auto _ : state) {
    const std::vector<ScreenPage> pages = LayOutScreens(text, geometry);
    for (const ScreenPage& page : pages) {
      screen.Render(page, bitmap);
      lit += bitmap.dots[0];
    }
    state.counters["screens"] = static_cast<double>(pages.size());
  }
  benchmark::DoNotOptimize(lit);
  state.SetLabel(GeometryName(geometry));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
// 8x1, 16x2 and 40x4.
BENCHMARK(RenderAllScreens)->Arg(0)->Arg(3)->Arg(9)->Unit(benchmark::kMillisecond);

// What the window does on each change: the screen at the text's end.
void LayOutLastScreen(benchmark::State& state) {
  const std::string text = bench::SampleText(1 << 20);
  const LcdScreen screen;
  for (auto _ : state) {
    const std::size_t last = CountScreens(text, kDefaultLcdGeometry) - 1;
    benchmark::DoNotOptimize(screen.Render(LayOutScreen(text, kDefaultLcdGeometry, last)));
  }
}
BENCHMARK(LayOutLastScreen)->Unit(benchmark::kMillisecond);

// The same with LF-only line ends, as texts written on Linux have them: the
// walk over the lines must stay linear when no CR is ever found.
void LayOutLastScreenLfOnly(benchmark::State& state) {
  const std::size_t bytes = 1 << 20;
  std::string text = bench::SampleText(bytes + bytes / 30);
  std::erase(text, '\r');
  text.resize(bytes);
  const LcdScreen screen;
  for (auto _ : state) {
    const std::size_t last = CountScreens(text, kDefaultLcdGeometry) - 1;
    benchmark::DoNotOptimize(screen.Render(LayOutScreen(text, kDefaultLcdGeometry, last)));
  }
}
BENCHMARK(LayOutLastScreenLfOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zeltrix

BENCHMARK_MAIN();
