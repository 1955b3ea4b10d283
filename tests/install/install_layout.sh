#!/usr/bin/env bash
# `cmake --install` into a temporary prefix puts exactly the files a desktop expects where it
# expects them: the program, its launcher entry, the icon at each size, the AppStream metadata
# and the manual page.
# Usage: install_layout.sh <build folder>
set -euo pipefail

build=${1:?usage: install_layout.sh <build folder>}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"

sizes=(16 24 32 48 64 128 256)
expected=(
    bin/quillarbor
    share/applications/quillarbor.desktop
    share/man/man1/quillarbor.1.gz
    share/metainfo/org.quillarbor.Quillarbor.metainfo.xml
    share/doc/quillarbor/copyright
    share/doc/quillarbor/changelog.gz
)
for sample in "$(dirname "${BASH_SOURCE[0]}")"/../../samples/*; do
    expected+=("share/quillarbor/samples/$(basename "$sample")")
done
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/quillarbor.png")
done

got=$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [[ "$got" != "$want" ]]; then
    fail "installed files differ from the expected ones:"
    diff <(echo "$want") <(echo "$got") >&2 || true
fi

[[ -x "$prefix/bin/quillarbor" ]] || fail "bin/quillarbor is not executable"

# Each icon is a PNG of the size its folder names (width and height from the IHDR chunk).
png_size() {
    local signature width height
    signature=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
    [[ "$signature" == 89504e470d0a1a0a ]] || return 1
    width=$(od -An -tu1 -j16 -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }')
    height=$(od -An -tu1 -j20 -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }')
    echo "${width}x$height"
}
for size in "${sizes[@]}"; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/quillarbor.png"
    [[ -f "$icon" ]] || continue
    got=$(png_size "$icon") || got="not a PNG"
    [[ "$got" == "${size}x$size" ]] || fail "$icon is $got, expected ${size}x$size"
done

# The launcher starts the program by the name it is installed under, with the icon's name.
entry="$prefix/share/applications/quillarbor.desktop"
if [[ -f "$entry" ]]; then
    grep -qx 'Exec=quillarbor' "$entry" || fail "the desktop entry does not run quillarbor"
    grep -qx 'Icon=quillarbor' "$entry" || fail "the desktop entry does not name the icon"
    # A first start, with no folder saved, opens on the samples in the prefix installed to.
    grep -qx "Path=$prefix/share/quillarbor/samples" "$entry" ||
        fail "the desktop entry does not start in $prefix/share/quillarbor/samples"
fi

# The metadata, the manual page and the changelog's newest entry carry the project's version, not
# a placeholder.
version=$("$prefix/bin/quillarbor" --version) || fail "quillarbor --version failed"
number=${version##* }
metainfo="$prefix/share/metainfo/org.quillarbor.Quillarbor.metainfo.xml"
if [[ -f "$metainfo" ]]; then
    grep -q "<release version=\"$number\" date=\"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\"" "$metainfo" ||
        fail "the metadata has no release $number with a date"
    grep -q '<launchable type="desktop-id">quillarbor.desktop</launchable>' "$metainfo" ||
        fail "the metadata does not launch quillarbor.desktop"
fi
manpage="$tmp/quillarbor.1"
if [[ -f "$prefix/share/man/man1/quillarbor.1.gz" ]]; then
    gzip -dc "$prefix/share/man/man1/quillarbor.1.gz" >"$manpage"
    head -n1 "$manpage" | grep -q "\"Quillarbor $number\"" ||
        fail "the manual page's title line does not name version $number"
    if grep -n '@[A-Z_]*@' "$manpage" "$metainfo" >&2; then
        fail "placeholders were left unreplaced"
    fi
fi

changelog="$prefix/share/doc/quillarbor/changelog.gz"
if [[ -f "$changelog" ]]; then
    newest=$(gzip -dc "$changelog" | sed -n 1p)
    [[ "$newest" == "quillarbor ($number) "* ]] ||
        fail "the changelog's newest entry is '$newest', not version $number"
fi

if ((failures > 0)); then
    echo "install_layout: $failures check(s) failed" >&2
    exit 1
fi
echo "install_layout: all checks passed"
