#!/usr/bin/env bash
# Builds the Debian package: a Release build without tests in build-package/ (or
# QUILLARBOR_PACKAGE_DIR), packed by CPack's DEB generator. Prints the package's path on standard
# output; the messages of the build go to standard error.
# Needs dpkg-dev and file, with which CPack works out the libraries the package depends on.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_PACKAGE_DIR:-$root/build-package}

exec 3>&1 1>&2

for tool in cmake cpack dpkg-deb dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null; then
        echo "package: $tool is missing (Debian packages cmake, dpkg-dev and file)" >&2
        exit 1
    fi
done

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLARBOR_BUILD_TESTS=OFF
cmake --build "$build" -j"$(nproc)"

# One package in the folder afterwards, whatever an earlier version left there.
rm -f "$build"/quillarbor_*.deb
(cd "$build" && cpack -G DEB)

packages=("$build"/quillarbor_*.deb)
if ((${#packages[@]} != 1)) || [[ ! -f "${packages[0]}" ]]; then
    echo "package: cpack made no quillarbor_*.deb in $build" >&2
    exit 1
fi
echo "${packages[0]}" >&3
