#!/usr/bin/env bash
# A batch over many files, file by file through GNU parallel on two cores, as the README shows
# it: the tables joined in input order equal those of a plain loop over the same files.
# Usage: BatchParallelTest.sh KALVEX_FIT EXAMPLES_DIR. Exit 77 (skipped) without GNU parallel.
set -euo pipefail
fit="$1"
examples="$2"
if ! command -v parallel >/dev/null 2>&1; then
    echo "GNU parallel is not installed (scripts/setup installs it)" >&2
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Six spectra with their peak files: the examples, each twice under its own name.
files=()
for round in 1 2; do
    for spc in "$examples"/*.spc; do
        base="$work/$(basename "${spc%.spc}")-$round"
        cp "$spc" "$base.spc"
        cp "${spc%.spc}.sp2" "$base.sp2"
        files+=("$base.spc")
    done
done

# The plain loop: the first file's table with its header, the others without.
header=yes
for f in "${files[@]}"; do
    "$fit" "$f" --quiet --table "${f%.spc}.seq.csv" --table-header "$header" >/dev/null
    header=no
done
for f in "${files[@]}"; do cat "${f%.spc}.seq.csv"; done >"$work/sequential.csv"

# GNU parallel: {#} is the job number, so job 1 keeps the header; -k keeps the input order.
parallel --will-cite -k -j 2 \
    "$fit {} --quiet --table {.}.par.csv --table-header \$([ {#} = 1 ] && echo yes || echo no)" \
    ::: "${files[@]}" >/dev/null
for f in "${files[@]}"; do cat "${f%.spc}.par.csv"; done >"$work/parallel.csv"

rows=$(wc -l <"$work/sequential.csv")
if [[ $rows -lt 7 ]]; then
    echo "the sequential table has only $rows lines" >&2
    exit 1
fi
if [[ $(grep -c '^spectrum,' "$work/parallel.csv") -ne 1 ]]; then
    echo "the joined table must hold exactly one header line" >&2
    exit 1
fi
cmp "$work/sequential.csv" "$work/parallel.csv"
echo "$rows lines, identical"
