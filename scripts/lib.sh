# Shared by scripts/play and scripts/test: installs what a fresh Debian 12 machine lacks.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

QUADRIX_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libbenchmark-dev
  libsdl2-dev libx11-dev libxext-dev
  libstb-dev fonts-dejavu-core
  clang-format
  lintian
  xvfb xdotool
)

ensure_packages() {
  local missing=()
  for p in "${QUADRIX_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Missing packages (${missing[*]}); run as root or install them." >&2; exit 1; }
    sudo=sudo
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

configure_and_build() {
  local dir="$1" type="$2"; shift 2
  # A compiler cache where one is installed: rebuilds and second checkouts are much faster.
  local launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$ROOT"
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  # CONFIGURE_WITH: a wrapper for another tool chain (emcmake).
  ${CONFIGURE_WITH:-} cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

# Formatting is mechanical: any file that clang-format would change fails the check.
check_format() {
  local files
  files=$(git -C "$ROOT" ls-files '*.cpp' '*.h' 2>/dev/null || true)
  [ -n "$files" ] || return 0
  (cd "$ROOT" && echo "$files" | xargs clang-format --dry-run -Werror) ||
    { echo "Formatting differs from .clang-format: run clang-format -i on the files above." >&2; exit 1; }
}

# The web build in build/web: quadrix-sim for node (and the game for the browser) from the same
# sources, with Debian's emscripten. Its libraries come prebuilt with the package, so nothing is
# fetched at build time.
build_web() {  # [build-dir]
  ensure_packages emscripten nodejs
  # emcc runs its own tools with node; they need Debian's node modules, which a node of
  # another origin first on the path would not look for.
  export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
  CONFIGURE_WITH=emcmake configure_and_build "${1:-$ROOT/build/web}" Release
}
