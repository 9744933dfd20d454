# Shared by scripts/test and scripts/run: the Debian packages the project
# needs, installed only when some are missing.

VEXMIRA_PACKAGES=(
    build-essential cmake pkg-config clang libclang-rt-14-dev clang-format
    libfltk1.3-dev libosmesa6-dev libglu1-mesa-dev libgl-dev
    libtiff-dev libpng-dev gettext
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core
)

vexmira_missing_packages() {
    local missing=() p
    for p in "${VEXMIRA_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$p")
    done
    printf '%s\n' "${missing[@]}"
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
