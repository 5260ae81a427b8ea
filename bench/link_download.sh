#!/bin/sh
# Times a machine-mode "All" download against zeltra-emu on a pseudo-terminal and prints the
# time over the protocol's floor (483 ticks of 50 ms). Exits non-zero when the ratio is 1.03
# or more.  Usage: bench/link_download.sh [build-folder]
set -eu
build=${1:-build}
exec "$build/bench/zeltra-link-bench" "$build/emulator/zeltra-emu"
