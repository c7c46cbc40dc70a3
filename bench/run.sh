#!/usr/bin/env bash
# Times "velmora-cli find" against GNU grep and ripgrep on one corpus, side by side, and
# prints one table: the median wall time of several warm runs per tool and row (the tools
# take turns run by run), Velmora's
# ratio to single-threaded grep (to find for the listing row), the number of files each tool
# reported, and Velmora's peak memory per row.
#
# Usage: bench/run.sh [CORPUS]
#   CORPUS defaults to bench/corpus/tree, built once (deterministically) by make_corpus.py.
#   RUNS=n sets the timed runs per cell (default 5, after one warm-up run).
#   VELMORA_CLI=path uses a ready executable instead of building a release one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-$root/bench/corpus/tree}
runs=${RUNS:-5}
# Bytes in, bytes out for every tool, as Velmora does; also keeps grep -i on its fast path.
export LC_ALL=C

if [ $# -eq 0 ] && [ ! -e "$corpus.stamp" ]; then
  echo "Building the corpus in $corpus ..." >&2
  python3 "$root/bench/make_corpus.py" "$corpus" >&2
  touch "$corpus.stamp"
fi
[ -d "$corpus" ] || { echo "no corpus folder: $corpus" >&2; exit 2; }

if [ -z "${VELMORA_CLI:-}" ]; then
  build=$root/build/bench-release
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF \
    -DVELMORA_BUILD_GUI=OFF >/dev/null
  cmake --build "$build" --target velmora-cli >/dev/null
  VELMORA_CLI=$build/velmora-cli
fi
vel=$VELMORA_CLI

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# now_ns: monotonic-enough wall clock in nanoseconds.
now_ns() { date +%s%N; }

# time_us CMD...: the wall time of one run in microseconds, output discarded.
time_us() {
  local start end
  start=$(now_ns)
  "$@" >/dev/null 2>&1 || true
  end=$(now_ns)
  echo $(((end - start) / 1000))
}

# median_ms FILE: the median of the microsecond figures in FILE, in milliseconds.
median_ms() {
  sort -n "$1" | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }'
}

# count_files NAME CMD...: one warm-up run whose output is kept; prints the lines it printed.
# Exit status 1 (nothing found) is not a failure.
count_files() {
  local name=$1; shift
  "$@" >"$scratch/$name.out" 2>/dev/null || [ $? -eq 1 ] || { echo "failed: $*" >&2; exit 2; }
  wc -l <"$scratch/$name.out"
}

# peak_mb CMD...: Velmora's maximum resident set size in MB.
peak_mb() {
  /usr/bin/time -v "$@" 2>"$scratch/time.txt" >/dev/null || true
  awk -F: '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$scratch/time.txt"
}

rg1=(rg -j1 --no-ignore --hidden)
printf '%-28s %9s %9s %9s %9s %7s  %-23s %8s\n' "row" "velmora" "grep" "rg -j1" "rg" "ratio" \
  "files v/g/rg1/rg" "peak MB"
printf '%-28s %9s %9s %9s %9s %7s  %-23s %8s\n' "" "ms" "ms" "ms" "ms" "v/grep" "" "velmora"

# row TARGET LABEL "velmora args" "grep args" "rg args": one table row; TARGET is the largest
# acceptable ratio to grep (to find for the listing). The args are word-split.
row() {
  local target=$1 label=$2 vargs=$3 gargs=$4 rargs=$5
  local -a va ga ra
  eval "va=($vargs)"; eval "ga=($gargs)"; eval "ra=($rargs)"
  local -a gcmd
  if [ "${ga[0]}" = "FIND" ]; then gcmd=(find "$corpus" -type f); else gcmd=(grep -rl "${ga[@]}" "$corpus"); fi
  local vc gc r1c rc
  vc=$(count_files vel "$vel" find "${va[@]}" "$corpus") || exit 2
  gc=$(count_files grep "${gcmd[@]}") || exit 2
  r1c=$(count_files rg1 "${rg1[@]}" "${ra[@]}" "$corpus") || exit 2
  rc=$(count_files rg rg "${ra[@]}" "$corpus") || exit 2
  # Round-robin, so that a change in the machine's load hits every tool alike.
  rm -f "$scratch"/*.us
  local i
  for ((i = 0; i < runs; i++)); do
    time_us "$vel" find "${va[@]}" "$corpus" >>"$scratch/vel.us"
    time_us "${gcmd[@]}" >>"$scratch/grep.us"
    time_us "${rg1[@]}" "${ra[@]}" "$corpus" >>"$scratch/rg1.us"
    time_us rg "${ra[@]}" "$corpus" >>"$scratch/rg.us"
  done
  local vt gt r1t rt
  vt=$(median_ms "$scratch/vel.us"); gt=$(median_ms "$scratch/grep.us")
  r1t=$(median_ms "$scratch/rg1.us"); rt=$(median_ms "$scratch/rg.us")
  local ratio
  ratio=$(awk -v a="$vt" -v b="$gt" -v t="$target" \
    'BEGIN { if (b > 0) printf "%.2f%s", a / b, (a / b <= t ? "" : "!"); else print "-" }')
  printf '%-28s %9s %9s %9s %9s %7s  %-23s %8s\n' "$label" "$vt" "$gt" "$r1t" "$rt" "$ratio" \
    "$vc/$gc/$r1c/$rc" "$(peak_mb "$vel" find "${va[@]}" "$corpus")"
}

row 1.5 "phrase (~5% of files)" "--case-sensitive --query 'unsigned long'" "-F -- 'unsigned long'" \
  "-l -F -- 'unsigned long'"
row 1.5 "phrase, not case-sensitive" "--query 'unsigned long'" "-F -i -- 'unsigned long'" \
  "-l -F -i -- 'unsigned long'"
row 1.5 "whole word" "--case-sensitive --whole-words --query thread" "-F -w -- thread" \
  "-l -F -w -- thread"
row 1.5 "phrase found nowhere" "--case-sensitive --query 'qzxv jkwq'" "-F -- 'qzxv jkwq'" \
  "-l -F -- 'qzxv jkwq'"
row 3 "regex [0-9]+-[0-9]+" "--type regex --case-sensitive --query '[0-9]+-[0-9]+'" \
  "-E -- '[0-9]+-[0-9]+'" "-l -- '[0-9]+-[0-9]+'"
row 3 "regex (foo|bar)baz" "--type regex --case-sensitive --query '(foo|bar)baz'" \
  "-E -- '(foo|bar)baz'" "-l -- '(foo|bar)baz'"
row 1.5 "word-or of three words" "--type word-or --case-sensitive --query 'socket column signal'" \
  "-F -e socket -e column -e signal" "-l -F -e socket -e column -e signal"
row 2 "list every file (vs find)" "" "FIND" "--files"

echo
echo "corpus: $corpus ($(du -sh "$corpus" | cut -f1), $(find "$corpus" -type f | wc -l) files," \
  "largest $(find "$corpus" -type f -printf '%s\n' | sort -n | tail -1 | awk '{printf "%.1f MB", $1 / 1048576}'))"
echo "median of $runs warm runs each, tools taking turns; LC_ALL=C; grep -rl is single-threaded"
echo "ratio = velmora / grep (listing: velmora / find -type f); \"!\" marks a ratio above the row's" \
  "target (literal rows 1.5, regex rows 3, listing 2)"
largest=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -1)
echo "peak memory target: three times the largest file plus 50 MB =" \
  "$(awk -v l="$largest" 'BEGIN { printf "%.1f MB", 3 * l / 1048576 + 50 }')"
