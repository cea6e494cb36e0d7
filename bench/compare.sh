#!/bin/sh
# compare.sh SCAN-BENCH TREE [ROUNDS]: wall times of scan-bench, jdupes and rdfind on one tree,
# interleaved, after one warm-up pass each so that the page cache holds the tree. Prints the
# best time of each and the ratios.
set -eu
bench=$1
tree=$2
rounds=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
timed() {
    start=$(now)
    "$@" >/dev/null 2>&1
    echo "$(now) - $start" | bc
}
best() { sort -n | head -1; }

"$bench" "$tree" >/dev/null 2>&1; jdupes -r -q "$tree" >/dev/null 2>&1
(cd "$work" && rdfind -dryrun true "$tree" >/dev/null 2>&1)
for round in $(seq "$rounds"); do
    timed "$bench" "$tree" >>"$work/ours"
    timed jdupes -r -q "$tree" >>"$work/jdupes"
    (cd "$work" && timed rdfind -dryrun true "$tree") >>"$work/rdfind"
done
ours=$(best <"$work/ours")
jd=$(best <"$work/jdupes")
rd=$(best <"$work/rdfind")
echo "scan-bench=$ours jdupes=$jd rdfind=$rd"
echo "jdupes/scan-bench=$(echo "scale=2; $jd / $ours" | bc) rdfind/scan-bench=$(echo "scale=2; $rd / $ours" | bc)"
