# Sourced by the test scripts. The gui tests need an X display with OpenGL: unless one is given (and
# always under CI), start a private Xvfb with Mesa's software renderer on a free display number from
# the given range, and stop it when the sourcing script exits.
#   start_private_xvfb FIRST   (tries FIRST .. FIRST+99)
start_private_xvfb() {
    xvfb_pid=""
    trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
    if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ]; then
        local n=$(($1 + RANDOM % 100)) tries
        for tries in $(seq 1 100); do
            [ -e "/tmp/.X$n-lock" ] || break
            n=$(($1 + (n - $1 + 1) % 100))
        done
        # -noreset: by default the server resets whenever its last client leaves, and a test that
        # connects while it does is refused (seen as a skipped or failed display test).
        Xvfb ":$n" -noreset -screen 0 1920x1080x24 +extension GLX -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 50); do
            xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
            sleep 0.1
        done
    fi
    export LIBGL_ALWAYS_SOFTWARE=1
}
