#!/usr/bin/env bash
# What the idle watch (`3dtidewell --idle-watch`) costs while the session is idle: its resident
# memory at the end (VmRSS) and at its peak (VmHWM), and its CPU time (every thread, the saver it
# may start not counted) over MINUTES idle minutes (default 10), on headless sway (as nobody when
# run as root), or on GNOME's compositor with SESSION=gnome (its D-Bus idle monitor). The stored
# idle time is longer than the run, so the watch only waits; the goals are under 10 MB and under
# 1 s of CPU per 10 minutes.
#
#   bench/idle_watch.sh [build]                 (default build/linux)
#   MINUTES=1 bench/idle_watch.sh               (a short run)
#   SESSION=gnome MINUTES=1 bench/idle_watch.sh
set -euo pipefail
build=${1:-build/linux}
minutes=${MINUTES:-10}
[ -x "$build/3dtidewell" ] || { echo "no program in $build" >&2; exit 1; }
. "$(cd "$(dirname "$0")" && pwd)/../tests/e2e/lib.sh"
work=$(mktemp -d /tmp/tidewell-idle.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -- "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
session_program "$build/3dtidewell"
case "${SESSION:-sway}" in
  sway) start_sway 1280x720 ;;
  gnome) start_mutter 1280x720 ;;
  *) echo "SESSION is sway or gnome" >&2; exit 1 ;;
esac
config="$wl_dir/home/.config/Korvane Software"
mkdir -p "$config"
printf 'IdleMinutes=int:%s\n' $((minutes + 5)) >"$config/3D Tidewell.conf"
chown -R "$(session_uid)" "$wl_dir/home/.config"

bg_nobody "$saver" --idle-watch >"$work/watch.log" 2>&1
watch=$bg_pid
sleep 2
ended "$watch" && { echo "the idle watch ended: $(cat "$work/watch.log")" >&2; exit 1; }
tick=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
c1=$(cpu_ticks "$watch")
t1=$(date +%s.%N)
sleep $((minutes * 60))
ended "$watch" && { echo "the idle watch ended: $(cat "$work/watch.log")" >&2; exit 1; }
c2=$(cpu_ticks "$watch")
t2=$(date +%s.%N)
rss=$(status_kib "$watch" VmRSS)
hwm=$(status_kib "$watch" VmHWM)
threads=$(status_kib "$watch" Threads)
printf '%-8s %8s %9s %9s %8s %14s\n' session minutes rss_mib hwm_mib threads cpu_s/10min
awk -v s="${SESSION:-sway}" -v m="$minutes" -v r="$rss" -v h="$hwm" -v th="$threads" -v c1="$c1" -v c2="$c2" \
    -v t1="$t1" -v t2="$t2" -v tick="$tick" 'BEGIN {
  printf "%-8s %8s %9.1f %9.1f %8s %14.3f\n", s, m, r / 1024, h / 1024, th, (c2 - c1) / tick * 600 / (t2 - t1) }'
echo "goals: under 10 MiB resident, under 1 s of CPU per 10 minutes"
