#!/usr/bin/env bash
# Times "velmora-cli find" against GNU grep and ripgrep side by side and prints one table: the
# median wall time of several warm runs per tool and row (the tools take turns run by run),
# Velmora's ratio to single-threaded ripgrep and to grep (to find for the listing rows), the
# number of files each tool reported, Velmora's peak memory, and the row's target. Rows run on
# the corpus (optionally also on the corpus 2 and 4 times over), on one 1 GiB file whose only
# match is on its last line, and on 200,000 tiny files.
#
# Usage: bench/run.sh [CORPUS]
#   CORPUS defaults to bench/corpus/tree, built once (deterministically) by make_corpus.py.
#   RUNS=n sets the timed runs per cell (default 5, after one warm-up run); the 1 GiB file and
#     the tiny files get at most 3 (HEAVY_RUNS=n sets theirs).
#   SCALE=1,2,4 runs the corpus rows on the corpus 1, 2 and 4 times over (default 1). The
#     larger trees are made once beside the corpus, as CORPUS-x2 and CORPUS-x4, of hard links
#     to the corpus's files where the file system allows (else reflinks or copies).
#   BIG=file uses a ready 1 GiB file whose last line holds "zqxjvelmoralastline"; TINY=folder a
#     ready tree of tiny files. Otherwise each is made once beside a corpus that make_corpus.py
#     built (big/big.txt and tiny/, each with a stamp). BIG=none or TINY=none leaves it out.
#   VELMORA_CLI=path uses a ready executable instead of building a release one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-$root/bench/corpus/tree}
runs=${RUNS:-5}
heavy_runs=${HEAVY_RUNS:-$((runs < 3 ? runs : 3))}
scales=${SCALE:-1}
needle=zqxjvelmoralastline
# Bytes in, bytes out for every tool, as Velmora does; also keeps grep -i on its fast path.
export LC_ALL=C

if [ $# -eq 0 ] && [ ! -e "$corpus.stamp" ]; then
  echo "Building the corpus in $corpus ..." >&2
  python3 "$root/bench/make_corpus.py" "$corpus" >&2
  touch "$corpus.stamp"
fi
[ -d "$corpus" ] || { echo "no corpus folder: $corpus" >&2; exit 2; }
corpus=$(cd "$corpus" && pwd)
beside=$(dirname "$corpus")

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

# require_space FOLDER KIB INODES WHAT: stops unless FOLDER's file system has KIB kibibytes
# (plus 1 GiB to spare) and INODES inodes free.
require_space() {
  local avail inodes ifree
  avail=$(df -Pk "$1" | awk 'NR == 2 { print $4 }')
  read -r inodes ifree < <(df -Pi "$1" | awk 'NR == 2 { print $2, $4 }')
  if [ "$avail" -lt $(($2 + 1048576)) ] || { [ "$inodes" -gt 0 ] && [ "$ifree" -lt "$3" ]; }; then
    echo "not enough free space in $1 for $4: needs $(($2 / 1024)) MiB and $3 inodes," \
      "has $((avail / 1024)) MiB and $ifree inodes" >&2
    exit 2
  fi
}

# made_beside NAME: whether the corpus was made by make_corpus.py, so NAME may be made beside it.
made_beside() {
  [ -e "$corpus.stamp" ] || {
    echo "no $1: the corpus was not made by make_corpus.py (set the variable to a ready one)" >&2
    return 1
  }
}

# big_file: the 1 GiB file's path (empty when left out), made once beside the corpus.
big_file() {
  if [ -n "${BIG:-}" ]; then
    [ "$BIG" = none ] || echo "$BIG"
    return
  fi
  if [ ! -e "$beside/big.stamp" ]; then
    made_beside "1 GiB file" || return 0
    require_space "$beside" 1048576 1 "the 1 GiB file"
    echo "Making the 1 GiB file in $beside/big ..." >&2
    python3 "$root/bench/make_corpus.py" --big "$beside/big/big.txt" "$corpus" >&2
    touch "$beside/big.stamp"
  fi
  echo "$beside/big/big.txt"
}

# tiny_tree: the tree of tiny files (empty when left out), made once beside the corpus.
tiny_tree() {
  if [ -n "${TINY:-}" ]; then
    [ "$TINY" = none ] || echo "$TINY"
    return
  fi
  if [ ! -e "$beside/tiny.stamp" ]; then
    made_beside "tiny files" || return 0
    require_space "$beside" $((200000 * 4)) 201000 "200,000 tiny files"
    echo "Making 200,000 tiny files in $beside/tiny ..." >&2
    python3 "$root/bench/make_corpus.py" --tiny "$beside/tiny" >&2
    touch "$beside/tiny.stamp"
  fi
  echo "$beside/tiny"
}

# scaled_tree N: the corpus N times over (N folders copy1 .. copyN), made once beside it.
scaled_tree() {
  local n=$1 dest=$corpus-x$1 folders kib i
  if [ "$n" -eq 1 ]; then echo "$corpus"; return; fi
  if [ ! -e "$dest.stamp" ]; then
    folders=$(find "$corpus" -type d | wc -l)
    # Hard links cost only the folders; on another file system every byte is copied.
    if [ "$(stat -c %d "$corpus")" = "$(stat -c %d "$beside")" ]; then
      kib=$((n * folders * 4))
    else
      kib=$((n * $(du -sk "$corpus" | cut -f1)))
    fi
    require_space "$beside" "$kib" $((n * (folders + $(find "$corpus" -type f | wc -l)))) \
      "the corpus $n times over"
    echo "Making the corpus $n times over in $dest ..." >&2
    rm -rf "$dest"
    mkdir -p "$dest"
    for ((i = 1; i <= n; i++)); do
      cp -al "$corpus" "$dest/copy$i" 2>/dev/null ||
        { rm -rf "$dest/copy$i"; cp -a --reflink=auto "$corpus" "$dest/copy$i"; }
    done
    touch "$dest.stamp"
  fi
  echo "$dest"
}

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

# peak_mib CMD...: the maximum resident set size of CMD in MiB.
peak_mib() {
  /usr/bin/time -v "$@" 2>"$scratch/time.txt" >/dev/null || true
  awk -F: '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$scratch/time.txt"
}

# ratio A B LIMIT: A / B to two places, with "!" when above LIMIT ("-": no limit).
ratio() {
  awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN {
    if (b <= 0) { print "-"; exit }
    printf "%.2f%s", a / b, (t != "-" && a / b > t ? "!" : "") }'
}

# within PEAK LIMIT: PEAK, with "!" when it misses LIMIT ("<16": under 16, "<=11": at most 11).
within() {
  awk -v p="$1" -v t="$2" 'BEGIN {
    miss = t ~ /^<=/ ? p > substr(t, 3) + 0 : (t ~ /^</ ? p >= substr(t, 2) + 0 : 0)
    printf "%s%s", p, (miss ? "!" : "") }'
}

# table_line CELLS...: one line of the table, its columns aligned.
table_line() { printf '%-26s %7s %7s %7s %7s %6s %6s  %-27s %6s  %s\n' "$@"; }

table_line "row" "velmora" "grep" "rg -j1" "rg" "v/rg1" "v/grep" "files v/g/rg1/rg" "peak" \
  "target"
table_line "" "ms" "or find" "ms" "ms" "" "v/find" "" "MiB" "ratio, peak MiB"

# section TITLE: a heading line for the rows that follow.
section() { printf '\n== %s\n' "$1"; }

# tree_summary FOLDER: its file count and total size.
tree_summary() {
  find "$1" -type f -printf '%s\n' |
    awk '{ n++; s += $1 } END { printf "%d files, %.0f MiB", n, s / 1048576 }'
}

# The rows below search vpath with velmora (with the options vopts) and ppath with the others;
# rg_all=no leaves the multi-threaded rg column out where it cannot differ from rg -j1.
vpath='' ppath='' rg_all=yes
vopts=()

# row TARGET LABEL "velmora args" "grep args" "rg args": one table row. TARGET is "PEER RATIO
# PEAK": the peer whose ratio is judged (rg1, or find for a listing), its largest acceptable
# value and the peak memory allowed ("<16", "<=10.9" or "-"). The args are word-split; grep
# args "FIND" time find -type f instead.
row() {
  local peer limit peak_limit label=$2 vargs=$3 gargs=$4 rargs=$5
  read -r peer limit peak_limit <<<"$1"
  local -a va ga ra vcmd gcmd r1cmd rcmd
  eval "va=($vargs)"; eval "ga=($gargs)"; eval "ra=($rargs)"
  vcmd=("$vel" find "${vopts[@]}" "${va[@]}" "$vpath")
  if [ "${ga[0]:-}" = FIND ]; then gcmd=(find "$ppath" -type f); else gcmd=(grep -rl "${ga[@]}" "$ppath"); fi
  r1cmd=(rg -j1 --no-ignore --hidden "${ra[@]}" "$ppath")
  rcmd=(rg --no-ignore --hidden "${ra[@]}" "$ppath")
  local vc gc r1c rc=-
  vc=$(count_files vel "${vcmd[@]}") || exit 2
  gc=$(count_files grep "${gcmd[@]}") || exit 2
  r1c=$(count_files rg1 "${r1cmd[@]}") || exit 2
  if [ "$rg_all" = yes ]; then rc=$(count_files rg "${rcmd[@]}") || exit 2; fi
  # Round-robin, so that a change in the machine's load hits every tool alike.
  rm -f "$scratch"/*.us
  local i
  for ((i = 0; i < runs; i++)); do
    time_us "${vcmd[@]}" >>"$scratch/vel.us"
    time_us "${gcmd[@]}" >>"$scratch/grep.us"
    time_us "${r1cmd[@]}" >>"$scratch/rg1.us"
    if [ "$rg_all" = yes ]; then time_us "${rcmd[@]}" >>"$scratch/rg.us"; fi
  done
  local vt gt r1t rt=-
  vt=$(median_ms "$scratch/vel.us"); gt=$(median_ms "$scratch/grep.us")
  r1t=$(median_ms "$scratch/rg1.us")
  if [ "$rg_all" = yes ]; then rt=$(median_ms "$scratch/rg.us"); fi
  local rg1_limit=- grep_limit=- target
  if [ "$peer" = find ]; then grep_limit=$limit; else rg1_limit=$limit; fi
  target="$peer<=$limit"
  if [ "$limit" = - ]; then target=; fi
  if [ "$peak_limit" != - ]; then target+="${target:+, }$peak_limit"; fi
  table_line "$label" "$vt" "$gt" "$r1t" "$rt" "$(ratio "$vt" "$r1t" "$rg1_limit")" \
    "$(ratio "$vt" "$gt" "$grep_limit")" "$vc/$gc/$r1c/$rc" \
    "$(within "$(peak_mib "${vcmd[@]}")" "$peak_limit")" "$target"
}

# corpus_rows N: the corpus rows on the corpus N times over.
corpus_rows() {
  local listing_peak=-
  # The listing's memory at 4x: at most half of the 21.9 MiB it took before.
  if [ "$1" -eq 4 ]; then listing_peak="<=10.95"; fi
  row "rg1 1.0 <16" "phrase (~5% of files)" "--case-sensitive --query 'unsigned long'" \
    "-F -- 'unsigned long'" "-l -F -- 'unsigned long'"
  row "rg1 1.0 <16" "phrase, not case-sensitive" "--query 'unsigned long'" \
    "-F -i -- 'unsigned long'" "-l -F -i -- 'unsigned long'"
  row "rg1 1.0 <16" "whole word" "--case-sensitive --whole-words --query thread" \
    "-F -w -- thread" "-l -F -w -- thread"
  row "rg1 1.0 <16" "phrase found nowhere" "--case-sensitive --query 'qzxv jkwq'" \
    "-F -- 'qzxv jkwq'" "-l -F -- 'qzxv jkwq'"
  row "rg1 1.2 <16" "regex [0-9]+-[0-9]+" "--type regex --case-sensitive --query '[0-9]+-[0-9]+'" \
    "-E -- '[0-9]+-[0-9]+'" "-l -- '[0-9]+-[0-9]+'"
  row "rg1 1.2 <16" "regex (foo|bar)baz" "--type regex --case-sensitive --query '(foo|bar)baz'" \
    "-E -- '(foo|bar)baz'" "-l -- '(foo|bar)baz'"
  row "rg1 1.2 <16" "regex (Read|Write)Buffer" \
    "--type regex --case-sensitive --query '(Read|Write)Buffer'" \
    "-E -- '(Read|Write)Buffer'" "-l -- '(Read|Write)Buffer'"
  row "rg1 1.0 <16" "word-or of three words" \
    "--type word-or --case-sensitive --query 'socket column signal'" \
    "-F -e socket -e column -e signal" "-l -F -e socket -e column -e signal"
  row "find 1.0 $listing_peak" "list every file (vs find)" "" "FIND" "--files"
}

for scale in ${scales//,/ }; do
  tree=$(scaled_tree "$scale")
  section "corpus x$scale: $tree ($(tree_summary "$tree"))"
  vpath=$tree ppath=$tree rg_all=yes vopts=()
  corpus_rows "$scale"
done

big=$(big_file)
if [ -n "$big" ]; then
  [ -f "$big" ] || { echo "no such file: $big" >&2; exit 2; }
  tail -c 65536 "$big" | grep -q "$needle" || echo "warning: no $needle near the end of $big" >&2
  section "one file: $big ($(du -m --apparent-size "$big" | cut -f1) MiB)"
  # Velmora takes a folder: the file's own, through a mask naming just the file.
  vpath=$(dirname "$big") ppath=$big rg_all=no vopts=(--mask "$(basename "$big")" --no-subfolders)
  saved_runs=$runs runs=$heavy_runs
  row "rg1 1.5 <64" "match on the last line" "--case-sensitive --query $needle" "-F -- $needle" \
    "-l -F -- $needle"
  # A multiline search reads by windows too: its memory is judged, its speed only shown.
  last=$(tail -n 1 "$big")
  row "rg1 - <64" "multiline, the last line" "--type multiline --case-sensitive --query '$last'" \
    "-x -F -- '$last'" "-l -x -F -- '$last'"
  runs=$saved_runs
fi

tiny=$(tiny_tree)
if [ -n "$tiny" ]; then
  [ -d "$tiny" ] || { echo "no such folder: $tiny" >&2; exit 2; }
  section "tiny files: $tiny ($(tree_summary "$tiny"))"
  vpath=$tiny ppath=$tiny rg_all=yes vopts=()
  saved_runs=$runs runs=$heavy_runs
  row "rg1 1.0 -" "phrase" "--case-sensitive --query 'unsigned long'" "-F -- 'unsigned long'" \
    "-l -F -- 'unsigned long'"
  row "find 1.0 -" "list every file (vs find)" "" "FIND" "--files"
  runs=$saved_runs
fi

echo
echo "median of $runs warm runs each ($heavy_runs for the 1 GiB file and the tiny files)," \
  "tools taking turns; LC_ALL=C"
echo "grep -rl is single-threaded; rg and rg -j1 run with --no-ignore --hidden"
echo "v/rg1 = velmora / rg -l -j1 (listing: rg --files -j1)"
echo "v/grep = velmora / grep -rl (listing: find -type f)"
echo "target: the ratio judged and its largest value, and Velmora's peak memory in MiB;" \
  "\"!\" marks a miss"
if [ "$scales" != 1 ]; then
  echo "the corpus N times over is N copies of it; hard-linked copies share the page cache"
fi
