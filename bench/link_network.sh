#!/bin/sh
# Times fast "All" downloads against zeltra-emu at 38400 baud straight over its pseudo-terminal
# and through a ser2net of its own on 127.0.0.1 (RFC 2217 and raw TCP accepters), with
# ser2net's chardelay off and at its default, taking turns, three rounds; prints each median and
# its ratio to the direct one. Exits non-zero when a chardelay-off ratio is above 1.2.
# Needs ser2net (scripts/install-deps).  Usage: bench/link_network.sh [build-folder]
set -eu
build=${1:-build}
exec "$build/bench/zeltra-link-bench" --network "$build/emulator/zeltra-emu"
