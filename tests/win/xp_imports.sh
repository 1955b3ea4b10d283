#!/usr/bin/env bash
# Quillarbor.exe starts on Windows XP SP3: each DLL and function it imports is one that XP's
# system DLLs export, for the executable's architecture, and not one of the few that a list
# holds but 32-bit XP SP3 lacks. Wine provides every function whatever Windows it reports, so
# this is the check that proves XP. Also that the PE header keeps address space layout
# randomisation (DYNAMIC_BASE) and no execution of data (NX_COMPAT) on.
# Usage: xp_imports.sh <Quillarbor.exe> <objdump> <folder of the XP export lists>
set -euo pipefail

exe=${1:?usage: xp_imports.sh <exe> <objdump> <lists>}
objdump=${2:?}
lists=${3:?}
script_name=xp_imports

if [[ ! -f "$lists/not-in-xp-sp3.txt" ]]; then
    echo "$script_name: FAIL: no XP export lists in $lists (set QUILLARBOR_XP_EXPORTS)" >&2
    exit 1
fi
header=$("$objdump" -p "$exe")
case "$(sed -n 's/^Magic\s\+\([0-9a-f]*\).*/\1/p' <<<"$header")" in
010b) arch=i386 ;;
020b) arch=x86_64 ;;
*)
    echo "$script_name: FAIL: $exe is not a PE32 or PE32+ image" >&2
    exit 1
    ;;
esac

failures=0
for flag in DYNAMIC_BASE NX_COMPAT; do
    if ! grep -qx "\s*$flag" <<<"$header"; then
        echo "$script_name: FAIL: the PE header lacks $flag" >&2
        failures=$((failures + 1))
    fi
done

# "dll function" for each import by name.
imports=$(awk '/DLL Name:/ { dll = tolower($3); sub(/\.dll$/, "", dll) }
    /^\t[0-9a-f]+\t *[0-9]+ +[^ ]+$/ { print dll, $3 }' <<<"$header")
[[ -n "$imports" ]] || { echo "$script_name: FAIL: no imports read from $exe" >&2; exit 1; }
while read -r dll function; do
    list="$lists/$dll.$arch.txt"
    if [[ ! -f "$list" ]]; then
        echo "$script_name: FAIL: $dll.dll ($function) is not a DLL of Windows XP" >&2
        failures=$((failures + 1))
    elif ! grep -qxF "$function" "$list" || grep -qxF "$function" "$lists/not-in-xp-sp3.txt"; then
        echo "$script_name: FAIL: Windows XP's $dll.dll has no $function" >&2
        failures=$((failures + 1))
    fi
done <<<"$imports"

if ((failures > 0)); then
    exit 1
fi
echo "$script_name: $(wc -l <<<"$imports") imports of $arch XP, DYNAMIC_BASE and NX_COMPAT"
