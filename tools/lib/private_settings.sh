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
