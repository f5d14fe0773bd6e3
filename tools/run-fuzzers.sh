#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in "<sources>-fuzz-build", and runs each one for a
# bounded time on a copy of its seed corpus.
#
#   bash tools/run-fuzzers.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 60; the targets default to all of them.
# Crashing inputs land in "<sources>-fuzz-build/findings/<target>/"; each one
# belongs in the unit tests once its fault is mended.
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)
sources=$(dirname "$tools")
build="${sources}-fuzz-build"
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_ini_reader fuzz_directory_answer fuzz_site_address fuzz_form_encoding
           fuzz_identity_formats fuzz_code_pages)
fi

"$tools/install-deps.sh"
# Only fuzzing needs clang and its libFuzzer runtime.
for package in clang libclang-rt-14-dev; do
  if [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)" != installed ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$package"
  fi
done

cmake -S "$sources" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DVANTOR_SANITIZE=ON \
  -DVANTOR_BUILD_FUZZERS=ON >&2
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >&2

export ASAN_OPTIONS="detect_leaks=1"
status=0
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  log="$build/$target.log"
  echo "== $target for $seconds s"
  if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "$sources/tests/fuzz/corpus/$name" >"$log" 2>&1; then
    status=1
    echo "   FINDING: see $log and $findings/"
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" \
    | sed 's/^/   /' || true
done
exit $status
