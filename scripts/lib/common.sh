# Shared by scripts/test and scripts/run: the Debian packages the project
# needs, installed only when some are missing.

# fluid is only recommended by libfltk1.3-dev, but FLTK's CMake package
# refers to /usr/bin/fluid and stops the configuration without it.
# libavcodec59 brings the encoders videos are made with, libx264-164 (H.264)
# and libvpx7 (VP9); they are named so that they stay when another build of
# libavcodec without them would be chosen.
VEXMIRA_PACKAGES=(
    build-essential cmake pkg-config clang libclang-rt-14-dev clang-format
    libfltk1.3-dev fluid libosmesa6-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri
    libtiff-dev libpng-dev libgl2ps-dev gettext
    libgif-dev libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
    libavcodec59 libx264-164 libvpx7
    libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev poppler-utils
    xvfb xauth fonts-dejavu-core
    # The Debian package's dependencies (CPack finds the binaries for dpkg-shlibdeps with
    # file) and the checks of its desktop files
    dpkg-dev file desktop-file-utils shared-mime-info appstream
)

vexmira_missing_packages() {
    local missing=() p
    for p in "${VEXMIRA_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$p")
    done
    [ "${#missing[@]}" -eq 0 ] || printf '%s\n' "${missing[@]}"
}

vexmira_install_packages() {
    local missing
    mapfile -t missing < <(vexmira_missing_packages)
    [ "${#missing[@]}" -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

vexmira_jobs() {
    echo 2
}

# Runtime settings of sanitizer builds (the test suite and the fuzzers): stop
# at the first report of any kind, with a stack, and check for leaks at exit.
# Leaks inside the system's own libraries are suppressed by scripts/lsan.supp.
vexmira_sanitizer_environment() {
    local root
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=0"
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
