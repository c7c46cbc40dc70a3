#!/usr/bin/env bash
# Times "velmora-cli find" against GNU grep and ripgrep on one corpus, side by side, and
# prints one table: the median wall time of several warm runs per tool and row, Velmora's
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

# measure NAME CMD...: one warm-up run whose output is kept (to count files), then $runs timed
# runs; sets $median_ms and $count. Exit status 1 (nothing found) is not a failure.
measure() {
  local name=$1; shift
  local out=$scratch/$name.out
  "$@" >"$out" 2>/dev/null || [ $? -eq 1 ] || { echo "failed: $*" >&2; exit 2; }
  count=$(wc -l <"$out")
  local times=() i start end
  for ((i = 0; i < runs; i++)); do
    start=$(now_ns)
    "$@" >/dev/null 2>&1 || true
    end=$(now_ns)
    times+=($(((end - start) / 1000)))
  done
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  local mid=$(((runs + 1) / 2))
  median_ms=$(echo "$sorted" | sed -n "${mid}p" | awk '{printf "%.1f", $1 / 1000}')
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

# row LABEL "velmora args" "grep args" "rg args": one table row. The args are word-split.
row() {
  local label=$1 vargs=$2 gargs=$3 rargs=$4
  local -a va ga ra
  eval "va=($vargs)"; eval "ga=($gargs)"; eval "ra=($rargs)"
  local vt gt r1t rt vc gc r1c rc
  measure vel "$vel" find "${va[@]}" "$corpus"; vt=$median_ms; vc=$count
  if [ "${ga[0]}" = "FIND" ]; then
    measure find find "$corpus" -type f; gt=$median_ms; gc=$count
  else
    measure grep grep -rl "${ga[@]}" "$corpus"; gt=$median_ms; gc=$count
  fi
  measure rg1 "${rg1[@]}" "${ra[@]}" "$corpus"; r1t=$median_ms; r1c=$count
  measure rg rg "${ra[@]}" "$corpus"; rt=$median_ms; rc=$count
  local ratio
  ratio=$(awk -v a="$vt" -v b="$gt" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
  printf '%-28s %9s %9s %9s %9s %7s  %-23s %8s\n' "$label" "$vt" "$gt" "$r1t" "$rt" "$ratio" \
    "$vc/$gc/$r1c/$rc" "$(peak_mb "$vel" find "${va[@]}" "$corpus")"
}

row "phrase (~5% of files)" "--case-sensitive --query 'unsigned long'" "-F -- 'unsigned long'" \
  "-l -F -- 'unsigned long'"
row "phrase, not case-sensitive" "--query 'unsigned long'" "-F -i -- 'unsigned long'" \
  "-l -F -i -- 'unsigned long'"
row "whole word" "--case-sensitive --whole-words --query thread" "-F -w -- thread" \
  "-l -F -w -- thread"
row "phrase found nowhere" "--case-sensitive --query 'qzxv jkwq'" "-F -- 'qzxv jkwq'" \
  "-l -F -- 'qzxv jkwq'"
row "regex [0-9]+-[0-9]+" "--type regex --case-sensitive --query '[0-9]+-[0-9]+'" \
  "-E -- '[0-9]+-[0-9]+'" "-l -- '[0-9]+-[0-9]+'"
row "regex (foo|bar)baz" "--type regex --case-sensitive --query '(foo|bar)baz'" \
  "-E -- '(foo|bar)baz'" "-l -- '(foo|bar)baz'"
row "word-or of three words" "--type word-or --case-sensitive --query 'socket column signal'" \
  "-F -e socket -e column -e signal" "-l -F -e socket -e column -e signal"
row "list every file (vs find)" "" "FIND" "--files"

echo
echo "corpus: $corpus ($(du -sh "$corpus" | cut -f1), $(find "$corpus" -type f | wc -l) files," \
  "largest $(find "$corpus" -type f -printf '%s\n' | sort -n | tail -1 | awk '{printf "%.1f MB", $1 / 1048576}'))"
echo "median of $runs warm runs each; LC_ALL=C; grep -rl is single-threaded; ratio = velmora / grep" \
  "(listing: velmora / find -type f)"
