#!/usr/bin/env bash
# Builds the libFuzzer targets with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# each for a while. Not part of the test suite.
#   tests/fuzz/run.sh [seconds per target, default 300] [target ...]
# Targets: 3dm mfl bmp (all by default). Findings land in build/fuzz/<target>/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(3dm mfl bmp)

command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install -y clang)" >&2; exit 1; }
out=build/fuzz
mkdir -p "$out"
sources=(model/*.cpp app/exception.cpp platform/posix/embedded_resources.cpp)
flags=(-std=c++20 -g -O1 -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

for t in "${targets[@]}"; do
  echo "== fuzz_$t: build"
  clang++ "${flags[@]}" "tests/fuzz/fuzz_$t.cpp" "${sources[@]}" -ljpeg -o "$out/fuzz_$t"
  mkdir -p "$out/$t/corpus" "$out/$t/findings"
  case $t in
    3dm) cp -n tests/model/data/*.3dm tests/fuzz/seeds/*.3dm "$out/$t/corpus/" ;;
    mfl) cp -n tests/model/data/*.mfl "$out/$t/corpus/" ;;
    bmp) cp -n tests/model/data/*.bmp "$out/$t/corpus/" ;;
  esac
  dict=()
  [ -f "tests/fuzz/$t.dict" ] && dict=(-dict="$PWD/tests/fuzz/$t.dict")
  echo "== fuzz_$t: run ${seconds}s"
  (cd "$out/$t/findings" && "../../fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 "${dict[@]}" ../corpus 2>&1 | tail -n 25) || { echo "fuzz_$t found a failure: see $out/$t/findings" >&2; exit 1; }
done
