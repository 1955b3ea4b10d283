#!/usr/bin/env bash
# Regenerates the sample skins (samples/) and the program icon (resources/icons/,
# resources/quillarbor.ico).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -o "$work/make_art" "$root/tools/make_art.cpp"
cd "$root"
"$work/make_art"
