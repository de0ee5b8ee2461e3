# Sourced by the start-up and synchronisation scripts: they measure the programs of
# an optimised build as they stand and build nothing, so a figure is always that of
# the programs named. The build is build/ (as `make build` makes it), or the folder
# WENDRA_BUILD names.
#   measured_build TARGET:FILE...   each FILE below bin/, built by TARGET
measured_build() {
    build=${WENDRA_BUILD:-$root/build}
    local pair missing=() targets=()
    for pair in "$@"; do
        targets+=("${pair%%:*}")
        [ -e "$build/bin/${pair#*:}" ] || missing+=("$build/bin/${pair#*:}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "missing: ${missing[*]}; build them first:"
        echo "  cmake -S $root -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release"
        echo "  cmake --build $build --target ${targets[*]}"
        exit 1
    fi
    local type
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null)
    case $type in
        Release | RelWithDebInfo) ;;
        *) echo "note: $build is a ${type:-unknown} build; the figures are those of an optimised build (Release)" ;;
    esac
    echo "measuring the ${type:-unknown} build in $build"
}
