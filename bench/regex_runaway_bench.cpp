// Patterns whose plain backtracking is exponential in the input length, and a greedy loop over
// one long line. Before failed states were remembered, "(a+)+b" took seconds at 22 characters
// and "(a|aa)*c" at 28; both must now stay well under a second at 10,000.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON
//   cmake --build build-bench --target regex_runaway_bench && build-bench/bench/regex_runaway_bench

#include <benchmark/benchmark.h>

#include <string>

#include "regex/Regex.h"

namespace {

// One search of `pattern` over `input`; the result is reported so runs can be compared.
void Search(benchmark::State& state, const char* pattern, const std::string& input,
            bool dotAll = true) {
  velmora::TRegex re;
  re.SetModifier(3, dotAll);
  re.SetExpression(pattern);
  bool found = false;
  for (auto _ : state) {
    found = re.ExecView(input);
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = found;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

void NestedPlus(benchmark::State& state) {
  Search(state, "(a+)+b", std::string(static_cast<std::size_t>(state.range(0)), 'a') + "!b");
}

void AlternationStar(benchmark::State& state) {
  Search(state, "(a|aa)*c", std::string(static_cast<std::size_t>(state.range(0)), 'a') + "!c");
}

// "." without s is no repeat operand of its own; its loop must still backtrack by counting.
void DotStarOverALongLine(benchmark::State& state) {
  const std::string line =
      "j" + std::string(static_cast<std::size_t>(state.range(0)), 'x') + "needle" + "xxxx";
  Search(state, "j.*needle", line, false);
}

BENCHMARK(NestedPlus)->Arg(28)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(AlternationStar)->Arg(40)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(DotStarOverALongLine)->Arg(1 << 24)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
