#!/usr/bin/env bash
# kvx-cli calc on a project as a whole process, beside the same binary's bare
# start (kvx-cli --version). Targets: calc under 50 ms and 40 MB, and at most
# 1.5 times the bare start. Uses hyperfine when it is installed, else a loop
# that alternates the two commands.
# Usage: bench/cli.sh <bin dir> [runs]
set -euo pipefail
bin=${1:?usage: cli.sh <bin dir> [runs]}
runs=${2:-100}
bin=$(cd "$bin" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$bin/kvx-cli
[ -x "$cli" ] || { echo "cli.sh: $cli not built"; exit 1; }
[ -f "$bin/Basic.lsp" ] || { echo "cli.sh: $bin/Basic.lsp not built"; exit 1; }
project=$root/examples/meeting-room.kvx

# A data folder of its own, as an installed program has it.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bin/Basic.lsp" "$folder/"
printf '[Current lsp file]\r\nFilename=Basic.lsp\r\n[Configuration]\r\nLanguage=English\r\n' \
    >"$folder/Kvx.ini"
calc=("$cli" calc "$project" --data-dir "$folder")
bare=("$cli" --version)
"${calc[@]}" >/dev/null || { echo "cli.sh: kvx-cli calc failed"; exit 1; }

# Mean and median wall time in microseconds of both commands: "bare_mean
# bare_median calc_mean calc_median".
with_hyperfine() {
    local csv=$folder/times.csv
    hyperfine -N --style none --warmup 10 --runs "$runs" --export-csv "$csv" \
        "$(printf '%q ' "${bare[@]}")" "$(printf '%q ' "${calc[@]}")" >/dev/null 2>&1
    awk -F, 'NR > 1 { printf "%d %d ", $2 * 1e6, $4 * 1e6 } END { print "" }' "$csv"
}

with_loop() {
    local -a bare_times=() calc_times=()
    local start end
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        "${bare[@]}" >/dev/null
        end=$(date +%s%N)
        bare_times+=($(((end - start) / 1000)))
        start=$(date +%s%N)
        "${calc[@]}" >/dev/null
        end=$(date +%s%N)
        calc_times+=($(((end - start) / 1000)))
    done
    for times in "${bare_times[*]}" "${calc_times[*]}"; do
        tr ' ' '\n' <<<"$times" | sort -n |
            awk '{ t[NR] = $1; s += $1 } END { printf "%d %d ", s / NR, t[int((NR + 1) / 2)] }'
    done
    echo
}

# Peak resident memory in kB.
peak() {
    /usr/bin/time -v "$@" 2>&1 >/dev/null |
        awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}

if command -v hyperfine >/dev/null; then
    how=hyperfine
    read -r bare_mean bare_median calc_mean calc_median < <(with_hyperfine)
else
    how="alternating loop"
    read -r bare_mean bare_median calc_mean calc_median < <(with_loop)
fi
calc_peak=$(peak "${calc[@]}")
bare_peak=$(peak "${bare[@]}")

ms() { awk -v u="$1" 'BEGIN { printf "%.2f", u / 1000 }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
echo "$runs runs each ($how)"
printf '%-22s %10s %10s %10s\n' command "mean ms" "median ms" "peak MB"
printf '%-22s %10s %10s %10s\n' "kvx-cli --version" "$(ms "$bare_mean")" "$(ms "$bare_median")" \
    "$(mb "$bare_peak")"
printf '%-22s %10s %10s %10s\n' "kvx-cli calc PROJECT" "$(ms "$calc_mean")" \
    "$(ms "$calc_median")" "$(mb "$calc_peak")"

verdict() { if [ "$1" -eq 1 ]; then echo "met"; else echo "MISSED"; fi; }
ratio=$(awk -v a="$calc_median" -v b="$bare_median" 'BEGIN { printf "%.2f", a / b }')
time_ok=$((calc_mean < 50000 ? 1 : 0))
ratio_ok=$(awk -v r="$ratio" 'BEGIN { print (r <= 1.5) ? 1 : 0 }')
memory_ok=$((calc_peak < 40 * 1024 ? 1 : 0))
echo "calc: $(ms "$calc_mean") ms (target under 50 ms): $(verdict "$time_ok")"
echo "calc: ${ratio}x the bare start, medians (target at most 1.5x): $(verdict "$ratio_ok")"
echo "calc: $(mb "$calc_peak") MB peak (target under 40 MB): $(verdict "$memory_ok")"
