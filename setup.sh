#!/usr/bin/env bash
# Installs what is missing (Debian bookworm), builds, then starts Lumivant
# ("run") or runs every test in a normal and a sanitizer build ("test").
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make pkg-config zlib1g-dev qtbase5-dev qtbase5-dev-tools qttools5-dev-tools qt5-image-formats-plugins
          libqt5x11extras5-dev libxcb1-dev liblcms2-dev libtiff-dev libjpeg-dev libgs-common
          fonts-dejavu-core xvfb xauth desktop-file-utils appstream dpkg-dev poppler-utils)

# The fuzzing build: clang with libFuzzer and its sanitizers.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The Windows monitor lookup: a mingw-w64 cross build, tested under Wine.
WINDOWS_PACKAGES=(mingw-w64 wine64)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for package in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

run_tests() {
  local dir=$1
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
}

# Replays the kept reproducers of each fuzz target, then fuzzes each for the
# given number of seconds; any crash, leak, sanitizer report or allocation
# over the budget stops with an error and leaves its input in build-fuzz/.
fuzz() {
  local seconds=$1
  build build
  cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DLUMIVANT_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
  cmake --build build-fuzz -j"$(nproc)" --target fuzz_tiffreader fuzz_jpegreader fuzz_profiles
  rm -rf build-fuzz/seeds
  QT_QPA_PLATFORM=offscreen build/bin/makecorpus build-fuzz/seeds
  for target in tiffreader jpegreader profiles; do
    mkdir -p "build-fuzz/corpus/$target"
    build-fuzz/bin/fuzz_$target -runs=0 "fuzz/regression/$target"
    build-fuzz/bin/fuzz_$target -max_total_time="$seconds" -malloc_limit_mb=320 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix=build-fuzz/ \
      "build-fuzz/corpus/$target" "build-fuzz/seeds/$target" "fuzz/regression/$target"
  done
}

case "${1:-}" in
  run)
    install_missing
    build build
    exec build/bin/lumivant
    ;;
  test)
    install_missing
    build build
    run_tests build
    build build-sanitize -DLUMIVANT_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_tests build-sanitize
    ;;
  fuzz)
    install_missing "${FUZZ_PACKAGES[@]}"
    fuzz "${2:-60}"
    ;;
  package)
    install_missing
    build build
    bash tools/checkpackage.sh build
    ;;
  windows-platform)
    install_missing "${WINDOWS_PACKAGES[@]}"
    cmake --preset windows-platform >/dev/null
    cmake --build --preset windows-platform
    ctest --preset windows-platform
    ;;
  *)
    echo "usage: bash setup.sh run|test|fuzz [seconds]|package|windows-platform" >&2
    exit 2
    ;;
esac
