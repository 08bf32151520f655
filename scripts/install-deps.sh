#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format-14 clang-tidy-14
  qt6-base-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-cjk fonts-dejavu-core
  xvfb xdotool imagemagick x11-utils xdg-utils openbox qt6-gtk-platformtheme
  qt6-translations-l10n desktop-file-utils appstream shared-mime-info dpkg-dev
  lintian man-db locales python3 faketime
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
