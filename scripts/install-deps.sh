#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the window and the tests need: only the
# missing ones, so a second run does nothing. Uses sudo when not root.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins
  libgif-dev libpng-dev libzip-dev libturbojpeg0-dev
  libdeflate-dev  # PNG: deflate and CRC
  libfontconfig-dev  # the diagram face's file, read once for many drawing threads
  fonts-ipafont-gothic
  libgtest-dev
  poppler-utils librsvg2-bin  # the vector-output tests read PDFs back and render SVGs
  xdg-utils
  xvfb openbox xdotool x11-utils  # the window's restart test under a real X server
  qt6-translations-l10n
  clang-format  # scripts/check-format.sh
  # install and package: icon sizes, desktop-entry, metadata, manual and completion
  # checks, the .deb and its checker
  librsvg2-bin desktop-file-utils appstream man-db bash-completion
  dpkg-dev fakeroot lintian
  devscripts  # hardening-check: the optimised programs are hardened
)
case "${1:-}" in
  # time: GNU time for the batch benchmark's peak memory; linux-perf: profiles of a run
  --bench) packages+=(libbenchmark-dev time linux-perf) ;;
  --fuzz) packages+=(clang libclang-rt-14-dev) ;;  # clang's libFuzzer, ASan and UBSan runtimes
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
