# Sourced by the scripts: installs the Debian packages Spinlog needs, when any
# is missing. Uses sudo when not root.
SPINLOG_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n libgl-dev
  qt6-l10n-tools qt6-tools-dev
  libsqlcipher-dev sqlcipher
  fonts-ipafont-gothic
  xvfb xdotool x11-utils imagemagick python3
  desktop-file-utils appstream man-db
  pulseaudio pulseaudio-utils
)
# Only scripts/package needs these (lintian alone brings a hundred packages,
# which CI's test run has no use for).
SPINLOG_PACKAGE_TOOLS=(dpkg-dev file lintian)

spinlog_install_packages() {
  local missing=()
  for p in "${SPINLOG_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}
