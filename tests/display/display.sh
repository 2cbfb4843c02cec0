# The whole-program test harness: a real X display (Xvfb), a Wine prefix that draws on it,
# the real program, xdotool for the mouse and the keyboard, and the probe inside the program
# (qxdrive.exe + qxprobe.dll) to read its menus and windows. Sourced by a test script; see
# README.md beside it. Every function reports failures on the error output and returns
# nonzero; qxd_fail ends the test.
#
#   qxd_begin BUILDDIR [WxH]    display, prefix, settings folder QXD_INI, clean-up on exit
#   qxd_start PROGRAM [ARGS]    starts PROGRAM from BUILDDIR/bin and attaches the probe
#   qxd_start_program BUILDDIR ARTIFACTS   both for the program, its start windows closed
#   qxd REQUEST                 one probe request; its answer lines in QXD_ANSWER
#   qxd_end_program [SECONDS]   waits for the program to end; its exit code in QXD_EXIT_CODE

qxd_log() { echo "display: $*" >&2; }

qxd_fail() {
    qxd_log "FAILED: $*"
    local waited
    # A program that has lost its window may be on its way out: a crash takes a moment.
    for waited in $(seq 50); do
        [ -n "${QXD_PROGRAM_PID:-}" ] && kill -0 "$QXD_PROGRAM_PID" 2>/dev/null || break
        qxd main >/dev/null 2>&1 && break
        sleep 0.1
    done
    if [ -n "${QXD_PROGRAM_PID:-}" ] && ! kill -0 "$QXD_PROGRAM_PID" 2>/dev/null; then
        wait "$QXD_PROGRAM_PID"
        # 253 is a stack overflow (0xC00000FD), 5 an access violation (0xC0000005).
        qxd_log "$QXD_PROGRAM had ended with exit code $?; its last output:"
        tail -n 20 "$QXD_TMP/program.log" >&2
    elif [ -n "${QXD_PROGRAM_PID:-}" ] && ! qxd main >/dev/null 2>&1; then
        # Wine ends only the thread whose stack overflowed; the probe's thread lives on.
        qxd_log "$QXD_PROGRAM runs but has no main window: its user-interface thread has died" \
            "(QXD_WINEDEBUG=+seh QXD_KEEP_LOGS=folder shows why)"
    fi
    exit 1
}

# Ends everything the harness started, whatever way the test ends.
qxd_cleanup() {
    local rc=$?
    set +e
    if [ -n "${QXD_DRIVER_PID:-}" ] && kill -0 "$QXD_DRIVER_PID" 2>/dev/null; then
        kill "$QXD_DRIVER_PID" 2>/dev/null
    fi
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
    fi
    if [ -n "${QXD_XVFB_PID:-}" ]; then
        kill "$QXD_XVFB_PID" 2>/dev/null
        wait "$QXD_XVFB_PID" 2>/dev/null
    fi
    if [ -n "${QXD_TMP:-}" ]; then
        [ -n "${QXD_KEEP_LOGS:-}" ] && cp "$QXD_TMP"/*.log "$QXD_KEEP_LOGS"/ 2>/dev/null
        rm -rf "$QXD_TMP"
    fi
    exit $rc
}

qxd_begin() {
    QXD_BUILD=$(cd "${1:?build folder}" && pwd)
    local geometry=${2:-1024x768}
    QXD_TOOLS=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)
    QXD_BIN=$QXD_BUILD/bin
    for tool in Xvfb xdotool import wine wineserver; do
        command -v "$tool" >/dev/null || qxd_fail "$tool is not installed (tools/setup.sh packages installs it)"
    done
    trap qxd_cleanup EXIT
    trap 'exit 130' INT TERM

    # One program under the display at a time per build: the prefix and its Wine server
    # are shared.
    exec 7>"$QXD_BUILD/.display.lock"
    flock 7

    QXD_TMP=$(mktemp -d)
    # Xvfb picks a free display number itself and writes it to the file descriptor.
    local numberfile=$QXD_TMP/display
    # (Every long-lived child closes the lock's descriptor, so that only this script holds it.)
    Xvfb -displayfd 3 -screen 0 "${geometry}x24" -nolisten tcp 3>"$numberfile" >"$QXD_TMP/xvfb.log" 2>&1 7>&- &
    QXD_XVFB_PID=$!
    local waited
    for waited in $(seq 200); do
        [ -s "$numberfile" ] && break
        kill -0 "$QXD_XVFB_PID" 2>/dev/null || qxd_fail "Xvfb did not start: $(cat "$QXD_TMP/xvfb.log")"
        sleep 0.05
    done
    [ -s "$numberfile" ] || qxd_fail "Xvfb gave no display number"
    # A settings folder of the run's own (quorix61.exe -P folder): the program starts as on
    # a new machine and leaves the program folder alone.
    QXD_INI=$QXD_TMP/ini
    mkdir -p "$QXD_INI"
    export DISPLAY=:$(head -n 1 "$numberfile")
    qxd_log "X display $DISPLAY"

    "$QXD_TOOLS/setup.sh" prefix "$QXD_BUILD" x11 >&2 7>&- || qxd_fail "the x11 Wine prefix could not be made"
    export WINEPREFIX=$QXD_BUILD/wineprefix-x11 WINEARCH=win64
    export WINEDEBUG=${QXD_WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
    # A server left from an earlier run would hold another display.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    # The program starts as on a new machine: no settings left from an earlier run.
    wine reg delete 'HKCU\Software\Veltranex' /f >/dev/null 2>&1 7>&- || true
}

# The Windows form of a Unix path (Wine's drive Z: is the Unix root).
qxd_winpath() { local p=$1; echo "Z:${p//\//\\}"; }

# Starts the program (a file in the program folder) and attaches the driver, which then
# takes the requests of qxd; Wine's output for the program goes to QXD_TMP/program.log.
qxd_start() {
    local program=${1:?program}
    shift
    QXD_PROGRAM=$program
    (cd "$QXD_BIN" && exec wine "$QXD_BIN/$program" "$@") </dev/null >"$QXD_TMP/program.log" 2>&1 7>&- &
    QXD_PROGRAM_PID=$!
    coproc QXD_DRIVER { cd "$QXD_BIN" && exec wine "$QXD_BIN/qxdrive.exe" "$program" 120 2>>"$QXD_TMP/driver.log" 7>&-; }
    QXD_DRIVER_PID=$!
    QXD_IN=${QXD_DRIVER[1]}
    QXD_OUT=${QXD_DRIVER[0]}
    qxd_read_answer 150 || qxd_fail "the driver could not attach to $program: $(cat "$QXD_TMP/driver.log") $(tail -n 20 "$QXD_TMP/program.log")"
    qxd_log "${QXD_ANSWER[0]}"
    qxd main || qxd_fail "no main window"
}

qxd_read_answer() {
    local timeout=$1 line
    QXD_ANSWER=()
    while IFS= read -r -t "$timeout" line <&"$QXD_OUT"; do
        line=${line%$'\r'}
        [ "$line" = . ] && return 0
        QXD_ANSWER+=("$line")
    done
    return 1
}

# The usual start of a test: the folder ARTIFACTS for its pictures, the display and
# prefix begun, the program started with a settings folder of its own, and the windows it
# shows at start (the tip) closed.
qxd_start_program() { # BUILDDIR ARTIFACTS
    ARTIFACTS=$2
    mkdir -p "$ARTIFACTS"
    qxd_begin "$1"
    qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
    qxd settle && qxd_close_windows || qxd_fail "start"
}

# One request to the probe. Fails when the driver is gone, the program has ended, or no
# answer came within two minutes.
qxd() {
    { echo "$*" >&"$QXD_IN"; } 2>/dev/null || { qxd_log "the driver has gone (request: $*)"; return 1; }
    if ! qxd_read_answer 120; then
        qxd_log "no answer to: $*"
        return 1
    fi
    case "${QXD_ANSWER[0]:-}" in
        error:*|hung) qxd_log "$*: ${QXD_ANSWER[*]}"; return 1 ;;
    esac
    return 0
}

# Waits up to SECONDS (5; 0 reads it once) for the expression to be true (non-zero),
# reading it by the probe's eval, which runs no command: a condition still false leaves
# nothing behind.
qxd_wait_for() { # expression [seconds]
    local round rounds=$((${2:-5} * 5))
    [ "$rounds" -gt 0 ] || rounds=1
    for ((round = 0; round < rounds; round++)); do
        if qxd "eval $1" 2>/dev/null; then
            case "${QXD_ANSWER[0]}" in
                "value 0" | "value -0" | "value nan" | "value -nan") ;;
                value*) return 0 ;;
            esac
        fi
        sleep 0.2
    done
    return 1
}

# Runs COMMAND (a shell command or function, quiet) until it succeeds, for up to SECONDS:
# what the program does with a click or a key comes some time after xdotool has sent it,
# later on a busy machine, so a condition it should make true is waited for, not read once.
qxd_until() { # SECONDS COMMAND [ARGS]
    local deadline=$((SECONDS + $1))
    shift
    while :; do
        "$@" 2>/dev/null && return 0
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# Hides the project explorer (View > Project Explorer), which shows itself with the first
# page window below the page windows, for a test that needs their room. Call it once a
# page window exists.
qxd_hide_explorer() {
    local round line shown
    for round in $(seq 25); do
        qxd settle && qxd parts || return 1
        shown=
        for line in "${QXD_ANSWER[@]}"; do
            read -r _ _ id _ <<<"$line"
            [ "$id" = 597 ] && shown=1
        done
        if [ -n "$shown" ]; then
            qxd "invoke 34115" || return 1
        elif [ "$round" -gt 1 ]; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits up to SECONDS (10) for a shown window of the program whose title holds TITLE; its
# handle in QXD_WINDOW.
qxd_wait_window() { # TITLE [seconds]
    local round line
    QXD_WINDOW=
    for ((round = 0; round < ${2:-10} * 10; round++)); do
        qxd settle && qxd windows || return 1
        for line in "${QXD_ANSWER[@]}"; do
            [[ $line == *" $1"* ]] && { read -r _ QXD_WINDOW _ <<<"$line"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Runs the plot command on the active page window (a worksheet or matrix) and finds the
# graph window it made, the active one then; their handles in QXD_WORKSHEET and
# QXD_GRAPH. With "maximize" the graph is maximized too.
qxd_plot() { # COMMAND [maximize]
    local worksheet= line hwnd active
    qxd children || return 1
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd _ active _ <<<"$line"
        [ "$active" = 1 ] && worksheet=$hwnd
    done
    qxd "invoke $1" && qxd settle || return 1
    qxd children || return 1
    QXD_GRAPH=
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd _ active _ <<<"$line"
        [ "$active" = 1 ] && [ "$hwnd" != "$worksheet" ] && QXD_GRAPH=$hwnd
    done
    QXD_WORKSHEET=$worksheet
    [ -n "$QXD_GRAPH" ] || return 1
    [ "${2:-}" != maximize ] || { qxd "maximize $QXD_GRAPH" && qxd settle; }
}

# Double-clicks at X Y until a window whose title holds TITLE opens (three tries, the
# pointer moved away between them so that the next clicks make a double click again); its
# handle in QXD_WINDOW.
qxd_double_click_opens() { # TITLE X Y
    local attempt
    for attempt in 1 2 3; do
        xdotool mousemove --sync "$2" "$3" click --repeat 2 --delay 80 1
        qxd_wait_window "$1" 1 && return 0
        xdotool mousemove --sync $(($2 + 30)) $(($3 + 30)) sleep 0.5
    done
    return 1
}

# Sets vl vt vr vb to the active view's place once the main window's bars have settled
# for it (they rearrange a while after a graph is activated; settle waits for that).
qxd_stable_view() {
    qxd settle && qxd view || return 1
    read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
}

# Opens the menu-bar menu of that text by a click and finds the command in it: three
# tries, since a click the window takes for its activation opens nothing. The item's
# rectangle stays in QXD_ANSWER[0]; qxd_click_item then chooses it.
qxd_open_menu_item() { # MENU COMMAND
    local attempt line l t r b name found
    for attempt in 1 2 3; do
        qxd bar || return 1
        found=
        for line in "${QXD_ANSWER[@]}"; do
            read -r _ _ l t r b name <<<"$line"
            [ "${name//&/}" = "$1" ] && { found=1; break; }
        done
        [ -n "$found" ] || { qxd_log "no menu $1"; return 1; }
        qxd_click $(((l + r) / 2)) $(((t + b) / 2))
        qxd settle
        qxd_until 3 qxd "itemrect $2" && return 0
        qxd_key Escape Escape
    done
    return 1
}
qxd_click_item() {
    local l t r b
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
}

# Fails the test unless the expression is true now.
qxd_expect() { qxd_wait_for "$1" 0 || qxd_fail "expected $1"; }

# The program is alive and its user-interface thread answers.
qxd_alive() {
    kill -0 "$QXD_PROGRAM_PID" 2>/dev/null || { qxd_log "the program has ended"; return 1; }
    qxd ping
}

# Real pointer and keyboard input through the X server.
qxd_move() { xdotool mousemove --sync "$1" "$2"; }
qxd_click() { xdotool mousemove --sync "$1" "$2" click 1; }
qxd_key() { xdotool key --delay 30 "$@"; }

# Moves the pointer from (x1, y1) to (x2, y2) in steps of about STEP pixels, pausing a
# little at each, so the program sees every place in between (Wine merges pointer motions
# that arrive together).
qxd_glide() {
    local x1=$1 y1=$2 x2=$3 y2=$4 step=${5:-5} n i args=()
    local dx=$((x2 > x1 ? x2 - x1 : x1 - x2)) dy=$((y2 > y1 ? y2 - y1 : y1 - y2))
    n=$(((dx > dy ? dx : dy) / step + 1))
    for ((i = 0; i <= n; i++)); do
        args+=(mousemove $((x1 + (x2 - x1) * i / n)) $((y1 + (y2 - y1) * i / n)) sleep 0.004)
    done
    xdotool "${args[@]}"
}

qxd_screenshot() {
    import -display "$DISPLAY" -window root "$1" 2>/dev/null || qxd_log "no screenshot $1"
}

# "x y" of the middle of a dialog's control, screen coordinates.
qxd_centre_of() { # dialog id
    qxd "control $1 $2" || return 1
    local l t r b
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}

# The pixels of a colour inside a rectangle of a picture: "x y" lines, screen coordinates.
qxd_pixels_of() { # picture colour left top right bottom
    local picture=$1 colour=$2 l=$3 t=$4 r=$5 b=$6
    convert "$picture" -crop "$((r - l))x$((b - t))+$l+$t" +repage txt:- 2>/dev/null |
        awk -v c="$colour" -v l="$l" -v t="$t" 'index($0, c) { split($1, p, "[,:]"); print p[1] + l, p[2] + t }'
}

# How many pixels of a colour lie inside a rectangle of a picture.
qxd_count_of() { # picture colour left top right bottom
    qxd_pixels_of "$@" | wc -l
}

# In a picture of a box chart's view (vl vt vr vb), a point a little inside the box's left
# edge, half way up: "x y", or nothing. The box is filled light grey, and so are the legend's
# sample and the window round the page; inside the black ink's bounds (axes, labels) the
# leftmost grey is the box.
qxd_box_point() { # picture
    convert "$1" -crop "$((vr - vl))x$((vb - vt))+$vl+$vt" +repage txt:- 2>/dev/null |
        awk -v l="$vl" -v t="$vt" '{ split($1, p, "[,:]"); x = p[1] + l; y = p[2] + t }
            index($0, "#000000") { if (!nb++ || x < bl) bl = x; if (x > br) br = x; if (!tb++ || y < bt) bt = y; if (y > bb) bb = y }
            index($0, "#C0C0C0") { gx[n] = x; gy[n] = y; n++ }
            END { for (i = 0; i < n; i++) if (gx[i] > bl && gx[i] < br && gy[i] > bt && gy[i] < bb && (!m++ || gx[i] < mx)) mx = gx[i]
                  for (i = 0; i < n; i++) if (gx[i] == mx + 2 && gy[i] > bt && gy[i] < bb) { ys[k++] = gy[i] }
                  if (k) print mx + 2, ys[int(k / 2)] }'
}

# A part of the view (vl vt vr vb, as qxd_stable_view sets them) given in percent of its
# size: "left top right bottom", screen coordinates.
qxd_view_part() { # left% top% right% bottom%
    echo "$((vl + (vr - vl) * $1 / 100)) $((vt + (vb - vt) * $2 / 100)) $((vl + (vr - vl) * $3 / 100)) $((vt + (vb - vt) * $4 / 100))"
}

# The pixel of a colour in the middle half of a rectangle (a view) nearest its centre, "x y"
# (empty when there is none), from a picture taken into PICTURE once the program has
# settled; taken again until two pictures agree, since a graph may still be redrawing.
qxd_steady_nearest() { # picture colour left top right bottom
    local picture=$1 colour=$2 l=$3 t=$4 r=$5 b=$6 found again round
    nearest() {
        qxd settle
        qxd_screenshot "$picture"
        qxd_pixels_of "$picture" "$colour" "$((l + (r - l) / 4))" "$((t + (b - t) / 4))" \
            "$((r - (r - l) / 4))" "$((b - (b - t) / 4))" |
            awk -v x="$(((l + r) / 2))" -v y="$(((t + b) / 2))" '{ d = ($1 - x) ^ 2 + ($2 - y) ^ 2; if (!n++ || d < best) { best = d; p = $1 " " $2 } } END { print p }'
    }
    found=$(nearest)
    for round in 1 2 3 4 5; do
        again=$(nearest)
        [ "$again" = "$found" ] && break
        found=$again
    done
    echo "$found"
}

# Closes every window the program shows besides its main window: Escape first, as a
# person would, then WM_CLOSE. Fails when one stays open. The active window goes first (a
# window below it may go with it); one that opens another on closing (a question) is dealt
# with in the next round. KEYS, when given, are typed instead of Escape (an answer).
# COMMAND PATH: the command's file box (Save Project, Open), the path typed, Enter; fails
# unless the box closes.
qxd_file_dialog() {
    local tries attempt
    for attempt in 1 2 3; do
        qxd "invoke $1" || qxd_fail "command $1"
        for tries in $(seq 100); do
            qxd settle && qxd windows || qxd_fail "the program does not answer after command $1"
            [ ${#QXD_ANSWER[@]} -gt 0 ] && break 2
            sleep 0.1
        done
    done
    [ ${#QXD_ANSWER[@]} -gt 0 ] || qxd_fail "command $1 showed no file box"
    sleep 0.5
    xdotool type --delay 20 "$(qxd_winpath "$2")"
    qxd_key Return
    for tries in $(seq 100); do
        qxd settle && qxd windows || qxd_fail "the program does not answer after the file box"
        [ ${#QXD_ANSWER[@]} -eq 0 ] && break
        sleep 0.1
    done
    [ ${#QXD_ANSWER[@]} -eq 0 ] || qxd_fail "a window stays open after the file box of command $1"
}

qxd_close_windows() {
    local keys=${1:-Escape} round line hwnd active candidate
    for round in 1 2 3 4 5 6; do
        qxd active || return 1
        read -r _ active <<<"${QXD_ANSWER[0]}"
        qxd windows || return 1
        [ ${#QXD_ANSWER[@]} -eq 0 ] && return 0
        line=${QXD_ANSWER[-1]}
        for candidate in "${QXD_ANSWER[@]}"; do
            [[ $candidate == "window $active "* ]] && line=$candidate
        done
        read -r _ hwnd _ <<<"$line"
        QXD_CLOSED+=("$line")
        qxd_key $keys
        qxd "gone $hwnd 3000" || return 1
        [ "${QXD_ANSWER[0]}" = ok ] && continue
        qxd_log "$keys did not close: $line"
        qxd "close $hwnd" && qxd "gone $hwnd 3000" || return 1
        [ "${QXD_ANSWER[0]}" = ok ] && continue
        # Closing may ask a question first (a Yes/No box, which Escape does not answer):
        # it is answered No, and the window then goes.
        qxd active || return 1
        read -r _ candidate <<<"${QXD_ANSWER[0]}"
        if [ "$candidate" != "$hwnd" ]; then
            qxd_log "closing asked: $candidate"
            qxd_key n
            qxd "gone $hwnd 3000" || return 1
            [ "${QXD_ANSWER[0]}" = ok ] && continue
        fi
        qxd_log "this window cannot be closed: $line"
        return 1
    done
    qxd windows
    qxd_log "windows still open after closing six: ${QXD_ANSWER[*]}"
    return 1
}

# Waits for the program to end; QXD_EXIT_CODE is its exit code.
qxd_end_program() {
    local seconds=${1:-60} waited
    for ((waited = 0; waited < seconds * 10; waited++)); do
        kill -0 "$QXD_PROGRAM_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$QXD_PROGRAM_PID" 2>/dev/null; then
        qxd_log "the program did not end within $seconds s"
        return 1
    fi
    wait "$QXD_PROGRAM_PID"
    QXD_EXIT_CODE=$?
    return 0
}

# Waits up to SECONDS (60) for the program to end, answering No to every question that
# stands open meanwhile: a busy machine may show the question about the unsaved project
# seconds after Exit. False when the program is still running then.
qxd_end_answering_no() {
    local seconds=${1:-60} deadline
    deadline=$((SECONDS + seconds))
    while kill -0 "$QXD_PROGRAM_PID" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
        if qxd windows 2>/dev/null && [ ${#QXD_ANSWER[@]} -gt 0 ]; then
            qxd_log "on Exit: ${QXD_ANSWER[*]}"
            qxd_key n
        fi
        sleep 0.5
    done
    qxd_end_program 5
}

# File > Exit, answering No to the question about the unsaved project (and to any other
# question that stands open); fails unless the program ends with 0.
qxd_exit_answering_no() {
    qxd "post 57665"
    qxd_end_answering_no 60 || qxd_fail "the program did not end"
    [ "$QXD_EXIT_CODE" = 0 ] || qxd_fail "exit code $QXD_EXIT_CODE"
}
