# Sourced by ./run and ./test: installs the Debian packages that are missing.
# Usage: vell_ensure_deps build|test|xvfb ...
vell_pkgs_build="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libjpeg62-turbo-dev libpng-dev fonts-dejavu-core"
vell_pkgs_test="googletest libgtest-dev libgmock-dev libgif-dev imagemagick poppler-utils"
vell_pkgs_xvfb="xvfb xauth x11-apps xdotool"
vell_pkgs_bench="libbenchmark-dev imagemagick libvips-tools libgif-dev libjpeg-turbo-progs"
vell_pkgs_fuzz="clang libclang-rt-14-dev"

vell_ensure_deps() {
  local want="" missing="" p
  for group in "$@"; do
    eval "want=\"\$want \$vell_pkgs_$group\""
  done
  for p in $want; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq || true
  $sudo apt-get install -y -qq $missing >/dev/null
}
