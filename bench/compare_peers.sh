#!/usr/bin/env bash
# Fits the standard generated spectra with cfityk and with kalvex-fit from the same starting
# peaks and prints one table: fit time, iterations, squared sum and position errors.
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

printf '%-16s | %10s %6s %12s %8s %8s | %10s %6s %12s %8s\n' \
    case "kalvex ms" iter "Z" "pos err" "max MB" "fityk ms" evals "WSSR" "pos err"
printf '%s\n' "-----------------+--------------------------------------------------------+---------------------------------------------"
for name in $cases; do
    : >"$work/k.ms"; : >"$work/k.it"; : >"$work/k.z"; : >"$work/k.pe"; : >"$work/k.mb"
    : >"$work/f.ms"; : >"$work/f.it"; : >"$work/f.z"; : >"$work/f.pe"
    for ((s = 1; s <= draws; ++s)); do
        base="$work/$name-s$s"
        # kalvex-fit: the bias of the starting peak lines, AUTO mode, both cores.
        args=("$base.spc" --file-bias --quiet --max-iterations 2000 --out-sp2 "$base.fit.sp2")
        if ((have_time)); then
            line=$(/usr/bin/time -f 'maxkb=%M' -o "$work/time.txt" "$build/bin/kalvex-fit" "${args[@]}" || true)
            awk -F= '/maxkb/ {printf "%.1f\n", $2 / 1024}' "$work/time.txt" >>"$work/k.mb"
        else
            line=$("$build/bin/kalvex-fit" "${args[@]}" || true)
            echo 0 >>"$work/k.mb"
        fi
        echo "$line" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' | awk '{print $1 * 1000}' >>"$work/k.ms"
        echo "$line" | sed -n 's/.*iterations=\([0-9]*\).*/\1/p' >>"$work/k.it"
        echo "$line" | sed -n 's/^Z=\([^ ]*\).*/\1/p' >>"$work/k.z"
        if [[ -f "$base.fit.sp2" ]]; then
            awk '{print $1}' "$base.fit.sp2" >"$work/k.pos"
            position_error "$work/k.pos" "$base.truth" >>"$work/k.pe"
            echo >>"$work/k.pe"
        else
            echo nan >>"$work/k.pe"
        fi

        # cfityk: its default Levenberg-Marquardt, one constant for the baseline, no cut-off.
        cfityk -n -q "$base.fityk" >"$work/fityk.log" 2>&1 || true
        sed -n 's/^fit_seconds=//p' "$work/fityk.log" | awk '{print $1 * 1000}' >>"$work/f.ms"
        sed -n 's/.*: \([0-9]*\) evaluations.*/\1/p' "$work/fityk.log" | tail -1 >>"$work/f.it"
        sed -n 's/^WSSR: \([^ ]*\).*/\1/p' "$work/fityk.log" | tail -1 >>"$work/f.z"
        sed -n 's/^center //p' "$work/fityk.log" >"$work/f.pos"
        position_error "$work/f.pos" "$base.truth" >>"$work/f.pe"
        echo >>"$work/f.pe"
    done
    printf '%-16s | %10.1f %6s %12.6g %8s %8s | %10.1f %6s %12.6g %8s\n' "$name" \
        "$(median <"$work/k.ms")" "$(median <"$work/k.it")" "$(median <"$work/k.z")" \
        "$(sort -g "$work/k.pe" | tail -1)" "$(sort -g "$work/k.mb" | tail -1)" \
        "$(median <"$work/f.ms")" "$(median <"$work/f.it")" "$(median <"$work/f.z")" \
        "$(sort -g "$work/f.pe" | tail -1)"
done
echo
echo "Medians over $draws draws per case; position errors and memory are the largest over the draws."
echo "kalvex ms: wall time of the fit (kalvex-fit's seconds=); fityk ms: CPU time of its fit command"
echo "(one thread). iter: Gauss-Newton iterations; evals: Levenberg-Marquardt evaluations."
