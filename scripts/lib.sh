# Shared by the project's scripts: package installation and the CMake build.
# shellcheck shell=bash

XSC_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export XSC_ROOT

# Every Debian package the build, the tests, the benchmarks and the screenshots use.
XSC_PACKAGES=(cmake g++ ninja-build ccache qt6-base-dev libcli11-dev libgtest-dev libgmock-dev
              libbenchmark-dev libxxhash-dev xvfb xauth clang libclang-rt-14-dev time bc help2man dpkg-dev
              lintian neovim)
# The Windows build and its tests (scripts/test-windows, scripts/package-windows, lib-windows.sh):
# the MinGW-w64 cross compiler in its posix thread model (the win32 model of GCC 12 has no
# std::thread or std::mutex), wine to run what it builds, and the sources and host tools of the
# Qt cross build (dpkg-dev unpacks Debian's qt6-base source; Debian's own moc and rcc serve it).
XSC_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 dpkg-dev qt6-base-dev
                      qt6-base-dev-tools libgtest-dev libcli11-dev libxxhash-dev zip unzip)

# Installs what is missing; does nothing when everything is present.
xsc_install_packages() {
  local missing=()
  local pkg
  for pkg in "${XSC_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  echo "== installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# xsc_build DIR [cmake options...]: configures (once) and builds into DIR.
xsc_build() {
  local dir="$1"
  shift
  local launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S "$XSC_ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
