#!/usr/bin/env bash
# Installs what building, running and testing Quillarbor needs on Debian 12; with --test also
# what only the tests need, with --bench what only the benchmarks (tools/bench.sh) need. Works as root or, through sudo, as a normal user; does nothing when
# all is installed already.
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
test_packages=(
    # The Windows downloads are made and tried under Wine too (tools/test-windows-package.sh).
    nsis
    # The Windows cross build and Wine to run its tests (tools/test-windows.sh); tini reaps the
    # processes Wine leaves behind in the end-to-end script of Quillarbor.exe.
    g++-mingw-w64-x86-64-posix wine wine64 tini
    # 32-bit Windows too: the program with the win32 thread model of both architectures, the
    # tests with the posix one, and 32-bit Wine (Debian's i386 architecture) to run them.
    g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine32:i386
    # A locale with a decimal comma for the text-number conversion tests.
    locales
    # libFuzzer and its runtime for the parser and conversion fuzzers (tools/fuzz.sh).
    clang libclang-rt-14-dev
    # The launcher entry and metadata checks, and the Debian package (tools/test-package.sh).
    desktop-file-utils appstream dpkg-dev file lintian
    # The StatusNotifierItem tray on a private session bus, checked by a stand-in host written
    # in Python, once on X11 and once under a headless Wayland compositor (tests/e2e/sni_tray.sh).
    dbus-daemon python3-gi gir1.2-glib-2.0 weston qt6-wayland
)
windows_package_packages=(
    # The Windows cross builds and NSIS for the installer (tools/package-windows.sh).
    g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 nsis
)
art_packages=(
    # The icon and the sample skins rendered from their sources (tools/render-art.sh).
    librsvg2-bin icoutils imagemagick
)
bench_packages=(
    # Google Benchmark; feh and hyperfine for the one-shot comparison; GNU time for peak memory;
    # valgrind for the one-shots' instruction counts.
    libbenchmark-dev feh hyperfine time valgrind
    # The start-up timer watches the X server directly.
    pkg-config libxcb1-dev
)

with_tests=false
case "${1:-}" in
--test)
    with_tests=true
    packages+=("${test_packages[@]}")
    ;;
--bench)
    packages+=("${bench_packages[@]}")
    ;;
--windows-package)
    packages+=("${windows_package_packages[@]}")
    ;;
--art)
    packages+=("${art_packages[@]}")
    ;;
"") ;;
*)
    echo "usage: setup-debian.sh [--test | --bench | --windows-package | --art]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != installed ]]; then
        missing+=("$package")
    fi
done
need_locale=false
if $with_tests && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    need_locale=true
fi
if ((${#missing[@]} == 0)) && ! $need_locale; then
    exit 0
fi

if ((EUID == 0)); then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "setup-debian: this needs root or sudo:" >&2
    if ((${#missing[@]} > 0)); then
        echo "    installing ${missing[*]}" >&2
    fi
    if $need_locale; then
        echo "    generating the de_DE.UTF-8 locale" >&2
    fi
    exit 1
fi

if ((${#missing[@]} > 0)); then
    echo "setup-debian: installing ${missing[*]}"
    # Packages of another architecture (wine32:i386) need it known to dpkg before the update.
    for package in "${missing[@]}"; do
        if [[ "$package" == *:* ]] && ! dpkg --print-foreign-architectures | grep -qx "${package#*:}"; then
            "${as_root[@]}" dpkg --add-architecture "${package#*:}"
        fi
    done
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if $need_locale; then
    echo "setup-debian: generating the de_DE.UTF-8 locale"
    "${as_root[@]}" sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    if ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'de_DE.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    fi
    "${as_root[@]}" locale-gen
fi
