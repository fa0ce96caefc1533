#!/usr/bin/env bash
# The Windows program under Wine on a private X server, as a player meets it: the window and its
# caption, a board whose every cell is one of the pictures pixel for pixel, clicks, a double
# click and the arrows forwarded to the cell under the pointer, F2, F5 and F1, the 5 x 5 board
# chosen from the menu with the keyboard and the window fitted to it, a board larger than the
# screen and the window fitted exactly to the next one, a second start that leaves one window,
# and Esc ending the program. The game's rules are the controller's tests' to check:
# here only that the window shows what it is told and hands the input on. Last, at a screen
# scale of 200 %, the board shows every board pixel as 2 x 2 screen pixels and a click still
# turns the cell under the pointer.
#   e2e.sh [--x86] KOVELINT.EXE WINEPREFIX [SCREENSHOT.png]
# --x86: a 32-bit program, under 32-bit Wine (wine.sh --x86).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine=("$here/wine.sh")
[ "$1" != --x86 ] || { wine+=(--x86); shift; }
exe=$1 prefix=$2 shot=${3:-}
root=$(cd "$here/../.." && pwd)
img() { python3 "$here/xwd.py" "$@"; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kovelint-win-e2e.XXXXXX")
. "$root/tests/lib/private_x.sh"
game=
dpi() {  # the screen scale Wine gives its programs: 96 is 100 %
    "${wine[@]}" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}
cleanup() {
    [ -z "$game" ] || kill "$game" 2>/dev/null || true
    [ "$scale" = 1 ] || dpi 96
    WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
    for p in "${private_x_pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT
private_x "$WORK" || exit 1

passes=0 failures=0
check() {  # check WHAT COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok   $what"
        passes=$((passes + 1))
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}
fail() { echo "FAIL $*"; echo "--- the game's output:"; cat "$WORK/game.log"; exit 1; }

grab() { xwd -root -silent >"$WORK/$1.xwd"; }
# Grabs into NAME until the screen holds still (two grabs alike) and, when BEFORE is given,
# differs from that grab; 30 seconds at most (Wine on a busy machine can take seconds to paint).
grab_changed() {
    local name=$1 before=${2:-}
    for _ in $(seq 300); do
        sleep 0.1
        grab "$name"
        [ -z "$before" ] || ! cmp -s "$WORK/$name.xwd" "$WORK/$before.xwd" || continue
        sleep 0.1
        grab "$name.again"
        cmp -s "$WORK/$name.xwd" "$WORK/$name.again.xwd" && return 0
    done
    return 1
}
windows() { xdotool search --name '^Ковелинт ' 2>/dev/null || true; }
caption() { xdotool getwindowname "$win"; }
geometry() { eval "$(xdotool getwindowgeometry --shell "$win")"; }  # X Y WIDTH HEIGHT
board_at() { read -r bx by < <(img board "$WORK/$1.xwd" "$X" "$Y" "$WIDTH" "$HEIGHT" "$2" "$3"); }
scale=1
cells_of() { img cells "$WORK/$1.xwd" "$bx" "$by" "$2" "$3" $((35 * scale)) $((5 * scale)) "$root/assets"; }
# The centre of cell N (from 1) of a board COLS wide, on the screen.
centre() {
    local edge=$((35 * scale)) margin=$((5 * scale))
    echo $((bx + margin + ($1 - 1) % $2 * edge + edge / 2)) $((by + margin + ($1 - 1) / $2 * edge + edge / 2))
}
nth() { cut -d' ' -f"$2" <<<"$1"; }
# The tile of a picture slot, and its turn clockwise (straights swap, corners and tees go round).
tile() { [ "$1" = 0 ] && echo 0 || echo $((($1 - 1) % 12 + 1)); }
clockwise() {
    case $1 in 2) echo 3 ;; 3) echo 2 ;; 7) echo 4 ;; 11) echo 8 ;; [4-6] | 8 | 9 | 10) echo $(($1 + 1)) ;; *) echo "$1" ;; esac
}
# The first cell of a list that shows a grey corner or tee (slots 4 to 11), or 0.
corner_or_tee() {
    local n=0
    for s in $1; do
        n=$((n + 1))
        [ "$s" = "?" ] || [ "$s" -lt 4 ] || [ "$s" -gt 11 ] || { echo "$n"; return; }
    done
    echo 0
}
# Cells whose tile differs between two lists, as "N:before>after".
turned() {
    local -a a b
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    for i in "${!a[@]}"; do
        [ "$(tile "${a[$i]}")" = "$(tile "${b[$i]}")" ] || echo -n "$((i + 1)):$(tile "${a[$i]}")>$(tile "${b[$i]}") "
    done
}

# A first start of Wine on a busy machine, its wineserver and services included, can take more
# than half a minute; two minutes only tell a program that hangs from a slow one.
start_game() {
    "${wine[@]}" "$prefix" "$exe" >"$WORK/game.log" 2>&1 &
    game=$!
    local until=$((SECONDS + 120))
    while [ "$SECONDS" -lt "$until" ]; do
        win=$(windows | head -n1)
        [ -n "$win" ] && return 0
        kill -0 "$game" 2>/dev/null || fail "the program ended without a window"
        sleep 0.1
    done
    fail "no window within 120 s"
}
end_game() {  # Esc, with the pointer on the board
    read -r cx cy < <(centre 1 "$1")
    xdotool mousemove "$cx" "$cy" key Escape
    for _ in $(seq 300); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    check "Esc ended the program" eval '! kill -0 "$game" 2>/dev/null'
    check "and its window is gone" [ -z "$(windows)" ]
    wait "$game" 2>/dev/null || true
    game=
}

# --- Start-up: the window, its caption and the board drawn from the pictures.
start_game
check "the caption reads 'Ковелинт 10x9 - Nшт.' ($(caption))" grep -qE '^Ковелинт 10x9 - [0-9]+шт\.$' <<<"$(caption)"
grab_changed start || fail "the screen never held still"
geometry
board_at start 360 325
[ -n "${by:-}" ] || fail "no 360 x 325 board filling the client area"
echo "ok   the client area is the 10 x 9 board, 360 x 325, at $bx,$by in a $WIDTH x $HEIGHT window"
frame_w=$((WIDTH - 360)) frame_h=$((HEIGHT - 325))
start_window="$X $Y $WIDTH $HEIGHT"
start=$(cells_of start 10 9)
check "every cell shows one of the pictures, pixel for pixel" eval '! grep -q "?" <<<"$start"'

# --- A click on a grey corner or tee turns that cell; no other cell turns. (Corners and tees,
# since a straight turned twice, by the double click below, looks as before.)
pick=$(corner_or_tee "$start")
[ "$pick" -gt 0 ] || fail "no grey corner or tee to click: $start"
read -r cx cy < <(centre "$pick" 10)
xdotool mousemove "$cx" "$cy" click 1
grab_changed clicked start || fail "a click changed nothing on the screen"
clicked=$(cells_of clicked 10 9)
want="$pick:$(tile "$(nth "$start" "$pick")")>$(clockwise "$(tile "$(nth "$start" "$pick")")") "
check "the click turned cell $pick and only it ($(turned "$start" "$clicked"))" [ "$(turned "$start" "$clicked")" = "$want" ]
# Only the clicked cell's pixels change, unless the turn completed a pipe and coloured its cells.
others=0
for n in $(seq 90); do
    [ "$n" = "$pick" ] || [ "$(nth "$start" "$n")" = "$(nth "$clicked" "$n")" ] || others=1
done
if [ "$others" = 0 ]; then
    read -r dx dy dw dh < <(img diff "$WORK/start.xwd" "$WORK/clicked.xwd" "$X" "$Y" "$WIDTH" "$HEIGHT")
    left=$((bx + 5 + (pick - 1) % 10 * 35)) top=$((by + 5 + (pick - 1) / 10 * 35))
    check "only the clicked cell's pixels changed ($dw x $dh at $dx,$dy)" \
        test "$dx" -ge "$left" -a $((dx + dw)) -le $((left + 35)) -a "$dy" -ge "$top" -a $((dy + dh)) -le $((top + 35))
fi

# --- A double click turns it twice; the arrows turn the cell under the still pointer.
before=$clicked
xdotool click --repeat 2 --delay 80 1
grab_changed double clicked || fail "a double click changed nothing"
double=$(cells_of double 10 9)
t=$(tile "$(nth "$before" "$pick")")
check "a double click turned the cell twice" [ "$(tile "$(nth "$double" "$pick")")" = "$(clockwise "$(clockwise "$t")")" ]
xdotool key Right
grab_changed right double || fail "the Right arrow changed nothing"
right=$(cells_of right 10 9)
t=$(tile "$(nth "$double" "$pick")")
check "the Right arrow turned the cell under the pointer" [ "$(tile "$(nth "$right" "$pick")")" = "$(clockwise "$t")" ]
xdotool key Left
grab_changed left right || fail "the Left arrow changed nothing"
check "the Left arrow turned it back" [ "$(turned "$double" "$(cells_of left 10 9)")" = "" ]

# --- F5 scrambles the same puzzle again: the caption and the sources stay, pieces turn.
first_caption=$(caption)
xdotool key F5
grab_changed f5 left || fail "F5 changed nothing"
f5=$(cells_of f5 10 9)
check "F5 keeps the caption" [ "$(caption)" = "$first_caption" ]
sources() { for s in $1; do [ "$(tile "$s")" = 1 ] && echo -n "$s " || echo -n "- "; done; }
check "F5 keeps every source where it was" [ "$(sources "$f5")" = "$(sources "$(cells_of left 10 9)")" ]
check "F5 turned pieces" [ -n "$(turned "$(cells_of left 10 9)" "$f5")" ]

# --- F2 deals a new game; F1 lays one pipe, in colour.
xdotool key F2
grab_changed f2 f5 || fail "F2 changed nothing"
f2=$(cells_of f2 10 9)
check "F2 dealt a new board of pictures ($(caption))" eval '! grep -q "?" <<<"$f2" && grep -qE "^Ковелинт 10x9 - [0-9]+шт\.$" <<<"$(caption)"'
xdotool key F1
grab_changed f1 f2 || fail "F1 changed nothing"
f1=$(cells_of f1 10 9)
grey_now=0
for n in $(seq 90); do
    a=$(nth "$f2" "$n") b=$(nth "$f1" "$n")
    [ "$a" = "$b" ] || [ "$b" -gt 12 ] || grey_now=1
done
check "F1 laid a pipe: every cell it changed is in colour" [ "$grey_now" = 0 ]
# The window with a pipe laid, for the README.
[ -z "$shot" ] || img png "$WORK/f1.xwd" "$shot" $start_window

# Settings, then the keys that reach an entry from its first one; the keys are paced so that
# each menu is open before the next one arrives.
settings() {
    for key in F10 Right Down "$@" Return; do
        xdotool key "$key"
        sleep 0.2
    done
}
# Waits until the caption matches, 30 s at most.
caption_reads() { for _ in $(seq 300); do grep -qE "$1" <<<"$(caption)" && return 0; sleep 0.1; done; return 1; }

# --- 5 x 5 from the menu by keyboard: Settings, Board size, the last size.
settings Down Right Up
caption_reads '5x5' || true
check "the caption reads 'Ковелинт 5x5 - Nшт.' ($(caption))" grep -qE '^Ковелинт 5x5 - [0-9]+шт\.$' <<<"$(caption)"
grab_changed small f1 || fail "the 5 x 5 board never showed"
geometry
bx= by=
board_at small 185 185
check "the client area is the 5 x 5 board, 185 x 185" [ -n "$by" ]
check "the window shrank with the board (${WIDTH}x$HEIGHT)" test $((WIDTH - 185)) = "$frame_w" -a $((HEIGHT - 185)) -ge "$frame_h"
check "every cell of the small board is a picture" eval '! grep -q "?" <<<"$(cells_of small 5 5)"'

# --- Large pictures on 25 x 15 make a board larger than the screen, which scrolls; small ones
# then fit the window to the board exactly, with no scroll bar left over.
settings Down Down Right  # Picture size, Large
settings Down Right       # Board size, 25 x 15
caption_reads '^Ковелинт 25x15 ' || fail "no 25 x 15 board from the menu"
grab_changed big small || fail "the large 25 x 15 board never showed"
geometry
check "a board larger than the screen keeps the window on it (${WIDTH}x$HEIGHT at $X,$Y)" \
    test "$X" -ge 0 -a "$Y" -ge 0 -a $((X + WIDTH)) -le 1024 -a $((Y + HEIGHT)) -le 768
settings Down Down Right Down  # Picture size, Small
grab_changed wide big || fail "small pictures changed nothing"
geometry
bx= by=
board_at wide 885 535
check "after it, the client area is the small 25 x 15 board, 885 x 535" [ -n "$by" ]
check "and the window is that board and its frame, nothing more (${WIDTH}x$HEIGHT)" \
    test $((WIDTH - 885)) = "$frame_w" -a $((HEIGHT - 535)) = "$frame_h"

# --- A second start leaves the one window and ends.
timeout 120 "${wine[@]}" "$prefix" "$exe" >"$WORK/second.log" 2>&1 || true
check "a second start ended and left one window" [ "$(windows | wc -l)" = 1 ]
kill -0 "$game" 2>/dev/null || fail "the first game ended at the second start"

# --- Esc ends the program.
end_game 25

# --- At 200 %: two screen pixels to a board pixel, never blurred, and clicks find their cell.
scale=2
dpi 192
start_game
grab_changed large || fail "the screen never held still at 200 %"
geometry
bx= by=
board_at large 720 650
check "at 200 % the client area is the board at twice its size, 720 x 650" [ -n "$by" ]
[ -n "$by" ] || fail "no board at 200 %"
large=$(cells_of large 10 9)
check "at 200 % every cell is a picture" eval '! grep -q "?" <<<"$large"'
# Read one screen pixel further right and down, every cell is still the same picture: each
# picture pixel is a 2 x 2 block, not blurred across its neighbours.
bx=$((bx + 1)) by=$((by + 1))
check "at 200 % every picture pixel is a sharp 2 x 2 block" [ "$(cells_of large 10 9)" = "$large" ]
bx=$((bx - 1)) by=$((by - 1))
pick=$(corner_or_tee "$large")
[ "$pick" -gt 0 ] || fail "no grey corner or tee to click at 200 %"
read -r cx cy < <(centre "$pick" 10)
xdotool mousemove "$cx" "$cy" click 1
grab_changed large-clicked large || fail "a click at 200 % changed nothing"
t=$(tile "$(nth "$large" "$pick")")
check "at 200 % a click turns the cell under the pointer ($pick)" \
    [ "$(turned "$large" "$(cells_of large-clicked 10 9)" | cut -d' ' -f1)" = "$pick:$t>$(clockwise "$t")" ]
end_game 10
dpi 96
scale=1

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
