#!/bin/sh
# Times machine-mode "All" downloads and uploads against zeltra-emu on a pseudo-terminal at
# 38400 baud: the default pace over the protocol's floor (a download: 483 ticks of 50 ms) and
# fast transfer over the wire limit, with the speed-up. Exits non-zero when the pace ratio
# reaches 1.03 or the fast ratio 1.5.  Usage: bench/link_download.sh [build-folder [emulator
# switches, such as --garbage 99]]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
exec "$build/bench/zeltra-link-bench" "$build/emulator/zeltra-emu" "$@"
