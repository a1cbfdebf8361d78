# Debian packages the project needs; sourced by the set-up and test scripts.
OV_PACKAGES="build-essential cmake ninja-build pkg-config libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libx11-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  xvfb xauth fonts-noto-cjk clang libclang-rt-14-dev locales"

# Installs what is missing; does nothing when everything is there.
ov_install_packages() {
  local missing=""
  for p in $OV_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

# A decimal-comma locale, so that the tests can show the number conversions
# ignore the process locale.
ov_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$' && return 0
  localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
}
