#!/usr/bin/env bash
# Installs the Debian packages that the kit's build, tests, benchmarks and fuzzers need.
# Idempotent, and quiet when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config   # build
  clang libclang-rt-14-dev           # fuzz targets (libFuzzer) and their sanitizers
  libgtest-dev libgmock-dev          # tests
  libbenchmark-dev                   # benchmarks
  libsqlite3-dev                     # registry hives, database stand-in (embedded)
  libpq-dev postgresql               # database stand-in on PostgreSQL, and its test cluster
  nlohmann-json3-dev                 # database stand-in's JSON load and dump
  libglib2.0-dev libgtk-3-dev        # local servers on the session bus (GDBus); the file chooser
  dbus-daemon xvfb xauth xdotool     # chooser tests: private session bus, virtual display, keys
  imagemagick fonts-dejavu-core adwaita-icon-theme  # chooser screenshots, readable dialogs
  default-jdk-headless junit5        # Java binding: javac, jar, JNI headers; its JUnit tests
  python3-dev pybind11-dev python3-numpy python3-pytest  # Python module and its tests
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
