#!/usr/bin/env bash
# Whole processes at 1920x1080: `curvana --export x.png` with curves typed on its command line,
# beside gnuplot's pngcairo drawing the same curves with as many samples, over the same view with
# a grid. Runs each case several times, the two programs in turn, and prints the best and the
# median times and their ratios (gnuplot = 1).
#
#   bench/export-vs-gnuplot.sh [BUILD_DIR] [RUNS]     (defaults: build/release, 15)
#
# BUILD_DIR must hold a Release build of curvana and bench/curvana_render_bench, which writes the
# gnuplot scripts and the curvana arguments. The machine may be shared: read the best times.
set -euo pipefail

build=${1:-build/release}
runs=${2:-15}
curvana=$build/app/curvana
generator=$build/bench/curvana_render_bench
for program in "$curvana" "$generator"; do
  [ -x "$program" ] || { echo "missing $program: build it first" >&2; exit 2; }
done
command -v gnuplot >/dev/null || { echo "gnuplot is not installed (scripts/setup)" >&2; exit 2; }

work=$(mktemp -d /tmp/curvana_export_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Milliseconds taken by one run of the command, its output thrown away.
elapsed() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'
}

# Best and median of the numbers on standard input.
summary() {
  sort -n | awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                   printf "%s %s\n", v[1], m }'
}

printf '%-13s %-8s %9s %9s\n' case program "best ms" "median ms"
for case in NewDocument TwentyCurves; do
  "$generator" --gnuplot-script "$case" "$work/gnuplot.png" >"$work/plot.gp"
  mapfile -t arguments < <("$generator" --export-arguments "$case")
  # One run of each first, not counted: caches warm, and both outputs checked once.
  elapsed gnuplot "$work/plot.gp" >/dev/null
  elapsed "$curvana" --export "$work/curvana.png" "${arguments[@]}" >/dev/null
  : >"$work/gnuplot.times"
  : >"$work/curvana.times"
  for ((i = 0; i < runs; ++i)); do
    elapsed gnuplot "$work/plot.gp" >>"$work/gnuplot.times"
    elapsed "$curvana" --export "$work/curvana.png" "${arguments[@]}" >>"$work/curvana.times"
  done
  read -r gbest gmedian < <(summary <"$work/gnuplot.times")
  read -r cbest cmedian < <(summary <"$work/curvana.times")
  printf '%-13s %-8s %9s %9s\n' "$case" gnuplot "$gbest" "$gmedian"
  printf '%-13s %-8s %9s %9s\n' "$case" curvana "$cbest" "$cmedian"
  awk -v cb="$cbest" -v gb="$gbest" -v cm="$cmedian" -v gm="$gmedian" -v c="$case" \
    'BEGIN { printf "%-13s ratio    %9.2f %9.2f   (curvana / gnuplot)\n", c, cb / gb, cm / gm }'
done
