#!/usr/bin/env bash
# Installs what building, running and testing Quillarbor needs on Debian 12.
# Works as root or, through sudo, as a normal user; does nothing when all is installed already.
set -euo pipefail

packages=(
    build-essential cmake
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev googletest
    xvfb xauth openbox trayer xdotool x11-utils
    imagemagick
    # Named so that widget tests measure text in the same font on every machine.
    fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != installed ]]; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

if ((EUID == 0)); then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "setup-debian: these packages are missing and installing them needs root or sudo:" >&2
    echo "    ${missing[*]}" >&2
    exit 1
fi

echo "setup-debian: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
