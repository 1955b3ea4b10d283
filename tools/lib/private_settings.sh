# Sourced by scripts that run the program: use_private_settings ROOT points HOME and the XDG
# folders into ROOT, so that nothing the script starts reads or writes the user's own settings,
# and sets $store to the settings file there (not created).
use_private_settings() {
    local root=$1
    export HOME="$root/home"
    export XDG_CONFIG_HOME="$root/config"
    export XDG_CONFIG_DIRS="$root/xdg"
    export XDG_RUNTIME_DIR="$root/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/quillarbor" "$XDG_CONFIG_DIRS"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    store="$XDG_CONFIG_HOME/quillarbor/user.reg"
}

# Text as the store quotes it: backslash and double quote escaped.
reg_quote() {
    local s=${1//\\/\\\\}
    s=${s//\"/\\\"}
    printf '"%s"' "$s"
}

# stored KEY NAME: the data of value NAME in KEY as written in the store (still quoted), or
# nothing. Key and value names match ignoring case, as in the registry; lines may end in CR LF.
stored() {
    [[ -f "$store" ]] || return 0
    KEY="[$1]" NAME="\"$2\"=" awk '
        BEGIN { key = tolower(ENVIRON["KEY"]); name = tolower(ENVIRON["NAME"]) }
        { sub(/\r$/, "") }
        /^\[/ { inside = (tolower($0) == key); next }
        inside && index(tolower($0), name) == 1 { print substr($0, length(name) + 1); exit }
    ' "$store"
}

# write_settings FOLDER DELAY: a store holding only the skin folder and the delay.
write_settings() {
    cat >"$store" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]
"String"=$(reg_quote "$1")

[HKEY_CURRENT_USER\\Software\\Quillarbor\\delay]
"String"="$2"
EOF
}
