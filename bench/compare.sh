#!/bin/sh
# compare.sh [--cold] SCAN-BENCH TREE [ROUNDS]: scan-bench, jdupes and rdfind on one tree. One
# warm-up run of each before any is timed, then the rounds, interleaved (each program once a
# round). Warm (the default): the warm-up leaves the tree in the page cache. --cold: the page
# cache is dropped before every timed run (as root).
# Prints the load average before and after, and for each program the median wall time, CPU time
# (user + sys) and peak resident memory, then the wall-time ratios. Figures taken under a load
# above 1 are not comparable.
set -eu
cold=false
if [ "${1:-}" = "--cold" ]; then
    cold=true
    shift
fi
bench=$(realpath "$1")
tree=$(realpath "$2")
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
# invoke NAME PREFIX...: runs the program NAME under PREFIX (a command that takes a command), in
# the work folder, where rdfind leaves its results file.
invoke() {
    name=$1
    shift
    cd "$work"
    case $name in
    ours) "$@" "$bench" "$tree" ;;
    jdupes) "$@" jdupes -r -q "$tree" ;;
    rdfind) "$@" rdfind -dryrun true "$tree" ;;
    esac
}
# timed NAME: appends "wall cpu kilobytes" of one run of NAME to $work/NAME.
timed() {
    prepare
    (invoke "$1" /usr/bin/time -f "%e %U %S %M" -o "$work/last") >/dev/null 2>&1
    awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$work/last" >>"$work/$1"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column() { awk -v c="$2" '{ print $c }' "$work/$1" | median; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "load_before=$(load)"
for name in ours jdupes rdfind; do
    (invoke $name env) >/dev/null 2>&1
done
for round in $(seq "$rounds"); do
    for name in ours jdupes rdfind; do
        timed $name
    done
done
echo "load_after=$(load)"
echo "mode=$($cold && echo cold || echo warm) rounds=$rounds (medians)"
for name in ours jdupes rdfind; do
    label=$name
    [ $name = ours ] && label=scan-bench
    echo "$label wall_s=$(column $name 1) cpu_s=$(column $name 2) peak_kb=$(column $name 3)"
done
ours=$(column ours 1)
echo "jdupes/scan-bench=$(echo "scale=2; $(column jdupes 1) / $ours" | bc)" \
    "rdfind/scan-bench=$(echo "scale=2; $(column rdfind 1) / $ours" | bc)"
