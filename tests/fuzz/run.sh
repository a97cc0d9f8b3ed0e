#!/usr/bin/env bash
# Builds the libFuzzer targets (the linux-asan preset: clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each on its seeds for a while. scripts/test.sh runs it
# briefly; run it for long by hand.
#   tests/fuzz/run.sh [seconds per target, default 300] [target ...]
# Targets: 3dm mfl bmp jpeg profile options (all by default). Each keeps its growing corpus in
# build/fuzz/<target>/corpus; a finding lands in build/fuzz/<target>/findings and fails the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(3dm mfl bmp jpeg profile options)

command -v clang++ >/dev/null || { echo "clang++ is needed (scripts/bootstrap.sh installs it)" >&2; exit 1; }
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan --target "${targets[@]/#/fuzz_}" >/dev/null
out=build/fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  mkdir -p "$out/$t/corpus" "$out/$t/findings"
  case $t in
    3dm) seeds=(tests/model/data/*.3dm tests/fuzz/seeds/*.3dm resources/*.3dm) ;;
    mfl) seeds=(tests/fuzz/seeds/*.mfl tests/model/data/*.mfl) ;;
    bmp) seeds=(tests/model/data/*.bmp) ;;
    jpeg) seeds=(resources/*.jpg) ;;
    profile) seeds=(tests/fuzz/seeds/*.ini) ;;
    options) seeds=(tests/fuzz/seeds/*.conf) ;;
    *) echo "unknown target $t" >&2; exit 2 ;;
  esac
  cp -n "${seeds[@]}" "$out/$t/corpus/"
  dict=()
  [ -f "tests/fuzz/$t.dict" ] && dict=(-dict="$PWD/tests/fuzz/$t.dict")
  echo "== fuzz_$t: ${seconds}s"
  if ! (cd "$out/$t/findings" && "$OLDPWD/build/linux-asan/tests/fuzz/fuzz_$t" -max_total_time="$seconds" \
          -print_final_stats=1 "${dict[@]}" ../corpus 2>&1 | grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)|ERROR|SUMMARY|Test unit written|==[0-9]+==" | tail -n 20; exit "${PIPESTATUS[0]}"); then
    echo "fuzz_$t found a failure: see $out/$t/findings" >&2
    status=1
  fi
done
exit $status
