#!/bin/sh
# compare.sh [--cold] SCAN-BENCH TREE [ROUNDS]: wall times and peak memory of scan-bench, jdupes
# and rdfind on one tree, interleaved. Warm (the default): after one warm-up pass each, so that
# the page cache holds the tree. --cold: the page cache is dropped before every run (as root).
# Prints the median time and the median peak resident memory of each, and the time ratios.
set -eu
cold=false
if [ "${1:-}" = "--cold" ]; then
    cold=true
    shift
fi
bench=$1
tree=$2
rounds=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if $cold && [ "$(id -u)" != 0 ]; then
    echo "compare.sh: --cold drops the page cache and needs root" >&2
    exit 2
fi
prepare() {
    if $cold; then
        sync
        echo 3 >/proc/sys/vm/drop_caches
    fi
}
# timed NAME COMMAND...: appends "seconds kilobytes" of one run to $work/NAME.
timed() {
    name=$1
    shift
    prepare
    /usr/bin/time -f "%e %M" -o "$work/last" "$@" >/dev/null 2>&1
    cat "$work/last" >>"$work/$name"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column() { awk -v c="$2" '{ print $c }' "$work/$1" | median; }

if ! $cold; then
    "$bench" "$tree" >/dev/null 2>&1; jdupes -r -q "$tree" >/dev/null 2>&1
    (cd "$work" && rdfind -dryrun true "$tree" >/dev/null 2>&1)
fi
for round in $(seq "$rounds"); do
    timed ours "$bench" "$tree"
    timed jdupes jdupes -r -q "$tree"
    (cd "$work" && timed rdfind rdfind -dryrun true "$tree")
done
ours=$(column ours 1)
jd=$(column jdupes 1)
rd=$(column rdfind 1)
echo "mode=$($cold && echo cold || echo warm) rounds=$rounds (medians)"
echo "scan-bench=$ours jdupes=$jd rdfind=$rd"
echo "peak_kb: scan-bench=$(column ours 2) jdupes=$(column jdupes 2) rdfind=$(column rdfind 2)"
echo "jdupes/scan-bench=$(echo "scale=2; $jd / $ours" | bc) rdfind/scan-bench=$(echo "scale=2; $rd / $ours" | bc)"
