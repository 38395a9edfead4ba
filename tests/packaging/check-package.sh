#!/usr/bin/env bash
# check-package.sh CHECK BUILD_DIR: one check of the Debian package in
# BUILD_DIR/package. "build" makes the package; every other check unpacks it into
# a fresh folder and looks at what it installs. Exit 77: the tool is missing.
set -euo pipefail
check=$1
build=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
packages=$build/package

fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed (scripts/install-deps.sh installs it)"; exit 77; }; }

the_deb() {
    local debs=("$packages"/*.deb)
    # Not built: package_build was skipped for a missing tool (had it failed, CTest
    # would not run this check).
    [ -e "${debs[0]}" ] || { echo "SKIP: no package in $packages" >&2; exit 77; }
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb in $packages, found: ${debs[*]}"
    echo "${debs[0]}"
}

# The package unpacked into a fresh folder, removed when the check ends.
unpack() {
    need dpkg-deb
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    local deb
    deb=$(the_deb) # its exit (77, 1) ends the check
    dpkg-deb -x "$deb" "$root"
}

case $check in
build)
    need dpkg-shlibdeps
    rm -rf "$packages"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$packages" >/dev/null
    rm -rf "$packages/_CPack_Packages"
    deb=$(the_deb)
    echo "built $deb"
    dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
    dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries: shlibdeps did not run"
    # The manual pages and the completion need these to be of use.
    recommends=$(dpkg-deb --field "$deb" Recommends)
    for package in man-db bash-completion; do
        grep -qw "$package" <<<"$recommends" || fail "Recommends lacks $package: '$recommends'"
    done
    ;;
desktop)
    need desktop-file-validate
    unpack
    entries=("$root"/usr/share/applications/*.desktop)
    [ -f "${entries[0]}" ] || fail "no desktop entry in the package"
    for entry in "${entries[@]}"; do
        desktop-file-validate "$entry" || fail "$entry does not validate"
        icon=$(sed -n 's/^Icon=//p' "$entry")
        [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon $icon of $entry is not installed"
        # Docks and menus that draw no SVG take these sizes.
        for size in 48 64 128 256; do
            png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
            file "$png" | grep -q "PNG image data, $size x $size" || fail "no $size x $size PNG icon: $(file "$png")"
        done
        # A dock links the running window to this entry by its window class,
        # which is the program's name.
        program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry" | head -1)
        [ "$(sed -n 's/^StartupWMClass=//p' "$entry")" = "$program" ] || fail "$entry has no StartupWMClass=$program"
        while read -r program; do
            [ -x "$root/usr/bin/$program" ] || fail "$entry starts $program, which is not in /usr/bin"
        done < <(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    done
    grep -q '^Exec=gyroeval .*--simulate --interface usb --start-reading' "${entries[0]}" ||
        fail "no action that starts the simulated sensor reading"
    echo "desktop entries valid: ${entries[*]#"$root"}"
    ;;
appstream)
    need appstreamcli
    unpack
    metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
    [ -f "${metainfo[0]}" ] || fail "no metainfo in the package"
    appstreamcli validate --no-net "${metainfo[@]}" || fail "metainfo does not validate"
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "${metainfo[0]}")
    [ -f "$root/usr/share/applications/$launchable" ] || fail "the metainfo launches $launchable, which is not installed"
    ;;
lintian)
    need lintian
    deb=$(the_deb)
    # Errors fail the check; warnings are shown (and listed in packaging/README.md).
    out=$(lintian --allow-root --tag-display-limit 0 --display-level '>=warning' "$deb" 2>&1) || true
    echo "$out"
    if grep -q '^E: ' <<<"$out"; then fail "lintian reports errors"; fi
    # The distribution's hardening flags: lintian tells missing ones at the info level.
    hardening=$(lintian --allow-root --display-level '>=info' --tags hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-relro,hardening-no-pie "$deb" 2>&1) || true
    [ -z "$hardening" ] || fail "the programs lack hardening: $hardening"
    grep -q '^[EW]: .*lintian.*\(crash\|failed\)' <<<"$out" && fail "lintian did not finish"
    echo "lintian: no errors"
    ;;
manpages)
    need man
    unpack
    export MANROFFSEQ='' MANWIDTH=80 LC_ALL=C.UTF-8
    for page in gyroctl gyroeval; do
        file=$root/usr/share/man/man1/$page.1.gz
        [ -f "$file" ] || fail "$page.1.gz is not installed"
        warnings=$(man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "$page.1 renders with warnings: $warnings"
        text=$(man -E UTF-8 -l "$file" 2>/dev/null)
        # Every option of the program's own help is in its manual page.
        for option in $(env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$root/usr/bin/$page" --help |
                        grep -o -- '--[a-z][a-z-]*' | sort -u); do
            grep -q -- "$option" <<<"$text" || fail "$page.1 does not describe $option (packaging/$page.1.in)"
        done
        for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' FILES EXAMPLES; do
            grep -q "^$section" <<<"$text" || fail "$page.1 has no $section section"
        done
    done
    # Every gyroctl command is in the manual page.
    for command in $(env -u LD_LIBRARY_PATH "$root/usr/bin/gyroctl" --help | sed -n '/^commands:/,/^$/s/^  \([a-z-]*\).*/\1/p'); do
        man -E UTF-8 -l "$root/usr/share/man/man1/gyroctl.1.gz" 2>/dev/null | grep -q "^       $command" ||
            fail "gyroctl.1 does not describe the command $command (packaging/gyroctl.1.in)"
    done
    echo "manual pages render without warnings and cover every option and command"
    ;;
completion)
    [ -f /usr/share/bash-completion/bash_completion ] || { echo "SKIP: bash-completion is not installed"; exit 77; }
    unpack
    script=$root/usr/share/bash-completion/completions/gyroctl
    [ -f "$script" ] || fail "no bash completion for gyroctl"
    commands=$(env -u LD_LIBRARY_PATH "$root/usr/bin/gyroctl" --help | sed -n '/^commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')
    # complete LINE: what TAB offers at the end of LINE (a trailing blank starts a new word).
    complete_line() {
        bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"
                 read -ra COMP_WORDS <<<"$2"; [[ $2 == *" " ]] && COMP_WORDS+=("")
                 COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE=$2; COMP_POINT=${#2}
                 _gyroctl gyroctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
                 printf "%s\n" "${COMPREPLY[@]}"' _ "$script" "$1"
    }
    # Every option of gyroctl --help is one the completion knows.
    for option in $(env -u LD_LIBRARY_PATH "$root/usr/bin/gyroctl" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -q -- "$option\b" "$script" || fail "the completion does not know $option (packaging/gyroctl.bash.in)"
    done
    offered=$(complete_line "gyroctl ")
    for command in $commands; do
        grep -qx -- "$command" <<<"$offered" || fail "gyroctl <TAB> does not offer $command"
    done
    expect() { # LINE WORD: TAB after LINE offers WORD; "!WORD": it must not
        local got; got=$(complete_line "$1")
        if [[ $2 == !* ]]; then ! grep -qx -- "${2#!}" <<<"$got" || fail "'$1<TAB>' offers ${2#!}: $got"
        else grep -qx -- "$2" <<<"$got" || fail "'$1<TAB>' does not offer $2: $got"; fi
    }
    expect "gyroctl --sim" --simulate
    expect "gyroctl --interface " parallel
    expect "gyroctl --simulate --interface usb read Gy" Gyro_Out
    expect "gyroctl --simulate --interface usb read Gy" '!Temp_Out'
    expect "gyroctl --simulate read Temp_Out " Supply_Out
    expect "gyroctl write " Smpl_Prd
    expect "gyroctl write " '!Gyro_Out'
    expect "gyroctl read " '!Command'
    expect "gyroctl alarm 1 --source " gyro
    expect "gyroctl log --select gyro," gyro,temp
    expect "gyroctl log --" --reset-angle
    expect "gyroctl log --" --every-sample
    expect "gyroctl --simulate alarm 2 --rate " on
    expect "gyroctl log --rate " '!on'
    echo "completion offers every command and the register names"
    ;;
docs)
    unpack
    doc=$root/usr/share/doc/gyroeval
    for file in copyright changelog.gz README.md NEWS examples/CommPort.cfg guide/index.html; do
        [ -s "$doc/$file" ] || fail "/usr/share/doc/gyroeval/$file is not installed"
    done
    # Every page of the guide, and every picture a page shows.
    for page in "$source_dir"/docs/*.md; do
        [ -s "$doc/guide/$(basename "$page" .md).html" ] || fail "the guide page of $(basename "$page") is not installed"
    done
    for picture in $(grep -ho 'pictures/[A-Za-z0-9_.-]*\.png' "$source_dir"/docs/*.md | sort -u); do
        [ -s "$doc/guide/$picture" ] || fail "the guide's $picture is not installed"
    done
    # The example is a settings file the program reads: USB card, port 378, model 27140.
    cd "$root" && cp "$doc/examples/CommPort.cfg" .
    env -u LD_LIBRARY_PATH "$root/usr/bin/gyroctl" --simulate read Gyro_Out >/dev/null ||
        fail "gyroctl does not read the example CommPort.cfg as selecting the USB card"
    echo "docs installed: README, NEWS, the example settings file and the guide"
    ;;
installed)
    need readelf
    unpack
    cd "$(mktemp -d)" # no CommPort.cfg here
    trap 'rm -rf "$root" "$PWD"' EXIT
    run() { env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$@"; }
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    [ "$(run "$root/usr/bin/gyroctl" --version)" = "gyroctl $version" ] || fail "gyroctl --version is not 'gyroctl $version'"
    [ "$(run "$root/usr/bin/gyroeval" --version)" = "gyroeval $version" ] || fail "gyroeval --version is not 'gyroeval $version'"
    out=$(run "$root/usr/bin/gyroctl" --simulate --interface usb read Gyro_Out Temp_Out) || fail "simulated read failed"
    echo "$out"
    [ "$(grep -c $'^\\(Gyro_Out\\|Temp_Out\\)\t[0-9A-F]\\{4\\}\t' <<<"$out")" = 2 ] || fail "simulated read printed: $out"
    # A short log lands in the current folder, as from any installed program.
    logged=$(run "$root/usr/bin/gyroctl" --simulate --interface usb log --samples 10) || fail "simulated log failed"
    [ -f "$logged" ] && [ "$(dirname "$(realpath "$logged")")" = "$(realpath "$PWD")" ] || fail "log written to '$logged'"
    # The two programs and nothing else: no test, benchmark or fuzz target.
    programs=$(cd "$root/usr/bin" && echo *)
    [ "$programs" = "gyroctl gyroeval" ] || fail "/usr/bin holds $programs, not just gyroctl and gyroeval"
    # The menu's "Simulated Sensor", as its entry starts it on a fresh account (no
    # CommPort.cfg anywhere): the window program starts from the package (Qt finds
    # its plugins), its readout loop reads Gyro_Out again and again, and it ends
    # normally on SIGTERM, whenever that arrives: exit status 0, the settings kept
    # in the user's settings folder.
    action=$(sed -n '/^\[Desktop Action simulate\]/,$s/^Exec=gyroeval //p' "$root"/usr/share/applications/*.desktop)
    mkdir home
    status=0
    # shellcheck disable=SC2086 # the entry's options, one word each
    HOME=$PWD/home XDG_CONFIG_HOME= run timeout --preserve-status -s TERM 8 "$root/usr/bin/gyroeval" $action \
        --spi-trace trace.txt 2>/dev/null || status=$?
    [ "$status" = 0 ] || fail "the installed gyroeval ended with status $status on SIGTERM"
    reads=$(grep -c ' usb 0400 ' trace.txt || true)
    [ "$reads" -ge 20 ] || fail "the simulated action read Gyro_Out $reads times: no live readings"
    [ -f home/.config/gyroeval/CommPort.cfg ] || fail "the menu start kept no CommPort.cfg in ~/.config/gyroeval"
    [ ! -e CommPort.cfg ] || fail "the menu start wrote CommPort.cfg into the current folder"
    for program in "$root"/usr/bin/*; do
        ! readelf -d "$program" | grep -E 'RPATH|RUNPATH' || fail "$program has an RPATH or RUNPATH"
        ! run ldd "$program" | grep 'not found' || fail "$program needs a library that is not found"
    done
    # Nothing installed names the build tree or the checkout.
    if hits=$(grep -rlF -e "$build" -e "$source_dir" "$root"); then
        fail "installed files refer to the build tree: ${hits//$root/}"
    fi
    echo "installed package runs on its own and refers nowhere back"
    ;;
*)
    fail "unknown check $check"
    ;;
esac
