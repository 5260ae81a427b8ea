#!/bin/bash
# The folders of src/ include each other one way only: the window-free folders include no
# folder that holds windows, no window folder includes editor/, and no chain of includes
# leads back to where it started. Prints every offending include and fails on one.
# Usage: check_includes.sh SRC-FOLDER
set -euo pipefail
src=${1:?usage: check_includes.sh SRC-FOLDER}
core=" model editing program platform "

edges=$(for dir in "$src"/*/; do
    from=$(basename "$dir")
    grep -ho '^#include "[a-z]*/' "$dir"*.h "$dir"*.cpp 2>/dev/null |
        sed 's/#include "//; s#/##' | sort -u | grep -vx "$from" | sed "s/^/$from /" || true
done)

faults=0
while read -r from to; do
    if [[ $core == *" $from "* && $core != *" $to "* ]] || [[ $to == editor && $from != editor ]]; then
        echo "$from/ includes $to/"
        faults=1
    fi
done <<<"$edges"
# tsort names the folders of a circle.
tsort <<<"$edges" >/dev/null || faults=1
exit $faults
