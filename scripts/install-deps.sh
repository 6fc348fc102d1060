#!/usr/bin/env bash
# Installs the Debian 12 packages the tool needs to build and run (and, with --test, the
# ones its tests need). Installs only what is missing, so it is quick to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config libxcb1-dev zlib1g-dev
  qt6-base-dev qt6-declarative-dev qt6-speech-dev qt6-multimedia-dev
  # The companion's English: lupdate and lrelease.
  qt6-tools-dev qt6-l10n-tools
  qt6-translations-l10n qt6-speech-speechd-plugin
  fonts-ipafont-gothic fonts-noto-cjk
  open-jtalk open-jtalk-mecab-naist-jdic
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(
    xvfb openbox xdotool x11-utils x11-xserver-utils
    pulseaudio pulseaudio-utils sox
    # The input method test: a session bus of its own, Fcitx 5 and IBus, each with Mozc,
    # and Fcitx's module for Qt 6 (Qt brings its own for IBus).
    dbus-daemon dbus-bin fcitx5 fcitx5-mozc fcitx5-frontend-qt6 ibus ibus-mozc
    # The screen reader's view: the accessibility bus and the reader's Python binding.
    at-spi2-core python3-pyatspi
    # The file-format fuzzer (scripts/run-fuzz.sh) needs clang's libFuzzer runtime.
    clang libclang-rt-14-dev
    # The package check (scripts/check-package.sh): validators, and CPack's DEB generator,
    # which needs file(1) to find the binaries whose library dependencies it works out.
    desktop-file-utils appstream file dpkg-dev
    # The package check runs lintian on the command-line companion and its man page.
    lintian
    # Failing writes and syncs under the recovery journal (tst_recovery_faults).
    libfiu-dev
  )
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if (( ${#missing[@]} == 0 )); then
  exit 0
fi

sudo=()
if (( EUID != 0 )); then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
