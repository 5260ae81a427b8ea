#!/bin/bash
# Compares the program with a bare Qt Widgets window built by the same build (one QMainWindow
# with a button), in the same run, on a private X display without a window manager; the
# runs of the two (and of the program with a large settings file) take turns:
#   - time from start to the first shown window and out (the window asked to close as a
#     window manager's close button does), median of RUNS, as a ratio; goal at most 1.2
#   - peak resident memory, median, as a ratio; goal at most 1.15
#   - the same start and out with a zeltra.ini near its 1 MiB bound, over the bare window's;
#     goal at most 1.3; once as one large section of notes, once as 20,000 small sections
#     ([ExtraN] with one key each)
#   - the heap a history of 1,000 edits holds; goal at most 2 MiB
#   - wake-ups a second (context switches of all threads) while idle, before and after a
#     "Keyboard" download through the connect window; goal 0 both times
# Prints the figures and exits non-zero when one misses its goal.
#
# Usage: bench/startup_memory.sh [build-folder] [runs]
# Needs Xvfb and xdotool. ZELTRA_BENCH_DISPLAY=:N picks the display number (default: a free
# one). Use a release build for figures that mean something.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
harness=$build/bench/zeltra-start-bench
bare=$build/bench/zeltra-bare-window
historyBench=$build/bench/zeltra-history-bench
for f in "$harness" "$bare" "$historyBench" "$build/src/zeltra" "$build/emulator/zeltra-emu"; do
    [[ -x $f ]] || { echo "missing $f: build the targets zeltra, zeltra-emu, zeltra-bare-window, zeltra-start-bench and zeltra-history-bench" >&2; exit 2; }
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 2; }
done

tmp=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

# A display of our own; -noreset, or it resets (and refuses connections for a moment) each
# time the last client leaves.
if [[ -n ${ZELTRA_BENCH_DISPLAY:-} ]]; then
    Xvfb "$ZELTRA_BENCH_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=$ZELTRA_BENCH_DISPLAY
else
    exec 3>"$tmp/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    pids+=($!)
    exec 3>&-
fi
for _ in $(seq 50); do
    [[ -n ${ZELTRA_BENCH_DISPLAY:-} ]] || { [[ -s $tmp/display ]] && export DISPLAY=:$(cat "$tmp/display"); }
    [[ -n ${DISPLAY:-} ]] && xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "Xvfb did not start" >&2; exit 2; }

# A portable copy of the program, with its own settings, runtime folder and keyboard.
mkdir -p "$tmp/prog" "$tmp/run"
chmod 700 "$tmp/run"
cp "$build/src/zeltra" "$build/src/zeltra.def" "$tmp/prog/"
export XDG_RUNTIME_DIR=$tmp/run
"$build/emulator/zeltra-emu" --link "$tmp/kbd" >"$tmp/emu.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -e $tmp/kbd ]] && break; sleep 0.1; done
export ZELTRA_COM1=$tmp/kbd
program=$tmp/prog/zeltra

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a/b}'; }
within() { awk -v r="$1" -v g="$2" 'BEGIN {exit !(r <= g)}'; }

# Warm-up, not counted: the first start makes the program's settings file.
"$harness" "$bare" >/dev/null
"$harness" "$program" --no-splash >/dev/null

# A second copy whose zeltra.ini is the first one's, grown near its bound by a hand-written
# section of notes (the program reads up to 1 MiB and adds a few lines at its close).
mkdir -p "$tmp/big"
cp "$tmp/prog/"* "$tmp/big/"
awk 'BEGIN {
    print "[Notes]"
    for (i = 1; size < 1048576 - 4096; i++) {
        line = sprintf("Note%05d = a note kept by hand beside the settings, number %d", i, i)
        print line
        size += length(line) + 1
    }
}' >>"$tmp/big/zeltra.ini"
bigProgram=$tmp/big/zeltra
"$harness" "$bigProgram" --no-splash >/dev/null

# A third copy whose zeltra.ini is as large, made of 20,000 small sections of one key each.
mkdir -p "$tmp/sections"
cp "$tmp/prog/"* "$tmp/sections/"
awk -v have="$(stat -c %s "$tmp/sections/zeltra.ini")" 'BEGIN {
    sections = 20000
    each = int((1048576 - 4096 - have) / sections)  # bytes a section may take
    for (i = 1; i <= sections; i++) {
        header = sprintf("[Extra%05d]", i)
        line = "Note = kept by hand"
        while (length(header) + length(line) + 2 < each)
            line = line "."
        print header
        print line
    }
}' >>"$tmp/sections/zeltra.ini"
sectionsProgram=$tmp/sections/zeltra
"$harness" "$sectionsProgram" --no-splash >/dev/null

for i in $(seq "$runs"); do
    "$harness" "$bare" >>"$tmp/bare.txt"
    "$harness" "$program" --no-splash >>"$tmp/program.txt"
    "$harness" "$bigProgram" --no-splash >>"$tmp/big.txt"
    "$harness" "$sectionsProgram" --no-splash >>"$tmp/sections.txt"
done
med() { cut -d' ' -f"$1" "$2" | median; }
bareShown=$(med 1 "$tmp/bare.txt")
bareOut=$(med 2 "$tmp/bare.txt")
bareRss=$(med 3 "$tmp/bare.txt")
progShown=$(med 1 "$tmp/program.txt")
progOut=$(med 2 "$tmp/program.txt")
progRss=$(med 3 "$tmp/program.txt")
bigOut=$(med 2 "$tmp/big.txt")
bigRss=$(med 3 "$tmp/big.txt")
sectionsOut=$(med 2 "$tmp/sections.txt")
sectionsRss=$(med 3 "$tmp/sections.txt")
read -r historySteps historyKib < <("$historyBench" 1000)

# Context switches of every thread of a process.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ {s += $2} END {print s + 0}'; }
idleRate() {
    local a b
    a=$(switches "$1"); sleep 5; b=$(switches "$1")
    awk -v a="$a" -v b="$b" 'BEGIN {printf "%.1f", (b - a) / 5}'
}
windowOf() { xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null | head -1; }

"$bare" >/dev/null 2>&1 &
barePid=$!
pids+=($barePid)
windowOf "$barePid" >/dev/null
sleep 1
bareIdle=$(idleRate "$barePid")
kill "$barePid"

"$program" --no-splash >"$tmp/program.log" 2>&1 &
progPid=$!
pids+=($progPid)
xdotool windowfocus "$(windowOf "$progPid")"
sleep 1
progIdleBefore=$(idleRate "$progPid")
xdotool key alt+c             # the "Connect" menu
sleep 0.5
xdotool key Down Return       # "Download": the connect window on "Keyboard"
xdotool search --sync --onlyvisible --pid "$progPid" --name '^Connect$' >/dev/null
sleep 0.5
xdotool key Return            # "Download (Set)"
for _ in $(seq 100); do
    (( $(grep -c '^<- 03 B1 01' "$tmp/emu.log" || true) >= 22 )) && break
    sleep 0.1
done
if (( $(grep -c '^<- 03 B1 01' "$tmp/emu.log" || true) < 22 )); then
    echo "the download through the connect window did not run" >&2
    exit 2
fi
sleep 0.5
xdotool key Escape            # close the connect window; the program sits idle
sleep 1
progIdle=$(idleRate "$progPid")
kill -TERM "$progPid"

timeRatio=$(ratio "$progOut" "$bareOut")
memRatio=$(ratio "$progRss" "$bareRss")
bigRatio=$(ratio "$bigOut" "$bareOut")
sectionsRatio=$(ratio "$sectionsOut" "$bareOut")
verdict() { if within "$1" "$2"; then echo "goal <= $2 met"; else echo "goal <= $2 MISSED"; fi; }
printf 'machine load            %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'start to first window   bare %6.0f ms   program %6.0f ms   ratio %s\n' "$bareShown" "$progShown" "$(ratio "$progShown" "$bareShown")"
printf 'start, window and out   bare %6.0f ms   program %6.0f ms   ratio %s   %s\n' "$bareOut" "$progOut" "$timeRatio" "$(verdict "$timeRatio" 1.2)"
printf 'peak resident memory    bare %6d KiB  program %6d KiB  ratio %s   %s\n' "$bareRss" "$progRss" "$memRatio" "$(verdict "$memRatio" 1.15)"
printf 'with a 1 MiB zeltra.ini bare %6.0f ms   program %6.0f ms   ratio %s   %s  (%s of the small one; %d KiB)\n' \
    "$bareOut" "$bigOut" "$bigRatio" "$(verdict "$bigRatio" 1.3)" "$(ratio "$bigOut" "$progOut")" "$bigRss"
printf 'with 20,000 sections    bare %6.0f ms   program %6.0f ms   ratio %s   %s  (%s of the small one; %d KiB)\n' \
    "$bareOut" "$sectionsOut" "$sectionsRatio" "$(verdict "$sectionsRatio" 1.3)" "$(ratio "$sectionsOut" "$progOut")" "$sectionsRss"
historyGoal=$(( historyKib <= 2048 ? 1 : 0 ))
printf 'history of %d steps     %d KiB   %s\n' "$historySteps" "$historyKib" \
    "$( (( historyGoal )) && echo "goal <= 2048 KiB met" || echo "goal <= 2048 KiB MISSED")"
printf 'idle wake-ups a second  bare %6s      program %6s before and %s after a download   %s\n' \
    "$bareIdle" "$progIdleBefore" "$progIdle" "$(verdict "$(awk -v a="$progIdleBefore" -v b="$progIdle" 'BEGIN {print (a > b) ? a : b}')" 0)"
within "$timeRatio" 1.2 && within "$memRatio" 1.15 && within "$bigRatio" 1.3 &&
    within "$sectionsRatio" 1.3 && (( historyGoal )) && within "$progIdleBefore" 0 && within "$progIdle" 0
