# Installs the Debian packages the build, the tests and the program need, when missing.
# Sourced by run.sh and test.sh.
KR5_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev qt6-qpa-plugins
    # The History window's charts and the charts' SVG export.
    qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # The measurement's fiber over its thread's event loop.
    libboost-context-dev
    fonts-dejavu-core xdg-utils
    # The font of the program's Japanese and full-width texts.
    fonts-ipafont-gothic
    # Reading back the PDF report in the tests (pdftotext, pdftoppm).
    poppler-utils
    # Checking the install tree and making the Debian package: the desktop entry and
    # metainfo validators, the manual page formatter, and dpkg-shlibdeps with the file
    # utility CPack uses to find the executables.
    desktop-file-utils appstream groff-base dpkg-dev file
    # The remote control's client tests: the example sequencer and a PyVISA client on its
    # pure-Python backend.
    python3 python3-pyvisa python3-pyvisa-py
    # The results store: Qt's SQLite and PostgreSQL drivers, and the PostgreSQL server the
    # tests start for themselves (initdb, pg_ctl).
    libqt6sql6-sqlite libqt6sql6-psql postgresql
)

kr5_ensure_packages() {
    local missing=()
    local p
    for p in "${KR5_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# kr5_build [target...]: configures build/ and builds the given targets (all by default).
kr5_build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    if [ $# -eq 0 ]; then
        cmake --build build -j"$(nproc)"
    else
        cmake --build build -j"$(nproc)" --target "$@"
    fi
}
