# Sourced by the scripts that need tools a machine may lack: require_tools NAME TOOL... ends the
# script as skipped (exit 77, which ctest reports as such) when a tool is not installed.
require_tools() {
    local name=$1 tool
    shift
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "$name: $tool is not installed, skipping"
            exit 77
        fi
    done
}
