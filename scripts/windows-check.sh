#!/usr/bin/env bash
# Cross-builds brawlarium.exe with MinGW-w64 and checks it under Wine:
#
#   1. Piped sessions (tests/windows/*.in, none of them draws a random
#      number): the .exe's standard output, with its CR LF line ends read as
#      LF, is byte for byte the Linux binary's, and so is the exit code.
#   2. In a real terminal (tmux), for the Linux binary and then for the .exe:
#      the window title is set, a key wait ends with one key press (and not
#      with the Enter of the answer before it), a fight shows its colours and
#      ends in the normal colour, and the game quits with exit code 0. For
#      the .exe also: a key with a two-byte code (F11: 224 133) ends one wait
#      and the next one at once, one whose code starts with 0 (F1: 0 59) ends
#      only its own, and Ctrl+C ends a key wait as a key press.
#   3. Ctrl+C stops the .exe at the main menu and in the pause between two
#      fight rounds: the process ends (with STATUS_CONTROL_C_EXIT), what is
#      written after it is in the normal colour, and the window has the title
#      it had before the game started. Wine cannot close a console window of
#      a terminal, so the close event is covered by the keeper's unit test.
#   4. The ZIP for Windows players (cpack -G ZIP): brawlarium.exe, the two
#      price lists, README.txt with CR LF line ends and LICENSE.txt, nothing
#      else; unpacked into an empty folder and started from another one, the
#      game finds its lists beside itself and plays a piped session as the
#      Linux binary does.
#
# Usage: scripts/windows-check.sh [LINUX_BINARY]    (default: build/brawlarium)
#
# Installs MinGW-w64, Wine and tmux from Debian's packages when they are
# missing and this runs as root; otherwise says what to install and stops.
# Every Wine run is bounded in time; the Wine prefix is a throw-away one.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LINUX_BINARY=${1:-$ROOT/build/brawlarium}
WINDOW_TITLE='Brawlarium! Adventures inside the almighty Console.'
PRESS_ANY_KEY='Press any key to continue...'
MAIN_MENU='-------Main Menu-------'

say() { printf 'windows-check: %s\n' "$*"; }
die() {
    printf 'windows-check: FAILED: %s\n' "$*" >&2
    exit 1
}

# --- Tools -----------------------------------------------------------------

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
# The wine command runs a 64-bit .exe only with the wine64 loader beside it.
if ! command -v wine >/dev/null || ! { command -v wine64 >/dev/null || [[ -x /usr/lib/wine/wine64 ]]; }; then
    missing+=(wine wine64)
fi
command -v tmux >/dev/null || missing+=(tmux)
command -v unzip >/dev/null || missing+=(unzip)
if ((${#missing[@]} > 0)); then
    if [[ $(id -u) -eq 0 ]]; then
        say "installing ${missing[*]}"
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    else
        printf 'windows-check: missing tools; install them with:\n' >&2
        printf '  sudo apt-get install --no-install-recommends %s\n' "${missing[*]}" >&2
        exit 1
    fi
fi

[[ -x $LINUX_BINARY ]] || die "no Linux binary at $LINUX_BINARY (build it first: cmake --preset default && cmake --build --preset default)"
LINUX_BINARY=$(cd "$(dirname "$LINUX_BINARY")" && pwd)/$(basename "$LINUX_BINARY")

# --- Cross-build -----------------------------------------------------------

say "cross-building brawlarium.exe (preset mingw, build-mingw)"
(cd "$ROOT" && cmake --preset mingw >/dev/null && cmake --build --preset mingw)
EXE=$ROOT/build-mingw/brawlarium.exe
[[ -f $EXE ]] || die "the cross-build made no $EXE"

say "packing the ZIP (cpack -G ZIP in build-mingw)"
rm -f "$ROOT"/build-mingw/brawlarium-*-win64.zip
(cd "$ROOT/build-mingw" && cpack -G ZIP >/dev/null)
ZIPS=("$ROOT"/build-mingw/brawlarium-*-win64.zip)
[[ ${#ZIPS[@]} -eq 1 && -f ${ZIPS[0]} ]] || die "cpack made no brawlarium-VERSION-win64.zip"
ZIP=${ZIPS[0]}

# A static build needs no MinGW runtime DLL beside it on a plain Windows machine.
if x86_64-w64-mingw32-objdump -p "$EXE" | grep -iE 'DLL Name: *(libstdc\+\+|libgcc|libwinpthread)'; then
    die "brawlarium.exe needs MinGW runtime DLLs; it must be linked statically"
fi

# --- A throw-away Wine prefix and a copy of the data ------------------------

WORK=$(mktemp -d "${TMPDIR:-/tmp}/brawlarium-windows-check.XXXXXX")
GAME=$WORK/game
mkdir -p "$GAME"
cp "$ROOT/data/weaponlist.txt" "$ROOT/data/armorlist.txt" "$EXE" "$GAME/"
UNPACKED=$WORK/unpacked
ELSEWHERE=$WORK/elsewhere
mkdir -p "$UNPACKED" "$ELSEWHERE"
unzip -q "$ZIP" -d "$UNPACKED"

export WINEPREFIX=$WORK/prefix
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko install dialogs, and no windows at all.
export WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY TMUX

TMUX_SOCKET=brawlarium-windows-check-$$
tmx() { tmux -L "$TMUX_SOCKET" "$@"; }

cleanup() {
    tmx kill-server 2>/dev/null || true
    timeout 30 wineserver -k 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

say "creating the Wine prefix"
timeout 180 wine wineboot.exe --init </dev/null >"$WORK/wineboot.log" 2>&1 ||
    die "wineboot did not finish within 180 s: $(tail -5 "$WORK/wineboot.log")"
timeout 120 wineserver -w || die "the Wine prefix did not settle within 120 s"

# --- 1. Piped sessions: the same bytes as the Linux binary -------------------

tally_name=windows-check
source "$ROOT/scripts/tally.sh"

# Both run in a session of their own, without a controlling terminal: a key
# wait then has no console to read and returns at once, on either platform.
run_linux() { # input output
    (cd "$GAME" && timeout -k 5 20 setsid -w "$LINUX_BINARY" <"$1" >"$2" 2>"$2.err")
}
run_windows() { # input output seconds
    (cd "$GAME" && timeout -k 10 "$3" setsid -w wine ./brawlarium.exe <"$1" >"$2" 2>"$2.err")
}

wine_seconds=120 # the first start in a new prefix is the slow one
for input in "$ROOT"/tests/windows/*.in; do
    name=$(basename "$input" .in)
    linux_out=$WORK/$name.linux
    windows_raw=$WORK/$name.windows-crlf
    windows_out=$WORK/$name.windows

    linux_rc=0
    run_linux "$input" "$linux_out" || linux_rc=$?
    windows_rc=0
    run_windows "$input" "$windows_raw" "$wine_seconds" || windows_rc=$?
    wine_seconds=60

    if ((windows_rc == 124 || windows_rc == 137)); then
        fail "$name: brawlarium.exe under Wine did not end within the time limit"
        continue
    fi
    if ((linux_rc == 124 || linux_rc == 137)); then
        fail "$name: the Linux binary did not end within the time limit"
        continue
    fi
    # A Windows program in text mode ends every line with CR LF, and writes
    # no other CR.
    line_ends=$(tr -cd '\n' <"$windows_raw" | wc -c)
    carriage_returns=$(tr -cd '\r' <"$windows_raw" | wc -c)
    crlf_line_ends=$(grep -c $'\r$' "$windows_raw" || true)
    if ((carriage_returns != line_ends)) || ((crlf_line_ends != line_ends)); then
        fail "$name: brawlarium.exe wrote $line_ends line ends, $crlf_line_ends of them CR LF, and $carriage_returns CRs"
    fi
    sed 's/\r$//' "$windows_raw" >"$windows_out"

    if ! cmp -s "$linux_out" "$windows_out"; then
        fail "$name: standard output differs (- Linux, + Windows; \$ marks a line end, ^I a tab)"
        diff -u <(cat -A "$linux_out") <(cat -A "$windows_out") | head -n 60 >&2 || true
        continue
    fi
    if ((linux_rc != windows_rc)); then
        fail "$name: exit code $linux_rc on Linux, $windows_rc on Windows"
        continue
    fi
    pass "$name: same output ($(wc -c <"$linux_out") bytes), exit code $linux_rc"
done

# The .exe reports the version the Linux binary reports.
exe_version=$(cd "$GAME" && timeout -k 10 60 setsid -w wine ./brawlarium.exe --version </dev/null 2>/dev/null | tr -d '\r') || true
linux_version=$("$LINUX_BINARY" --version)
if [[ $exe_version == "$linux_version" ]]; then
    pass "brawlarium.exe --version: $exe_version"
else
    fail "brawlarium.exe --version says \"$exe_version\", the Linux binary \"$linux_version\""
fi

# --- 2. The ZIP: unpacked alone, the game finds its lists beside itself ------

zip_contents=$(cd "$UNPACKED" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
if [[ $zip_contents == "LICENSE.txt README.txt armorlist.txt brawlarium.exe weaponlist.txt " ]]; then
    pass "$(basename "$ZIP") holds brawlarium.exe, the two lists, README.txt and LICENSE.txt at its root"
else
    fail "$(basename "$ZIP") holds: $zip_contents"
fi
for list in weaponlist.txt armorlist.txt; do
    cmp -s "$ROOT/data/$list" "$UNPACKED/$list" || fail "the ZIP's $list is not the sample one"
done
readme_lines=$(tr -cd '\n' <"$UNPACKED/README.txt" | wc -c)
readme_crlf=$(grep -c $'\r$' "$UNPACKED/README.txt" || true)
if ((readme_lines == 0 || readme_crlf != readme_lines)); then
    fail "README.txt: $readme_crlf of its $readme_lines lines end in CR LF"
elif ! grep -q $'^## How to play\r$' "$UNPACKED/README.txt" || ! grep -q $'^## The price lists\r$' "$UNPACKED/README.txt"; then
    fail "README.txt lacks the sections on how to play and on the price lists"
else
    pass "README.txt: how to play and the price lists, $readme_lines lines, all ending in CR LF"
fi

# Started in an empty working directory, so that only the executable's own
# folder holds the lists.
zip_session='name-stats-shop'
zip_rc=0
(cd "$ELSEWHERE" && timeout -k 10 60 setsid -w wine "$UNPACKED/brawlarium.exe" \
    <"$ROOT/tests/windows/$zip_session.in" >"$WORK/zip.windows-crlf" 2>"$WORK/zip.err") || zip_rc=$?
sed 's/\r$//' "$WORK/zip.windows-crlf" >"$WORK/zip.windows"
if ((zip_rc != 0)); then
    fail "the game from the ZIP ended with exit code $zip_rc: $(head -c 300 "$WORK/zip.err")"
elif ! cmp -s "$WORK/$zip_session.linux" "$WORK/zip.windows"; then
    fail "the game from the ZIP: standard output differs from the Linux binary's ($zip_session)"
    diff -u <(cat -A "$WORK/$zip_session.linux") <(cat -A "$WORK/zip.windows") | head -n 40 >&2 || true
else
    pass "the game from the ZIP, started elsewhere, finds its lists and plays $zip_session as on Linux"
fi

# --- 3. In a terminal: title, key waits, colours of a fight ------------------

# Ctrl+C in the terminal is meant for the game: the script waits for it and
# says how it ended.
cat >"$WORK/play.sh" <<EOF
#!/bin/sh
trap : INT
cd '$GAME' || exit 1
"\$@"
echo "[game ended rc=\$?]"
exec sleep 600
EOF
chmod +x "$WORK/play.sh"

screen_text() { tmx capture-pane -p -J -t game -S -; }
screen_with_colours() { tmx capture-pane -p -e -J -t game -S -; }
count() { screen_text | grep -cF -- "$1" || true; }

show_screen() {
    printf -- '--- the screen (last 40 lines) ---\n' >&2
    screen_text | grep -v '^$' | tail -n 40 >&2 || true
    printf -- '----------------------------------\n' >&2
}

# Waits until TEXT appears at least N times on the screen (history included).
wait_for() { # text times seconds what
    local deadline=$((SECONDS + $3))
    while (($(count "$1") < $2)); do
        if ((SECONDS >= deadline)); then
            show_screen
            die "$4: \"$1\" did not appear (x$2) within $3 s"
        fi
        sleep 0.3
    done
}

# Checks that TEXT stays at exactly N occurrences for a while.
stays_at() { # text times seconds what
    sleep "$3"
    local seen
    seen=$(count "$1")
    if ((seen != $2)); then
        show_screen
        die "$4: \"$1\" is on the screen $seen times, expected $2"
    fi
}

keys() { tmx send-keys -t game "$@"; }
answer() { tmx send-keys -t game -l -- "$1" && tmx send-keys -t game Enter; }

# The last colour change on the screen up to the end of the last TEXT on it
# (empty when there is none), as cat -v shows it.
last_colour_up_to() { # text
    screen_with_colours | awk -v mark="$1" '
        { line[NR] = $0 }
        index($0, mark) { last = NR }
        END {
            for (i = 1; i < last; ++i) print line[i]
            if (last) print substr(line[last], 1, index(line[last], mark) + length(mark) - 1)
        }' | grep -oE $'\e\\[[0-9;]*m' | tail -n 1 | cat -v || true
}

# Fails unless the last colour change up to TEXT is back to the normal colour.
normal_colour_at() { # text what
    local closing
    closing=$(last_colour_up_to "$1")
    case "$closing" in
    '' | '^[[39m' | '^[[0m' | '^[[m' | '^[[37m') ;;
    *)
        show_screen
        die "$2 (last colour change: ${closing:-none})"
        ;;
    esac
}

# Starts a session in tmux, named NAME, with the command that follows, run in
# the data folder: a tmux server of its own for each session, with a history
# long enough to keep every screen of the session for counting.
start_session() { # name command...
    local name=$1
    shift
    tmx kill-server 2>/dev/null || true
    TMUX_SOCKET=brawlarium-windows-check-$$-$name
    tmx -f /dev/null start-server \; set-option -g history-limit 100000 \; \
        new-session -d -s game -x 100 -y 40 "$WORK/play.sh" "$@"
}

# From the main menu: a character named Bob, then a fight at level 1.
start_fight() {
    local waits_before menus_before
    waits_before=$(count "$PRESS_ANY_KEY")
    menus_before=$(count "$MAIN_MENU")
    answer a
    wait_for 'Character Creation Menu' 1 20 "creation menu"
    answer a
    wait_for 'Change Name to:' 1 20 "naming"
    answer Bob
    wait_for 'Name Set to: Bob' 1 20 "naming"
    wait_for "$PRESS_ANY_KEY" $((waits_before + 1)) 20 "the key wait after naming"
    keys x
    answer r
    wait_for 'Do you still want to return to the main menu (Y/N)?' 1 20 "leaving character creation"
    answer y
    wait_for "$MAIN_MENU" $((menus_before + 1)) 20 "back to the main menu"
    answer d
    wait_for 'COMBAT MENU' 1 20 "combat menu"
    answer 1
}

window_title() { tmx display-message -p -t game '#{pane_title}'; }

# One session in tmux: PLATFORM (linux or windows), then the command that
# starts the game in the data folder.
check_in_terminal() {
    local platform=$1
    shift
    start_session "$platform" "$@"
    wait_for 'Your Choice:' 1 120 "start-up"

    title=$(window_title)
    [[ $title == "$WINDOW_TITLE" ]] || die "window title: got \"$title\", expected \"$WINDOW_TITLE\""
    pass "$platform: the window title is set"

    # One key press ends a key wait; the Enter of the answer before it does not,
    # and the key does not reach standard input.
    answer c
    wait_for "$PRESS_ANY_KEY" 1 20 "stats screen"
    stays_at "$MAIN_MENU" 1 2 "the key wait ended without a key press"
    keys x
    wait_for "$MAIN_MENU" 2 20 "the key wait did not end with one key press"
    pass "$platform: a key wait ends with one key press"

    if [[ $platform == windows ]]; then
        # F11 (224 133): its first byte ends this wait, its second ends the next one.
        answer c
        wait_for "$PRESS_ANY_KEY" 2 20 "stats screen"
        keys F11
        wait_for "$MAIN_MENU" 3 20 "F11 did not end the key wait"
        answer c
        wait_for "$MAIN_MENU" 4 20 "the second byte of F11 did not end the next key wait"
        pass "$platform: F11 ends a key wait and leaves its second byte for the next one"

        # F1 (0 59): the 0 does not end the wait, 59 does; nothing is left over.
        answer c
        wait_for "$PRESS_ANY_KEY" 4 20 "stats screen"
        keys F1
        wait_for "$MAIN_MENU" 5 20 "F1 did not end the key wait"
        answer c
        wait_for "$PRESS_ANY_KEY" 5 20 "stats screen"
        stays_at "$MAIN_MENU" 5 2 "F1 left a byte pending"
        keys x
        wait_for "$MAIN_MENU" 6 20 "the key wait after F1 did not end with one key press"
        pass "$platform: F1 ends a key wait and leaves nothing pending"

        # Ctrl+C at a key wait is a key press (input mode 0). Wine's console
        # leaves the terminal's signal keys on, so that there Ctrl+C always
        # arrives as a signal; they are switched off for this one key, which
        # lets Wine's console, like Windows', go by the input mode.
        answer c
        wait_for "$PRESS_ANY_KEY" 6 20 "stats screen"
        stty -isig <"$(tmx display-message -p -t game '#{pane_tty}')"
        keys C-c
        wait_for "$MAIN_MENU" 7 20 "Ctrl+C did not end the key wait"
        pass "$platform: Ctrl+C ends a key wait as a key press"
    fi

    if (($(count 'Invalid Choice!') != 0)); then
        show_screen
        die "a key pressed at a key wait reached standard input"
    fi
    pass "$platform: keys pressed at key waits never reach standard input"

    # A named character, then a fight at level 1. It plays itself out with a
    # two-second pause between rounds.
    # Counted before the naming starts: its own key-wait message may reach the
    # screen a moment after the name does.
    waits_before=$(count "$PRESS_ANY_KEY")
    start_fight
    wait_for 'Round 1 - Bob' 1 30 "the fight did not start"
    wait_for "$PRESS_ANY_KEY" $((waits_before + 2)) 300 "the fight did not end"

    colours=$(screen_with_colours)
    sgr_seen() { grep -qF -- $'\e['"$1"'m' <<<"$colours"; }
    fight_colours=()
    sgr_seen 92 && fight_colours+=("bright green (player hit)")
    sgr_seen 32 && fight_colours+=("green (player miss)")
    sgr_seen 91 && fight_colours+=("bright red (monster hit)")
    sgr_seen 31 && fight_colours+=("red (monster miss)")
    if ((${#fight_colours[@]} == 0)); then
        show_screen
        die "the fight showed no colours"
    fi
    normal_colour_at "$PRESS_ANY_KEY" "the fight did not end in the normal colour"
    pass "$platform: a fight shows its colours: $(IFS=,; echo "${fight_colours[*]}")"

    # End the fight's key wait, go back to the main menu (after a victory the
    # combat menu comes first; at the main menu "r" is merely invalid) and quit.
    keys x
    answer r
    answer q
    wait_for '[game ended rc=0]' 1 30 "quitting"
    pass "$platform: the game quits with exit code 0"
}

# --- 4. Ctrl+C: the console given back ----------------------------------------

# Under Wine the game starts with an empty console title; cmd's title command
# gives the window one that the game finds and must give back.
BEFORE_TITLE='Before the game'
GAME_ENDED='[game ended rc='

# Ctrl+C at WHERE (menu: the main menu's question; fight: the pause after the
# second round, which with seed 1 is not the last one).
stop_with_ctrl_c() { # where
    local where=$1 title
    start_session "ctrl-c-$where" wine cmd /c "title $BEFORE_TITLE&brawlarium.exe --seed 1"
    wait_for 'Your Choice:' 1 120 "start-up"
    title=$(window_title)
    [[ $title == "$WINDOW_TITLE" ]] || die "window title: got \"$title\", expected \"$WINDOW_TITLE\""
    if [[ $where == fight ]]; then
        start_fight
        # Round 2 is played the moment its heading is written; the pause follows.
        wait_for 'Round 2 - Bob' 1 30 "the fight did not reach round 2"
        sleep 0.5
    fi
    keys C-c
    wait_for "$GAME_ENDED" 1 20 "Ctrl+C did not end the game"
    if (($(count 'Round 3 - Bob') != 0)); then
        show_screen
        die "the fight went on after Ctrl+C"
    fi
    normal_colour_at "$GAME_ENDED" "after Ctrl+C the colour is not the normal one"
    title=$(window_title)
    [[ $title == "$BEFORE_TITLE" ]] || die "after Ctrl+C the window title is \"$title\", expected \"$BEFORE_TITLE\""
    pass "windows: Ctrl+C in the $where ends the game; the colour is normal and the title \"$BEFORE_TITLE\" again"
}

# The exit code of a Windows program stopped by Ctrl+C, STATUS_CONTROL_C_EXIT
# (0xC000013A), reaches Linux as its last byte, 58.
exit_code_of_ctrl_c() {
    start_session ctrl-c-exit-code wine ./brawlarium.exe
    wait_for 'Your Choice:' 1 120 "start-up"
    keys C-c
    wait_for "$GAME_ENDED" 1 20 "Ctrl+C did not end the game"
    wait_for "${GAME_ENDED}58]" 1 1 "Ctrl+C did not end the game with STATUS_CONTROL_C_EXIT"
    pass "windows: Ctrl+C ends the game with STATUS_CONTROL_C_EXIT"
}

check_in_terminal linux "$LINUX_BINARY"
check_in_terminal windows wine ./brawlarium.exe
stop_with_ctrl_c menu
stop_with_ctrl_c fight
exit_code_of_ctrl_c

tally_report
