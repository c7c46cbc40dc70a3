#!/usr/bin/env bash
# Peak memory of "velmora-cli modify" against the size of the file it modifies, for short
# lines that all match, long lines with many matches each, and lines that never match; with
# and without a backup and chosen lines; phrase, regex and multiline. The bound to hold: twice
# the file plus 30 MiB.
#
# Usage: bench/modify_memory.sh [MIB]   (file size, default 200)
#   VELMORA_CLI=path uses a ready executable (default build/velmora-cli).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
vel=${VELMORA_CLI:-$root/build/velmora-cli}
mib=${1:-200}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# make NAME LINE: a file of about mib MiB made of LINE repeated.
make() {
  python3 - "$scratch/$1" "$2" "$mib" <<'PY'
import sys
name, line, mib = sys.argv[1], sys.argv[2].encode().decode('unicode_escape'), int(sys.argv[3])
block = line * max(1, (1 << 20) // len(line))
with open(name, 'w', newline='') as f:
    for _ in range(mib):
        f.write(block)
PY
}
make short 'ab foo cd 12345678\n'
make long "$(printf 'x foo y %.0s' {1..500})\r\n"
make nomatch "$(printf 'lorem ipsum dolor sit amet %.0s' {1..3})\n"

printf 'ab foo cd 12345678\n' >"$scratch/block"

printf '%-8s %-62s %8s %9s %7s\n' file arguments "file MiB" "peak MiB" ratio
row() {
  local file=$1; shift
  cp "$scratch/$file" "$scratch/work"
  /usr/bin/time -f %M -o "$scratch/rss" "$vel" modify "$@" "$scratch/work" >/dev/null
  local kib size
  kib=$(cat "$scratch/rss")
  size=$(stat -c %s "$scratch/$file")
  awk -v f="$file" -v a="$*" -v s="$size" -v k="$kib" \
    'BEGIN { printf "%-8s %-62s %8.0f %9.0f %7.2f\n", f, a, s / 1048576, k / 1024, k * 1024 / s }'
  rm -f "$scratch/work" "$scratch/work.bak"
}
for file in short long nomatch; do
  row $file --query foo --mod replace --replacement BARR
  row $file --query foo --mod insert-before --replacement '[' --backup
  row $file --query foo --mod delete --intervals 0,5,7
  row $file --type regex --query 'f(o+)' --mod replace --replacement '$1'
done
# Every line of short is a block of its own.
row short --type multiline --query-file "$scratch/block" --mod replace --replacement X
row short --type multiline --query-file "$scratch/block" --mod insert-after --replacement X --backup
