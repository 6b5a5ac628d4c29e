# Shared by the scripts that build xsc for Windows: the MinGW-w64 cross compiler, Qt built for
# Windows from Debian's own qt6-base source, and wine to run the programs.
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Qt is built once into a folder outside the checkout and reused (~25 minutes on 2 cores with the
# window's modules, which no clean of the checkout should throw away); it is built again when
# Debian's Qt has another version than the one it was built from.
XSC_QT_WINDOWS="${XSC_QT_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/xsc/qt-windows}"
XSC_WINE_PREFIX="${XSC_WINE_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/xsc/wine}"
export XSC_QT_WINDOWS XSC_WINE_PREFIX

# At most this many compile jobs: the machines are shared.
XSC_JOBS="${XSC_JOBS:-$(nproc)}"
if [ "$XSC_JOBS" -gt 2 ]; then XSC_JOBS=2; fi

xsc_sudo() {
  if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

# The deb-src entries of the machine's own Debian package sources, so `apt-get source` can reach
# them. They are derived from the entries already there (same archives, suites, components and
# keys), never written out here, so the machine keeps whatever mirror or snapshot it was given.
# Only entries of this release's suites are copied: another vendor's entry may have no sources.
xsc_derive_deb_src() {
  local list=/etc/apt/sources.list.d/xsc-deb-src.sources
  if [ -e "$list" ] || apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx 'Sources'; then
    return 0
  fi
  local codename
  codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  local entries
  entries="$( (xsc_deb822_to_deb_src "$codename"; xsc_one_line_to_deb_src "$codename") )"
  if [ -z "$entries" ]; then
    echo "xsc: no Debian package source for $codename to derive a deb-src entry from" >&2
    return 1
  fi
  echo "== adding deb-src entries derived from the machine's package sources ($list)"
  printf '%s\n' "$entries" | xsc_sudo tee "$list" >/dev/null
  xsc_sudo apt-get update -qq
}

# deb822 stanzas (*.sources) of type deb whose suites belong to CODENAME, as deb-src stanzas.
xsc_deb822_to_deb_src() {
  local codename="$1"
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] || continue
    awk -v codename="$codename" '
      function flush() {
        if (types ~ /(^|[ \t])deb([ \t]|$)/ && enabled != "no" && suites ~ ("(^|[ \t])" codename "([-/ \t]|$)")) {
          print "Types: deb-src"
          for (i = 1; i <= n; i++) print kept[i]
          print ""
        }
        types = ""; suites = ""; enabled = ""; n = 0
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      {
        key = tolower($1)
        if (key == "types:") { types = $0; sub(/^[^:]*:/, "", types); next }
        if (key == "enabled:") { enabled = tolower($2); next }
        if (key == "suites:") { suites = $0; sub(/^[^:]*:/, "", suites) }
        kept[++n] = $0
      }
      END { flush() }' "$file"
  done
}

# One-line entries (sources.list, *.list) "deb ... CODENAME... ..." as "deb-src ...".
xsc_one_line_to_deb_src() {
  local codename="$1"
  local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
  local file line
  for file in "${files[@]}"; do
    [ -e "$file" ] || continue
    while read -r line; do
      case "$line" in
        "deb "*) ;;
        *) continue ;;
      esac
      if printf '%s\n' "$line" | grep -Eq "[[:space:]]${codename}([-/][^[:space:]]*)?[[:space:]]"; then
        echo "Types: deb-src"
        xsc_one_line_fields "${line#deb }"
        echo
      fi
    done < "$file"
  done
}

# "[options] URI SUITE COMPONENT..." as deb822 fields (only signed-by is kept of the options).
xsc_one_line_fields() {
  local rest="$1"
  if [[ "$rest" == \[* ]]; then
    local options="${rest%%]*}"
    rest="${rest#*]}"
    local key
    for key in ${options#[}; do
      case "$key" in signed-by=*) echo "Signed-By: ${key#signed-by=}" ;; esac
    done
  fi
  # shellcheck disable=SC2086
  set -- $rest
  echo "URIs: $1"
  echo "Suites: $2"
  shift 2
  echo "Components: $*"
}

# The Qt modules each use needs, as targets of the Qt build: the command line and its tests need
# Core (and the entry point library Qt links every program with); the window needs Gui, Widgets,
# the Windows platform plugin and the native style, and its checks the offscreen platform and
# testlib.
XSC_QT_CORE_TARGETS=(Core EntryPointImplementation)
XSC_QT_WINDOW_TARGETS=(Core EntryPointImplementation Gui Widgets QWindowsIntegrationPlugin
                       QWindowsVistaStylePlugin QOffscreenIntegrationPlugin Test)

# xsc_qt_windows TARGET...: builds those targets of Qt for Windows in $XSC_QT_WINDOWS/qt, first
# fetching Debian's qt6-base source and configuring when that has not been done. The folder is
# its own install prefix (a non-prefix build), so building more targets later, as the Windows
# package does, adds to the same Qt.
xsc_qt_windows() {
  xsc_qt_windows_source
  xsc_qt_windows_configure
  echo "== Qt for Windows: building ${*} in $XSC_QT_WINDOWS/qt"
  # (Qt's own sources warn at length: the log keeps them, and is shown when the build fails.)
  cmake --build "$XSC_QT_WINDOWS/qt" --parallel "$XSC_JOBS" --target "$@" > "$XSC_QT_WINDOWS/build.log" 2>&1 ||
    { tail -60 "$XSC_QT_WINDOWS/build.log" >&2; return 1; }
}

# Debian's qt6-base source, the version of the host's Qt tools, with Debian's patches applied.
xsc_qt_windows_source() {
  local version
  version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
  if [ -d "$XSC_QT_WINDOWS/source/src/corelib" ] && [ "$(cat "$XSC_QT_WINDOWS/version" 2>/dev/null)" = "$version" ]; then
    return 0
  fi
  rm -rf "$XSC_QT_WINDOWS"
  xsc_derive_deb_src
  local download="$XSC_QT_WINDOWS/download"
  mkdir -p "$download"
  echo "== fetching Debian's qt6-base source ($version)"
  (cd "$download" && apt-get source -qq --only-source "qt6-base=$version" >/dev/null 2>&1)
  mv "$download"/qt6-base-*/ "$XSC_QT_WINDOWS/source"
  rm -rf "$download"
  echo "$version" > "$XSC_QT_WINDOWS/version"
}

# Only what xsc uses: Core, Gui, Widgets and Test, shared, with the bundled third-party code
# Debian's repack keeps (PCRE2, zlib, libpng, FreeType, HarfBuzz). Options stand in for the
# parts the repack removed: its Wacom tablet source (tablet events off) and its sources that
# desktop OpenGL would need (OpenGL off, and its run-time choice with it).
#
# Qt's build outlives the checkout that configured it, and CMake re-reads the toolchain file
# whenever it re-runs: the build uses its own copy of the file, kept beside it. A build
# configured with the file of a checkout (by an earlier version of this script) would fail once
# that checkout is removed, so it is configured again from scratch.
xsc_qt_windows_configure() {
  local toolchain="$XSC_QT_WINDOWS/mingw-w64-x86_64.cmake"
  cmp -s "$XSC_ROOT/cmake/mingw-w64-x86_64.cmake" "$toolchain" || cp "$XSC_ROOT/cmake/mingw-w64-x86_64.cmake" "$toolchain"
  if [ -f "$XSC_QT_WINDOWS/qt/build.ninja" ]; then
    local configured
    configured="$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$XSC_QT_WINDOWS/qt/CMakeCache.txt" 2>/dev/null)"
    if [ "$configured" = "$toolchain" ]; then
      return 0
    fi
    echo "== Qt for Windows: its build was configured with $configured instead of $toolchain: configuring again"
    rm -rf "$XSC_QT_WINDOWS/qt"
  fi
  mkdir -p "$XSC_QT_WINDOWS/qt"
  echo "== Qt for Windows: configuring"
  cmake -S "$XSC_QT_WINDOWS/source" -B "$XSC_QT_WINDOWS/qt" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$XSC_QT_WINDOWS/qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DBUILD_SHARED_LIBS=ON \
    -DFEATURE_pkg_config=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_icu=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_windeployqt=OFF -DFEATURE_androiddeployqt=OFF -DFEATURE_qmake=OFF \
    > "$XSC_QT_WINDOWS/configure.log" 2>&1 || { tail -40 "$XSC_QT_WINDOWS/configure.log" >&2; return 1; }
}

# xsc_configure_windows DIR [cmake options...]: configures a build of xsc for Windows in DIR
# against the Qt in $XSC_QT_WINDOWS.
xsc_configure_windows() {
  local dir="$1"
  shift
  local launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
  cmake -S "$XSC_ROOT" -B "$dir" -G Ninja "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$XSC_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$XSC_QT_WINDOWS/qt" -DCMAKE_FIND_ROOT_PATH="$XSC_QT_WINDOWS/qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    "$@" >/dev/null
}

# xsc_build_windows DIR [cmake options...]: configures and builds all of xsc for Windows in DIR.
xsc_build_windows() {
  xsc_configure_windows "$@"
  cmake --build "$1" --parallel "$XSC_JOBS"
}

# The folders of the DLLs the programs load besides their own: the MinGW runtime (libstdc++,
# libgcc, winpthread) and Qt.
xsc_windows_dll_folders() {
  local triple=x86_64-w64-mingw32
  dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)"
  dirname "$($triple-g++-posix -print-file-name=libwinpthread-1.dll)"
  echo "$XSC_QT_WINDOWS/qt/bin"
}

# Sets up wine for running the programs: its own prefix (made once, quietly), no debug chatter,
# and the DLL folders on its search path.
xsc_wine_env() {
  export WINEPREFIX="$XSC_WINE_PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== making the wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver --wait
  fi
  local folders=() folder
  while read -r folder; do folders+=("$(winepath -w "$folder")"); done < <(xsc_windows_dll_folders)
  WINEPATH="$(IFS=';'; echo "${folders[*]}")"
  export WINEPATH
}
