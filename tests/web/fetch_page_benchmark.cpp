// How the time to gather a body grows with its size. The recording WinInet hands
// it out in 1024-byte pieces; a steady rate in bytes per second across the sizes
// shows that gathering is linear. Figures are printed, nothing is judged.

#include <benchmark/benchmark.h>

#include <string>

#include "fakes/fake_wininet.h"
#include "web/fetch_page.h"

namespace {

void gather_body(benchmark::State& state) {
  const std::string body(static_cast<std::size_t>(state.range(0)) << 20, 'x');
  for (auto _ : state) {
    state.PauseTiming();
    reset_fake_wininet();
    fake_wininet().reads.push_back({body, true});
    state.ResumeTiming();
    benchmark::DoNotOptimize(fetch_page("http://www.example.com/yuexitong/"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(body.size()));
}

}  // namespace

BENCHMARK(gather_body)->Arg(1)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
