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
    [[ -n $from ]] || continue
    if [[ $core == *" $from "* && $core != *" $to "* ]]; then
        echo "window-free $from/ includes $to/"
        faults=1
    fi
    if [[ $to == editor && $from != editor ]]; then
        echo "$from/ includes editor/"
        faults=1
    fi
done <<<"$edges"

# A circle: some folder reaches itself along the includes.
circle=$(awk '{ next_[$1] = next_[$1] " " $2 }
    function reach(from, at, seen,    n, i, list) {
        n = split(next_[at], list, " ")
        for (i = 1; i <= n; i++) {
            if (list[i] == from) return 1
            if (!(list[i] in seen)) { seen[list[i]] = 1; if (reach(from, list[i], seen)) return 1 }
        }
        return 0
    }
    END { for (f in next_) { delete seen; if (reach(f, f, seen)) print f } }' <<<"$edges")
if [[ -n $circle ]]; then
    echo "includes lead back to:" $circle
    faults=1
fi
exit $faults
