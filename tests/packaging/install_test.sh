#!/usr/bin/env bash
# install_test.sh BUILD_DIR APP_ID: installs BUILD_DIR below a temporary DESTDIR with prefix
# /usr, then checks that every installed file is there, that the desktop entry and the
# metainfo pass their validators, that the installed velmora-cli runs, and that the bash
# completion offers exactly the options that velmora-cli --help names.
set -euo pipefail
build=$1
app_id=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

expected=(
  bin/velmora bin/velmora-cli share/velmora/Help.html
  share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/$app_id.svg
  share/man/man1/velmora.1 share/man/man1/velmora-cli.1
  share/bash-completion/completions/velmora-cli
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  [ -s "$usr/$file" ] || fail "not installed: $file"
done
for program in velmora velmora-cli; do
  [ -x "$usr/bin/$program" ] || fail "not executable: bin/$program"
done

desktop-file-validate "$usr/share/applications/$app_id.desktop" || fail "desktop entry"
appstreamcli validate --no-net --explain "$usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
  fail "metainfo: $(appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml")"
grep -qx "Icon=$app_id" "$usr/share/applications/$app_id.desktop" || fail "desktop entry icon"

help=$("$usr/bin/velmora-cli" --help) || fail "installed velmora-cli --help"
[[ $help == Usage:\ velmora-cli* ]] || fail "velmora-cli --help printed: $help"

# The completion's option words against the usage text, both ways.
options_of() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
completion=$usr/share/bash-completion/completions/velmora-cli
drift=$(diff <(options_of <<<"$help") <(options_of <"$completion")) ||
  fail "completion and --help name different options: $drift"
# shellcheck disable=SC1091
offered=$(bash -c '. /usr/share/bash-completion/bash_completion && . "$1" &&
  COMP_WORDS=(velmora-cli find --type r) COMP_CWORD=3 COMP_LINE="velmora-cli find --type r" &&
  COMP_POINT=${#COMP_LINE} && _velmora_cli && echo "${COMPREPLY[*]}"' _ "$completion") ||
  fail "completion script"
[ "$offered" = regex ] || fail "completion of --type r offered: $offered"

[ "$failures" -eq 0 ] && echo "installed and checked ${#expected[@]} files"
exit "$failures"
