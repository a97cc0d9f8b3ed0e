#!/usr/bin/env bash
# Frames per second of the offline renderer (headless EGL, the machine's OpenGL driver) at
# 1920x1080 and 1280x720, with the default counts (20 fish, 50 bubbles) and the maximum
# (100, 200). Each case runs RUNS times; the medians are printed: frames per second, the whole
# frame (drawing finished), the simulation step alone, the simulation plus the draw calls up to
# the flush (the driver's vertex work included), and of that the time outside OpenGL calls.
# Other load on the machine shows in the figures, hence several runs.
#
#   bench/render_fps.sh [build/linux/tools/tidewell_render] [RUNS] [FRAMES]
set -euo pipefail
renderer=${1:-build/linux/tools/tidewell_render}
runs=${2:-5}
frames=${3:-120}
[[ -x $renderer ]] || { echo "no renderer at $renderer (build the linux preset first)" >&2; exit 1; }

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-10s %-12s %8s %10s %8s %14s %14s\n' size fish/bubbles fps frame_ms sim_ms sim+submit_ms outside_gl_ms
for size in 1920x1080 1280x720; do
  for counts in "20 50" "100 200"; do
    read -r fish bubbles <<<"$counts"
    fps=() frame=() sim=() submit=() outside=()
    for ((run = 0; run < runs; ++run)); do
      out=$("$renderer" --bench "$frames" --size "$size" --fish "$fish" --bubbles "$bubbles" 2>/dev/null)
      fps+=("$(awk '/^fps/ { print $2 }' <<<"$out")")
      frame+=("$(awk '/^frame_ms_median/ { print $2 }' <<<"$out")")
      sim+=("$(awk '/^simulation_ms_median/ { print $2 }' <<<"$out")")
      submit+=("$(awk '/^submission_ms_median/ { print $2 }' <<<"$out")")
      outside+=("$(awk '/^outside_gl_ms_median/ { print $2 }' <<<"$out")")
    done
    printf '%-10s %-12s %8s %10s %8s %14s %14s\n' "$size" "$fish/$bubbles" \
      "$(printf '%s\n' "${fps[@]}" | median)" "$(printf '%s\n' "${frame[@]}" | median)" \
      "$(printf '%s\n' "${sim[@]}" | median)" "$(printf '%s\n' "${submit[@]}" | median)" \
      "$(printf '%s\n' "${outside[@]}" | median)"
  done
done
