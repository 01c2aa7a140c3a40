#!/usr/bin/env bash
# Start-up time and peak memory of kvx, from the process start to the main
# window shown and painted once, beside an empty Qt Widgets window measured
# the same way. Targets: at most twice the empty window's time, under 40 MB.
# Usage: bench/startup.sh <bin dir> [runs]
set -euo pipefail
bin=${1:?usage: startup.sh <bin dir> [runs]}
runs=${2:-20}
bin=$(cd "$bin" && pwd)
for program in kvx empty_window; do
    [ -x "$bin/$program" ] || { echo "startup.sh: $bin/$program not built"; exit 1; }
done

# A program folder of its own: the binary, the shipped catalogue and a
# configuration file, so that the language window is not asked for.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bin/kvx" "$folder/"
if [ -f "$bin/Basic.lsp" ]; then
    cp "$bin/Basic.lsp" "$folder/"
else
    # One 23-byte record: name, 90 and 60 degrees, 89.5 dB, 6 W.
    printf 'Bench      \x5a\x00\x3c\x00\x00\x00\xb3\x42\x00\x00\xc0\x40' >"$folder/Basic.lsp"
fi
printf '[Current lsp file]\r\nFilename=Basic.lsp\r\n[Configuration]\r\nLanguage=English\r\n' \
    >"$folder/Kvx.ini"

export QT_QPA_PLATFORM=offscreen KVX_QUIT_AFTER_SHOWN=1

# Mean and best wall time in milliseconds over the runs, after one warm-up.
measure() {
    local program=$1 total=0 best=0 start end took
    if ! timeout 30 "$program" >/dev/null 2>&1; then
        echo "startup.sh: $program did not come up and quit by itself" >&2
        exit 1
    fi
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        timeout 30 "$program" >/dev/null 2>&1
        end=$(date +%s%N)
        took=$(((end - start) / 1000))
        total=$((total + took))
        if [ "$best" -eq 0 ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    echo "$((total / runs)) $best"
}

# Peak resident memory in kB.
peak() {
    /usr/bin/time -v timeout 30 "$1" 2>&1 >/dev/null |
        awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}

ms() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }

read -r kvx_mean kvx_best < <(measure "$folder/kvx")
read -r empty_mean empty_best < <(measure "$bin/empty_window")
kvx_peak=$(peak "$folder/kvx")
empty_peak=$(peak "$bin/empty_window")

printf '%-14s %10s %10s %10s\n' program "mean ms" "best ms" "peak MB"
printf '%-14s %10s %10s %10s\n' kvx "$(ms "$kvx_mean")" "$(ms "$kvx_best")" \
    "$(awk -v k="$kvx_peak" 'BEGIN { printf "%.1f", k / 1024 }')"
printf '%-14s %10s %10s %10s\n' empty_window "$(ms "$empty_mean")" "$(ms "$empty_best")" \
    "$(awk -v k="$empty_peak" 'BEGIN { printf "%.1f", k / 1024 }')"

ratio=$(awk -v a="$kvx_mean" -v b="$empty_mean" 'BEGIN { printf "%.2f", a / b }')
verdict() { if [ "$1" -eq 1 ]; then echo "met"; else echo "MISSED"; fi; }
time_ok=$(awk -v r="$ratio" 'BEGIN { print (r <= 2.0) ? 1 : 0 }')
memory_ok=$((kvx_peak < 40 * 1024 ? 1 : 0))
echo "start-up: ${ratio}x the empty window (target at most 2x): $(verdict "$time_ok")"
echo "peak memory: $(awk -v k="$kvx_peak" 'BEGIN { printf "%.1f", k / 1024 }') MB (target under 40 MB): $(verdict "$memory_ok")"
