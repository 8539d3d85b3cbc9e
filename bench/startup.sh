#!/usr/bin/env bash
# Start-up figures of the built program, without a display (SDL's dummy drivers)
# and in a real window under Xvfb: CPU time of the whole process until the title
# screen's first frame reached the window (the program logs it),
# the wall time until everything is loaded (music included: the title's continue
# button shows once the loader is done, on a first start), and the resident memory
# at that point with its peak so far. Each figure is the median of RUNS starts.
# A first start (a fresh per-user data folder) also runs the 3D capability test,
# which loads the GL driver under X; a later start (the same folder again) takes the
# test's verdict from its cache, as a player's every other start does.
#   bench/startup.sh [program folder (build/game)] [runs (5)]
set -euo pipefail

GAME_DIR=${1:-build/game}
RUNS=${2:-5}
GAME_DIR=$(cd "$GAME_DIR" && pwd)
[ -x "$GAME_DIR/plindor" ] || { echo "no program in $GAME_DIR (make build first)" >&2; exit 1; }

now() { date +%s.%N; }

median() { sort -n | awk '{v[NR]=$1} END {if (NR == 0) print "-"; else print v[int((NR + 1) / 2)]}'; }

# The loader is done once the title offers its button, or the title has gone.
loaded() { grep -qE " buttons [0-9]+=| screen (menu|map|board)" "$1"; }

# One start with the per-user folder given: prints "cpu_to_title loading_wall
# rss_mb peak_rss_mb", or fails after 60 s.
one_start() {
    local home=$1 probe pid start cpu="" wall="" rss="" peak=""
    probe=$home/probe.txt
    : > "$probe"
    start=$(now)
    (cd "$GAME_DIR" && exec env PLINDOR_HOME="$home" PLINDOR_TEST_PROBE="$probe" PLINDOR_HEADLESS=1 \
        ./plindor > "$home/out.txt" 2>&1) &
    pid=$!
    local deadline=$(( $(date +%s) + 60 ))
    while kill -0 "$pid" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
        # The program logs its own CPU time when its first frame reaches the window.
        if [ -z "$cpu" ] && grep -q "^First frame shown after" "$home/out.txt"; then
            cpu=$(grep -m1 "^First frame shown after" "$home/out.txt" | awk '{print $5}')
            cpu=$(echo "scale=3; $cpu / 1000" | bc)
        fi
        if [ -n "$cpu" ] && loaded "$probe"; then
            wall=$(echo "$(now) - $start" | bc)
            rss=$(awk '/VmRSS/ {printf "%.1f", $2 / 1024}' /proc/"$pid"/status)
            peak=$(awk '/VmHWM/ {printf "%.1f", $2 / 1024}' /proc/"$pid"/status)
            break
        fi
        sleep 0.002
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -n "$wall" ] || { echo "the program did not finish loading (see its output)" >&2; return 1; }
    echo "$cpu $wall $rss $peak"
}

print_medians() {
    printf '%-32s CPU to title %.3f s   loading wall %.3f s   RSS %s MB (peak %s MB)   (median of %s)\n' "$1" \
        "$(cut -d' ' -f1 <<< "$2" | median)" "$(cut -d' ' -f2 <<< "$2" | median)" \
        "$(cut -d' ' -f3 <<< "$2" | median)" "$(cut -d' ' -f4 <<< "$2" | median)" "$RUNS"
}

# Each run: a first start in a fresh folder, then a later start in the same folder.
report() {
    local label=$1 first="" later="" home
    for _ in $(seq "$RUNS"); do
        home=$(mktemp -d /tmp/plindor-startup.XXXXXX)
        first+=$(one_start "$home")$'\n'
        later+=$(one_start "$home")$'\n'
        rm -rf "$home"
    done
    print_medians "$label, first start" "$(sed '/^$/d' <<< "$first")"
    print_medians "$label, later start" "$(sed '/^$/d' <<< "$later")"
}

SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy report "no display (dummy)"

if command -v Xvfb > /dev/null; then
    xdir=$(mktemp -d /tmp/plindor-startup-x.XXXXXX)
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5> "$xdir/display" 2> /dev/null &
    XVFB_PID=$!
    trap 'kill "$XVFB_PID" 2>/dev/null; rm -rf "$xdir"' EXIT
    for _ in $(seq 500); do [ -s "$xdir/display" ] && break; sleep 0.01; done
    display=$(head -n1 "$xdir/display")
    DISPLAY=:$display SDL_AUDIODRIVER=dummy report "X (Xvfb)"
else
    echo "Xvfb is not installed: no figures under X" >&2
fi
