#!/usr/bin/env bash
# Fits the standard generated spectra with cfityk and with kalvex-fit in both precisions from
# the same starting peaks and prints one table: fit time, iterations, squared sum, position
# errors, and how many times faster kalvex-fit's double precision is than cfityk.
#
# Usage: bench/compare_peers.sh [draws]   (default 5 draws of every case; the table shows medians)
# KALVEX_BUILD_DIR selects the build folder (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${KALVEX_BUILD_DIR:-$root/build}"
draws="${1:-5}"

# The peer fitter comes from the project's one installer, never from here.
"$root/scripts/setup" --peers
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    "$root/scripts/build"
fi
cmake --build "$build" --target kalvex-fit bench_fit >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cases=$("$build/bin/bench_fit" --write-cases "$work" "$draws")

have_time=0
if [[ -x /usr/bin/time ]]; then have_time=1; fi

# Largest |fitted - true| position, points, from a list of fitted centres and the truth file.
position_error() {
    paste "$1" "$2" | awk '{d = $1 - $2; if (d < 0) d = -d; if (d > m) m = d} END {printf "%.3g", m + 0}'
}

# Median of the numbers on standard input.
median() {
    sort -g | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

# kalvex-fit on one draw in one precision: appends time, iterations, Z, position error and
# memory to the files $work/<tag>.{ms,it,z,pe,mb}.
run_kalvex() {
    local base="$1" precision="$2" tag="$3"
    local args=("$base.spc" --file-bias --quiet --max-iterations 2000 --precision "$precision"
        --out-sp2 "$base.$tag.sp2")
    local line
    if ((have_time)); then
        line=$(/usr/bin/time -f 'maxkb=%M' -o "$work/time.txt" "$build/bin/kalvex-fit" "${args[@]}" || true)
        awk -F= '/maxkb/ {printf "%.1f\n", $2 / 1024}' "$work/time.txt" >>"$work/$tag.mb"
    else
        line=$("$build/bin/kalvex-fit" "${args[@]}" || true)
        echo 0 >>"$work/$tag.mb"
    fi
    echo "$line" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' | awk '{print $1 * 1000}' >>"$work/$tag.ms"
    echo "$line" | sed -n 's/.*iterations=\([0-9]*\).*/\1/p' >>"$work/$tag.it"
    echo "$line" | sed -n 's/^Z=\([^ ]*\).*/\1/p' >>"$work/$tag.z"
    if [[ -f "$base.$tag.sp2" ]]; then
        awk '{print $1}' "$base.$tag.sp2" >"$work/k.pos"
        position_error "$work/k.pos" "$base.truth" >>"$work/$tag.pe"
        echo >>"$work/$tag.pe"
    else
        echo nan >>"$work/$tag.pe"
    fi
}

printf '%-15s | %9s %5s %11s %7s %6s | %9s %5s %8s %7s %6s | %9s %5s %11s %7s | %6s\n' \
    case "exact ms" iter "Z" "pos err" "MB" "double ms" iter "dZ rel" "pos err" "MB" \
    "fityk ms" evals "WSSR" "pos err" "x fityk"
printf '%s\n' "----------------+-----------------------------------------------+----------------------------------------------+---------------------------------------+-------"
for name in $cases; do
    for tag in e d f; do
        for ext in ms it z pe mb; do : >"$work/$tag.$ext"; done
    done
    : >"$work/dz"
    for ((s = 1; s <= draws; ++s)); do
        base="$work/$name-s$s"
        # Both precisions and the peer, one after the other on the same draw.
        run_kalvex "$base" extended e
        run_kalvex "$base" double d
        paste <(tail -1 "$work/e.z") <(tail -1 "$work/d.z") |
            awk '{d = ($2 - $1) / $1; if (d < 0) d = -d; printf "%.2g\n", d}' >>"$work/dz"

        # cfityk: its default Levenberg-Marquardt, one constant for the baseline, no cut-off.
        cfityk -n -q "$base.fityk" >"$work/fityk.log" 2>&1 || true
        sed -n 's/^fit_seconds=//p' "$work/fityk.log" | awk '{print $1 * 1000}' >>"$work/f.ms"
        sed -n 's/.*: \([0-9]*\) evaluations.*/\1/p' "$work/fityk.log" | tail -1 >>"$work/f.it"
        sed -n 's/^WSSR: \([^ ]*\).*/\1/p' "$work/fityk.log" | tail -1 >>"$work/f.z"
        sed -n 's/^center //p' "$work/fityk.log" >"$work/f.pos"
        position_error "$work/f.pos" "$base.truth" >>"$work/f.pe"
        echo >>"$work/f.pe"
    done
    dms=$(median <"$work/d.ms")
    fms=$(median <"$work/f.ms")
    printf '%-15s | %9.1f %5s %11.6g %7s %6s | %9.2f %5s %8s %7s %6s | %9.1f %5s %11.6g %7s | %6.1f\n' "$name" \
        "$(median <"$work/e.ms")" "$(median <"$work/e.it")" "$(median <"$work/e.z")" \
        "$(sort -g "$work/e.pe" | tail -1)" "$(sort -g "$work/e.mb" | tail -1)" \
        "$dms" "$(median <"$work/d.it")" "$(sort -g "$work/dz" | tail -1)" \
        "$(sort -g "$work/d.pe" | tail -1)" "$(sort -g "$work/d.mb" | tail -1)" \
        "$fms" "$(median <"$work/f.it")" "$(median <"$work/f.z")" \
        "$(sort -g "$work/f.pe" | tail -1)" \
        "$(awk -v f="$fms" -v d="$dms" 'BEGIN {print (d > 0) ? f / d : 0}')"
done
echo
echo "Medians over $draws draws per case; position errors, memory and dZ rel (|Z double - Z exact|"
echo "/ Z exact) are the largest over the draws. kalvex ms: wall time of the fit on every core"
echo "(kalvex-fit's seconds=); fityk ms: CPU time of its fit command (one thread). iter:"
echo "Gauss-Newton iterations; evals: Levenberg-Marquardt evaluations. x fityk: fityk ms / double ms."
