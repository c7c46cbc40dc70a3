// Regex engine throughput against PCRE2's interpreter (no JIT), line by line over a fixed
// generated 20 MB text, the way the search engines run it: one search per line, stopping at the
// first match. Each benchmark reports the number of matching lines, which must agree between
// the two engines for the comparison to mean anything.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON
//   cmake --build build-bench --target regex_bench && build-bench/bench/regex_bench

#define PCRE2_CODE_UNIT_WIDTH 8
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "regex/Regex.h"

namespace {

// ---- the text -------------------------------------------------------------------------------

// A small fixed generator, so every run and every machine sees the same bytes.
class Lcg {
 public:
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint64_t state_ = 20261206;
};

const char* const kWords[] = {
    "the",   "search",  "file",    "folder", "value",  "return",  "static",  "const",
    "int",   "string",  "buffer",  "line",   "result", "match",   "words",   "sword",
    "word",  "foo",     "bar",     "baz",    "foobar", "timeout", "Timeout", "TIMEOUT",
    "count", "index",   "private", "public", "void",   "while",   "for",     "if",
    "else",  "include", "define",  "data",   "node",   "next",    "offset",  "length"};

std::string Number(Lcg& rng, int digits) {
  std::string text;
  for (int i = 0; i < digits; ++i) text += static_cast<char>('0' + rng.Below(10));
  return text;
}

std::string MakeLine(Lcg& rng) {
  const std::uint32_t kind = rng.Below(100);
  if (kind < 4) return "#include <" + std::string(kWords[rng.Below(40)]) + ".h>";
  if (kind < 6) return "  #  include \"" + std::string(kWords[rng.Below(40)]) + ".h\"";
  std::string line = kind < 30 ? "    " : "";
  const std::uint32_t count = 3 + rng.Below(12);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i > 0) line += ' ';
    const std::uint32_t item = rng.Below(60);
    if (item < 40) {
      line += kWords[item];
    } else if (item < 44) {
      line += Number(rng, 1 + rng.Below(4)) + "-" + Number(rng, 1 + rng.Below(4));
    } else if (item < 46) {
      line += "(" + Number(rng, 3) + ") " + Number(rng, 3) + "-" + Number(rng, 4);
    } else if (item < 47) {
      line += Number(rng, 3) + "." + Number(rng, 3) + "." + Number(rng, 4);
    } else if (item < 50) {
      line += (rng.Below(2) ? "foo" : "bar") + std::string(rng.Below(3) ? "baz" : "bat");
    } else if (item < 55) {
      line += Number(rng, 1 + rng.Below(6));
    } else {
      line += "x" + Number(rng, 2) + "_" + kWords[rng.Below(40)] + ";";
    }
  }
  return line;
}

struct Text {
  std::string bytes;
  std::vector<std::string_view> lines;
};

const Text& TheText() {
  static const Text text = [] {
    constexpr std::size_t kSize = 20u << 20;
    Text t;
    Lcg rng;
    t.bytes.reserve(kSize + 256);
    while (t.bytes.size() < kSize) {
      t.bytes += MakeLine(rng);
      t.bytes += '\n';
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < t.bytes.size(); ++i) {
      if (t.bytes[i] != '\n') continue;
      t.lines.emplace_back(t.bytes.data() + start, i - start);
      start = i + 1;
    }
    return t;
  }();
  return text;
}

// ---- the patterns ---------------------------------------------------------------------------

struct Pattern {
  const char* name;
  const char* pattern;
  bool ignoreCase;
};

const Pattern kPatterns[] = {
    {"literal", "timeout", false},
    {"literal_ci", "timeout", true},
    {"word_boundary", "\\bword\\b", false},
    {"digits_dash_digits", "[0-9]+-[0-9]+", false},
    {"alternation", "(foo|bar)baz", false},
    {"include_line", "^\\s*#include", false},
    {"phone", "\\(?[0-9]{3}\\)?[-. ]?[0-9]{3}[-. ][0-9]{4}", false},
};

void RunVelmora(benchmark::State& state, const Pattern& p) {
  const Text& text = TheText();
  velmora::TRegex re;
  re.SetModifier(1, p.ignoreCase);
  re.SetExpression(p.pattern);
  std::int64_t matched = 0;
  for (auto _ : state) {
    matched = 0;
    for (const std::string_view line : text.lines) matched += re.ExecView(line);
    benchmark::DoNotOptimize(matched);
  }
  state.counters["lines_matched"] = static_cast<double>(matched);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.bytes.size()));
}

void RunPcre2(benchmark::State& state, const Pattern& p) {
  const Text& text = TheText();
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.pattern), PCRE2_ZERO_TERMINATED,
                                   p.ignoreCase ? PCRE2_CASELESS : 0u, &error, &offset, nullptr);
  if (code == nullptr) throw std::runtime_error("pcre2_compile failed");
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  std::int64_t matched = 0;
  for (auto _ : state) {
    matched = 0;
    for (const std::string_view line : text.lines) {
      matched += pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), 0, 0,
                             data, nullptr) >= 0;
    }
    benchmark::DoNotOptimize(matched);
  }
  state.counters["lines_matched"] = static_cast<double>(matched);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.bytes.size()));
  pcre2_match_data_free(data);
  pcre2_code_free(code);
}

const bool kRegistered = [] {
  for (const Pattern& p : kPatterns) {
    benchmark::RegisterBenchmark((std::string(p.name) + "/velmora").c_str(),
                                 [&p](benchmark::State& s) { RunVelmora(s, p); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string(p.name) + "/pcre2").c_str(),
                                 [&p](benchmark::State& s) { RunPcre2(s, p); })
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
