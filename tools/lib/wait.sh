# Sourced by the scripts that drive the program: wait_for SECONDS COMMAND... runs the command
# every 0.2 s until it succeeds; returns 1 when SECONDS go by first.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}
