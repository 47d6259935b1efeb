# Shared by run.sh and test.sh: install what is missing, configure and build.
# shellcheck shell=bash

repo_root() { cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd; }

# Packages from scripts/packages.txt that dpkg does not report as installed.
missing_packages() {
    local root pkg
    root=$(repo_root)
    while read -r pkg; do
        pkg=${pkg%%#*}
        pkg=$(echo "$pkg" | tr -d '[:space:]')
        [ -z "$pkg" ] && continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$pkg"
        fi
    done <"$root/scripts/packages.txt"
}

# Run a command as root: directly when we are root, through sudo otherwise.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "error: need root (or sudo) to run: $*" >&2
        return 1
    fi
}

install_missing() {
    local missing
    missing=$(missing_packages | tr '\n' ' ')
    if [ -z "${missing// /}" ]; then
        return 0
    fi
    echo "Installing missing packages: $missing"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

# configure_and_build <build dir> <cmake args...>
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$(repo_root)" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}
