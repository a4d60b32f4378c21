# Sourced by scripts/test and scripts/run: the build tree they share.
#   build_tree_open NAME   sets BUILD_TREE to the absolute build tree (BUILD_DIR, relative to
#                          the caller's folder, default build/ of this checkout), takes the
#                          tree's lock (a second run on the same tree stops with a message),
#                          installs what is missing and configures the tree
#   build_tree_build [TARGET...]  builds the tree (or the targets), a line per step
# Messages go to stderr, prefixed with NAME.

build_tree_open() {
  BUILD_TREE_NAME=$1
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  BUILD_TREE_ROOT=$root
  # Wine takes only absolute prefix paths, and the tree is reached from other folders later.
  BUILD_TREE=$(realpath -m -- "${BUILD_DIR:-$root/build}")
  mkdir -p "$BUILD_TREE"

  # One run per tree: two would share one Wine prefix and wineserver, and the first to end
  # would stop the other's. The lock goes with the process, however it ends.
  exec 9>"$BUILD_TREE/.run.lock"
  if ! flock -n 9; then
    echo "$1: $BUILD_TREE is in use by another scripts/test or scripts/run" \
         "(pid $(cat "$BUILD_TREE/.run.pid" 2>/dev/null || echo '?'));" \
         "wait for it to end, or give this run its own tree: BUILD_DIR=... scripts/$1" >&2
    exit 1
  fi
  echo $$ >"$BUILD_TREE/.run.pid"

  echo "$1: checking the machine's packages (scripts/setup.sh)" >&2
  local deps
  deps=$("$root/scripts/setup.sh" | tail -n 1)

  echo "$1: configuring $BUILD_TREE (log: configure.log)" >&2
  if ! cmake -S "$root" -B "$BUILD_TREE" -G Ninja \
       -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw32.cmake" -DREV_DEPS="$deps" \
       >"$BUILD_TREE/configure.log" 2>&1; then
    cat "$BUILD_TREE/configure.log" >&2
    echo "$1: configuring failed" >&2
    exit 1
  fi
}

build_tree_build() {
  echo "$BUILD_TREE_NAME: building${*:+ $*} (${CMAKE_BUILD_PARALLEL_LEVEL:-all} jobs)" >&2
  if [ $# -gt 0 ]; then
    cmake --build "$BUILD_TREE" --target "$@"
  else
    cmake --build "$BUILD_TREE"
  fi
}
