#!/usr/bin/env bash
# The main program under a real X display, as a person would use it: the pointer crosses
# the menu bar and the toolbars, every top-level menu opens (a picture of each is saved),
# and every command of the main window's menus runs once, with no page window, with a
# worksheet and with a graph window active; a window a command opens is closed with Escape.
# Exit comes last and must end the program with exit code 0.
#   menu_walk.sh BUILDDIR ARTIFACTS
# Fails on a crash, a hang, a window that cannot be closed, or another exit code. Writes
# ARTIFACTS/menu-commands.tsv (state, menu path, id, grey or enabled, what happened) and
# the pictures ARTIFACTS/menu-<state>-<n>.png.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=display.sh
. "$here/display.sh"

artifacts=${2:?artifacts folder}
rm -rf "$artifacts"
mkdir -p "$artifacts"
table=$artifacts/menu-commands.tsv
printf 'window\tpath\tid\tgrey\toutcome\n' >"$table"

qxd_begin "${1:?build folder}"
qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"

# On a new machine the Tip of the Day opens at start (the probe may be in before it is
# shown): it is closed as a person would close it.
for tries in $(seq 600); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after start"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.1
done
[ ${#QXD_ANSWER[@]} -gt 0 ] || qxd_fail "no Tip of the Day at start"
QXD_CLOSED=()
qxd_close_windows || qxd_fail "a window shown at start could not be closed"
qxd_log "closed at start: ${QXD_CLOSED[*]}"

# The pointer crosses the menu bar, slowly, and then every toolbar docked at the top.
cross_menu_bar_and_toolbars() {
    local left top right bottom
    qxd main || return 1
    read -r _ _ left top right bottom <<<"${QXD_ANSWER[0]}"
    qxd bar || return 1
    local line y top_bar bottom_bar
    read -r _ _ _ top_bar _ bottom_bar _ <<<"${QXD_ANSWER[0]}"
    y=$(((top_bar + bottom_bar) / 2))
    qxd_glide "$((left + 2))" "$y" "$((right - 2))" "$y" 4
    qxd_alive || return 1
    qxd parts || return 1
    local parts=("${QXD_ANSWER[@]}") id parent l t r b
    for line in "${parts[@]}"; do
        read -r _ _ id parent l t r b _ <<<"$line"
        # The toolbars and other bars docked at the top (in the dock bar 59419).
        [ "$parent" = 59419 ] || continue
        qxd_glide "$((l + 1))" "$(((t + b) / 2))" "$((r - 1))" "$(((t + b) / 2))" 5
    done
    # Back over the menu bar, and away.
    qxd_glide "$((right - 2))" "$y" "$((left + 2))" "$y" 9
    qxd_move "$((right - 20))" "$((bottom - 20))"
    qxd_alive
}

# Opens each top-level menu with a click, runs the pointer down its items (which opens
# the drop-downs inside it), takes a picture and closes it with Escape.
open_every_menu() {
    local state=$1 line index l t r b name n=0
    qxd bar || return 1
    local items=("${QXD_ANSWER[@]}")
    for line in "${items[@]}"; do
        read -r _ index l t r b name <<<"$line"
        [ -n "$name" ] || continue
        n=$((n + 1))
        qxd_click "$(((l + r) / 2))" "$(((t + b) / 2))"
        local popup="" tries
        for tries in $(seq 50); do
            qxd popups || return 1
            [ ${#QXD_ANSWER[@]} -gt 0 ] && { popup=${QXD_ANSWER[0]}; break; }
            sleep 0.1
        done
        [ -n "$popup" ] || { qxd_log "menu \"$name\" did not open"; return 1; }
        local pl pt pr pb
        read -r _ _ pl pt pr pb _ <<<"$popup"
        qxd_screenshot "$artifacts/menu-$state-$n.png"
        echo "$state $n $name" >>"$artifacts/pictures.txt"
        # Down the middle of the drop-down, over every item.
        qxd_glide "$(((pl + pr) / 2))" "$((pt + 3))" "$(((pl + pr) / 2))" "$((pb - 3))" 4
        qxd_alive || { qxd_log "after the pointer ran down menu \"$name\""; return 1; }
        qxd_key Escape Escape Escape
        for tries in $(seq 50); do
            qxd popups || return 1
            [ ${#QXD_ANSWER[@]} -eq 0 ] && break
            sleep 0.1
        done
        [ ${#QXD_ANSWER[@]} -eq 0 ] || { qxd_log "menu \"$name\" did not close with Escape"; return 1; }
        qxd_move "$(((l + r) / 2))" "$((b + 200))"
    done
    qxd_alive
}

# Page windows: closes all of them (answering "No" to any question), then makes the
# state's window.
set_state() {
    local state=$1 line hwnd
    qxd children || return 1
    local pages=("${QXD_ANSWER[@]}")
    for line in "${pages[@]}"; do
        read -r _ hwnd _ <<<"$line"
        qxd "close $hwnd" || return 1
        qxd settle || return 1
        qxd_close_windows n || return 1
    done
    case $state in
        none) ;;
        worksheet) qxd "script win -t wks" || return 1 ;;
        graph) qxd "script win -t plot" || return 1 ;;
    esac
    qxd settle && qxd_close_windows || return 1
    qxd children || return 1
    STATE_PAGES=$(printf '%s\n' "${QXD_ANSWER[@]}" | awk '{print $2, $3, $4}')
    local expected=1
    [ "$state" = none ] && expected=0
    local visible
    visible=$(printf '%s\n' "${QXD_ANSWER[@]}" | awk '$3 == 1' | grep -c . || true)
    [ "$visible" -eq "$expected" ] || { qxd_log "state $state: page windows ${QXD_ANSWER[*]}"; return 1; }
}

# Runs every enabled command of the current menus once; Exit is kept for the end.
walk_commands() {
    local state=$1 line kind id grey path outcome
    qxd menus || return 1
    local rows=("${QXD_ANSWER[@]}")
    qxd_log "state $state: ${#rows[@]} menu entries"
    for line in "${rows[@]}"; do
        read -r kind id grey path <<<"$line"
        [ "$kind" = item ] || continue
        if [[ $grey == grey* ]]; then
            printf '%s\t%s\t%s\t%s\t%s\n' "$state" "$path" "$id" grey - >>"$table"
            continue
        fi
        if [ "$id" = 57665 ]; then
            printf '%s\t%s\t%s\t%s\t%s\n' "$state" "$path" "$id" enabled "exit (last step)" >>"$table"
            continue
        fi
        qxd "invoke $id" || { qxd_log "command $id ($path) in state $state"; return 1; }
        local answer=("${QXD_ANSWER[@]}") parts=() restore=0 a
        for a in "${answer[@]}"; do
            case $a in
                window*) parts+=("window: $(cut -d' ' -f3- <<<"$a")") ;;
                page*) parts+=("page window made"); restore=1 ;;
                gone*) parts+=("page window closed"); restore=1 ;;
                frame) parts+=("main window changed") ;;
            esac
        done
        outcome=${parts[*]:-nothing visible}
        QXD_CLOSED=()
        qxd_close_windows || { qxd_log "after command $id ($path) in state $state"; return 1; }
        qxd_alive || { qxd_log "after command $id ($path) in state $state"; return 1; }
        # A command that makes, closes or hides a page window changes the state.
        if [ $restore = 0 ] && [ "$state" != none ]; then
            qxd children || return 1
            [ "$(printf '%s\n' "${QXD_ANSWER[@]}" | awk '{print $2, $3, $4}')" = "$STATE_PAGES" ] || restore=1
        fi
        if [ $restore = 1 ]; then
            set_state "$state" || { qxd_log "the state $state could not be made again after $id ($path)"; return 1; }
        fi
        printf '%s\t%s\t%s\t%s\t%s\n' "$state" "$path" "$id" enabled "$outcome" >>"$table"
    done
}

cross_menu_bar_and_toolbars || qxd_fail "crossing the menu bar and the toolbars"
for state in none worksheet graph; do
    set_state "$state" || qxd_fail "making the state $state"
    cross_menu_bar_and_toolbars || qxd_fail "crossing the menu bar and the toolbars with $state"
    open_every_menu "$state" || qxd_fail "opening the menus with $state"
    walk_commands "$state" || qxd_fail "running the commands with $state"
    qxd_log "state $state done after $SECONDS s"
done

# File > Exit with the mouse; a question about saving is answered No.
qxd bar || qxd_fail "no menu bar"
read -r _ _ l t r b _ <<<"${QXD_ANSWER[0]}"
qxd_click "$(((l + r) / 2))" "$(((t + b) / 2))"
exit_rect=""
for tries in $(seq 50); do
    qxd "itemrect 57665" 2>/dev/null && { exit_rect=${QXD_ANSWER[0]}; break; }
    sleep 0.1
done
[ -n "$exit_rect" ] || qxd_fail "File > Exit is not in the File menu"
read -r _ l t r b <<<"$exit_rect"
qxd_move "$(((l + r) / 2))" "$(((t + b) / 2))"
qxd_click "$(((l + r) / 2))" "$(((t + b) / 2))"
qxd_end_answering_no 60 || qxd_fail "Exit did not end the program"
[ "$QXD_EXIT_CODE" = 0 ] || qxd_fail "the program ended with exit code $QXD_EXIT_CODE: $(tail -n 20 "$QXD_TMP/program.log")"
qxd_log "exit code 0; $(($(wc -l <"$table") - 1)) menu commands in $table"
