# Sourced by the Windows stage's scripts. start_wine_prefix PREFIX makes a throw-away Wine
# prefix and keeps one Wine server running for it until stop_wine_prefix.
#
# A Wine server left to itself exits a few seconds after its last program ends; a program that
# starts while it is going down fails with "wine client error:0: recvmsg: Connection reset by
# peer" before it runs a line. A persistent server (wineserver -p) removes that race between
# consecutive test programs.
start_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$1"
    # The server keeps the output it starts with; it prints its state there when it is stopped.
    wineserver -p >/dev/null 2>&1
    # The prefix is made once (wineboot), which takes most of the time. The programs it starts
    # (services, devices) stay with the persistent server, with their output in the log beside
    # the prefix: a test program that started them would hand them its own output, and whoever
    # reads that (ctest) would wait for them to end. The log is shown only when making fails.
    if ! wineboot -i >"$1.boot.log" 2>&1; then
        cat "$1.boot.log" >&2
        return 1
    fi
}

# map_wine_com_port N DEVICE makes COMn of the prefix the Unix device DEVICE the way Wine maps
# ports (its registry key of ports), so that Windows lists the port as it lists a real one
# (QueryDosDevice, HARDWARE\DEVICEMAP\SERIALCOMM). Wine reads the key when its services start,
# so they are started again; dosdevices/comN then leads to DEVICE.
map_wine_com_port() {
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /d "$2" /f >>"$WINEPREFIX.boot.log" 2>&1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1
    wineboot >>"$WINEPREFIX.boot.log" 2>&1
    [ "$(readlink "$WINEPREFIX/dosdevices/com$1")" = "$2" ] || {
        cat "$WINEPREFIX.boot.log" >&2
        return 1
    }
}

# The server ends every program of the prefix before it exits (a server killed outright would
# leave them running).
stop_wine_prefix() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$WINEPREFIX.boot.log"
}
