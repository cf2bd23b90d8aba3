#!/usr/bin/env bash
# A batch over many files through GNU parallel on two cores, as the README shows it: the tables
# joined in input order equal those of a plain loop. Exit 77 (skipped) without GNU parallel.
# Usage: BatchParallelTest.sh KALVEX_FIT EXAMPLES_DIR
set -euo pipefail
fit="$1"
command -v parallel >/dev/null 2>&1 || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

files=()  # the examples with their peak files, each twice under its own name
for round in 1 2; do
    for spc in "$2"/*.spc; do
        base="$work/$(basename "${spc%.spc}")-$round"
        cp "$spc" "$base.spc"
        cp "${spc%.spc}.sp2" "$base.sp2"
        files+=("$base.spc")
    done
done

header=yes  # the first table keeps its header
for f in "${files[@]}"; do
    "$fit" "$f" --quiet --table "${f%.spc}.seq.csv" --table-header "$header" >/dev/null
    header=no
done
parallel --will-cite -k -j 2 \
    "$fit {} --quiet --table {.}.par.csv --table-header \$([ {#} = 1 ] && echo yes || echo no)" \
    ::: "${files[@]}" >/dev/null
for f in "${files[@]}"; do cat "${f%.spc}.seq.csv"; done >"$work/sequential.csv"
for f in "${files[@]}"; do cat "${f%.spc}.par.csv"; done >"$work/parallel.csv"

test "$(grep -c '^spectrum,' "$work/parallel.csv")" -eq 1
test "$(wc -l <"$work/parallel.csv")" -gt 6
cmp "$work/sequential.csv" "$work/parallel.csv"
