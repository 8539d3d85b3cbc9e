#!/usr/bin/env bash
# Start-up figures of the built program, without a display (SDL's dummy drivers)
# and in a real window under X: CPU time of the whole process until the title
# screen's first frame reached the window (the program logs it), the wall time until
# everything is loaded (the title's continue button shows once the loader is done),
# the resident memory then and its peak, and, after the program has stayed idle on
# its title for a while longer (5 s), its CPU time and resident memory, the CPU its
# helper copies took (the 3D test's drawing runs in one on a first start) and the
# GL libraries mapped into it. Each figure is the median of RUNS starts.
# A first start (a fresh per-user data folder) also runs the 3D capability test; a
# later start (the same folder again) takes the test's verdict from its cache, as a
# player's every other start does.
#
#   bench/startup.sh [--display=:N] [--idle=SECONDS] [program folder (build/game)] [runs (5)]
#
# Without --display the X figures come from a private Xvfb server.
#
# One Python process per start starts the program and watches it: it polls the
# probe file every 2 ms until the program has loaded and then sleeps through the
# idle time, so the measurement starts no processes on the cores it measures.
set -euo pipefail

DISPLAY_WANTED=""
IDLE=5
args=()
for a in "$@"; do
    case $a in
    --display=*) DISPLAY_WANTED=${a#--display=} ;;
    --idle=*) IDLE=${a#--idle=} ;;
    -h | --help) sed -n '2,20p' "$0"; exit 0 ;;
    *) args+=("$a") ;;
    esac
done
GAME_DIR=${args[0]:-build/game}
RUNS=${args[1]:-5}
GAME_DIR=$(cd "$GAME_DIR" && pwd)
[ -x "$GAME_DIR/plindor" ] || { echo "no program in $GAME_DIR (make build first)" >&2; exit 1; }
command -v python3 > /dev/null || { echo "python3 is needed to watch the program" >&2; exit 1; }

# One start with the per-user folder given. Prints "cpu_to_title loading_wall
# rss_loaded peak_loaded cpu_end cpu_idle rss_end helper_cpu gl_libraries", or
# fails when the program did not load within 60 s.
one_start() {
    python3 - "$GAME_DIR" "$1" "$IDLE" << 'PY'
import os, re, signal, subprocess, sys, time

game_dir, home, idle = sys.argv[1], sys.argv[2], float(sys.argv[3])
probe_path = os.path.join(home, "probe.txt")
out_path = os.path.join(home, "out.txt")
open(probe_path, "w").close()
env = dict(os.environ, PLINDOR_HOME=home, PLINDOR_TEST_PROBE=probe_path, PLINDOR_HEADLESS="1")
# The loader is done once the title offers its button, or the title has gone.
loaded_pattern = re.compile(r" buttons [0-9]+=| screen (menu|map|board)")
gl_names = ("libGL", "libEGL", "libLLVM", "_dri.so", "libgallium", "libglapi")
tick = os.sysconf("SC_CLK_TCK")

def cpu(pid):
    """The process's own CPU seconds and those of its ended children."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    own = (int(fields[11]) + int(fields[12])) / tick
    children = (int(fields[13]) + int(fields[14])) / tick
    return own, children

def memory(pid):
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                values[key] = int(rest.split()[0]) / 1024
    return values.get("VmRSS", 0.0), values.get("VmHWM", 0.0)

def gl_libraries(pid):
    found = set()
    with open(f"/proc/{pid}/maps") as f:
        for line in f:
            path = line.rsplit(" ", 1)[-1].strip()
            if any(name in path for name in gl_names):
                found.add(path)
    return len(found)

with open(out_path, "wb") as out:
    start = time.monotonic()
    program = subprocess.Popen(["./plindor"], cwd=game_dir, env=env, stdout=out, stderr=subprocess.STDOUT)
figures = None
try:
    with open(probe_path) as probe:
        seen = ""
        while program.poll() is None and time.monotonic() - start < 60:
            seen += probe.read()
            if loaded_pattern.search(seen):
                wall = time.monotonic() - start
                rss_loaded, peak_loaded = memory(program.pid)
                cpu_loaded, _ = cpu(program.pid)
                time.sleep(idle)
                cpu_end, helpers = cpu(program.pid)
                rss_end, _ = memory(program.pid)
                figures = [wall, rss_loaded, peak_loaded, cpu_end, cpu_end - cpu_loaded, rss_end, helpers,
                           gl_libraries(program.pid)]
                break
            # Only the last line may be incomplete.
            seen = seen[seen.rfind("\n") + 1:]
            time.sleep(0.002)
finally:
    if program.poll() is None:
        program.send_signal(signal.SIGTERM)
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()
if figures is None:
    sys.exit("the program did not finish loading (see " + out_path + ")")
with open(out_path, errors="replace") as out:
    first = re.search(r"^First frame shown after (\d+) ms of CPU", out.read(), re.M)
if not first:
    sys.exit("the program did not log its first frame (see " + out_path + ")")
print(" ".join(f"{v:.3f}" for v in [int(first.group(1)) / 1000] + figures[:-1]), figures[-1])
PY
}

median() { sort -n | awk '{v[NR]=$1} END {if (NR == 0) print "-"; else print v[int((NR + 1) / 2)]}'; }

column() { cut -d' ' -f"$1" <<< "$2" | median; }

print_medians() {
    local rows=$2
    printf '%-28s CPU to title %.3f s   loading wall %.3f s   RSS loaded %.1f MB (peak %.1f MB)\n' "$1" \
        "$(column 1 "$rows")" "$(column 2 "$rows")" "$(column 3 "$rows")" "$(column 4 "$rows")"
    printf '%-28s after %s s idle: CPU %.3f s (%.3f s of it idle)   RSS %.1f MB   helper CPU %.3f s' \
        "" "$IDLE" "$(column 5 "$rows")" "$(column 6 "$rows")" "$(column 7 "$rows")" "$(column 8 "$rows")"
    printf '   GL libraries %s   (median of %s)\n' "$(column 9 "$rows")" "$RUNS"
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

if [ -n "$DISPLAY_WANTED" ]; then
    DISPLAY=$DISPLAY_WANTED SDL_AUDIODRIVER=dummy report "X ($DISPLAY_WANTED)"
elif command -v Xvfb > /dev/null; then
    xdir=$(mktemp -d /tmp/plindor-startup-x.XXXXXX)
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5> "$xdir/display" 2> /dev/null &
    XVFB_PID=$!
    trap 'kill "$XVFB_PID" 2>/dev/null; rm -rf "$xdir"' EXIT
    for _ in $(seq 500); do [ -s "$xdir/display" ] && break; sleep 0.01; done
    display=$(head -n1 "$xdir/display")
    DISPLAY=:$display SDL_AUDIODRIVER=dummy report "X (Xvfb)"
else
    echo "Xvfb is not installed and no --display was given: no figures under X" >&2
fi
