#!/usr/bin/env bash
# Runs a Windows program under Wine; the Windows build's tests run through it (ctest's emulator):
#   wine_run.sh PREFIX PROGRAM [ARGS...]
# Each run has an X server of its own (Xvfb) and Wine's virtual desktop, so that Wine draws the
# windows' frames as Windows does. The prefix is prepared the first time and kept. The desktop's
# DPI is AMBRELITH_WINE_DPI (96 unless set), written before the program starts. The exit code is
# the program's.
set -euo pipefail

prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No offer to download Wine's .NET and HTML engines while the prefix is made, and no menu entries
# on this machine for the Start-menu shortcuts that installers make.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# The virtual desktop's size; the X screen is larger, so that a program that sees the desktop's
# size is known to run on the virtual desktop.
width=1280
height=1024

if [ -z "${WINE_RUN_DISPLAY_READY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1600x1200x24" \
        env WINE_RUN_DISPLAY_READY=1 "$0" "$prefix" "$@"
fi

# Made once per prefix: a full Windows tree, every program on a virtual desktop named Default of
# the screen's size, and a program that crashes ends at once instead of waiting in the debugger.
prepare() {
    "$wine" wineboot -i
    local settings
    settings=$(mktemp --suffix=.reg)
    cat >"$settings" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="${width}x${height}"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]
"Debugger"=""
REG
    "$wine" regedit /S "$settings"
    # Title bars' buttons are drawn in Marlett, which Wine does not find in fonts-wine's folder.
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
    rm -f "$settings"
    "$wineserver" -w
    touch "$prefix/.prepared"
}
if [ ! -f "$prefix/.prepared" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        [ -f "$prefix/.prepared" ] || prepare >/dev/null 2>&1
    ) 9>"$prefix.lock"
fi

dpi=${AMBRELITH_WINE_DPI:-96}
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null

status=0
"$wine" "$@" || status=$?
# Nothing of this run outlives its X server.
"$wineserver" -k 2>/dev/null || true
exit "$status"
