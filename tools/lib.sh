# Shared by tools/run, tools/test and the benchmark: sourced, not run.

VALUMAT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VALUMAT_SCREEN=1024x768x24

log() { printf '[%s] %s\n' "${0##*/}" "$*" >&2; }

now() { date +%s.%N; }
# since START: seconds elapsed, one decimal.
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# start_xvfb [NUMBER]: starts Xvfb on display :NUMBER, or on a free display
# from :120 up when none is given, waits until it accepts clients, exports
# DISPLAY and sets XVFB_PID.
start_xvfb() {
    local n
    if [[ -n ${1:-} ]]; then
        start_xvfb_on "$1"
        return
    fi
    # High numbers: other people's scripts on a shared machine tend to take
    # :0 or :99 without asking, and their windows must not land on ours.
    for ((n = 120; n < 200; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        start_xvfb_on "$n" && return 0
    done
    log "no free X display"
    return 1
}

start_xvfb_on() {
    local ready pid i
    ready=$(mktemp)
    # The server writes its display number to fd 3 once it accepts clients.
    Xvfb ":$1" -displayfd 3 -screen 0 "$VALUMAT_SCREEN" -nolisten tcp -noreset 3>"$ready" >/dev/null 2>&1 &
    pid=$!
    for ((i = 0; i < 200; i++)); do
        [[ -s $ready ]] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if [[ ! -s $ready ]]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        rm -f "$ready"
        log "Xvfb did not start on :$1"
        return 1
    fi
    rm -f "$ready"
    export DISPLAY=":$1"
    XVFB_PID=$pid
    add_german_keys || true
}

# Puts the German letters and the euro sign on spare key codes. xdotool then
# finds them in the keyboard map; otherwise it remaps a key for each such
# character and back, and Wine, reading the new map only when its notice
# comes, now and then takes the key for the old one ("Grüße" arrived as
# "Gre"). Set before any Wine process starts, which read the map once.
add_german_keys() {
    local spare keysyms=("adiaeresis Adiaeresis" "odiaeresis Odiaeresis" "udiaeresis Udiaeresis" ssharp EuroSign)
    mapfile -t spare < <(xmodmap -pke | awk 'NF == 3 && $1 == "keycode" && $2 >= 100 { print $2 }')
    if ((${#spare[@]} < ${#keysyms[@]})); then
        log "no spare key codes for the German letters"
        return 1
    fi
    local i args=()
    for i in "${!keysyms[@]}"; do
        args+=(-e "keycode ${spare[i]} = ${keysyms[i]}")
    done
    xmodmap "${args[@]}"
}

stop_xvfb() {
    if [[ -n ${XVFB_PID:-} ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Ends every Wine process of $WINEPREFIX and its server, and waits for that.
stop_wine() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# Debian's Wine does not find its own Marlett font, and caption buttons then
# show letters ("0 1 r") instead of their glyphs; a copy in the prefix helps.
add_prefix_fonts() {
    local marlett=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
    if [[ -f $marlett && -d $fonts && ! -f $fonts/marlett.ttf ]]; then
        cp "$marlett" "$fonts/"
    fi
}

# restart_wine: ends every Wine process of $WINEPREFIX, then starts one
# persistent server, so that programs do not each pay for starting one and
# Wine's services, and starts those services and the desktop with their output
# going nowhere: started by a test program, they would inherit its output
# pipe and, living on with the server, keep whoever reads it waiting.
restart_wine() {
    stop_wine
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot </dev/null >/dev/null 2>&1
}

# apply_wine_setting DPI THEME DESKTOP: writes what is not empty into the
# prefix's registry (LogPixels where Windows keeps it for users and for
# fonts; ThemeManager's ThemeActive "1" or "0"; the size of Wine's desktop),
# then restarts the server with it. Wine reads all of them at start only.
apply_wine_setting() {
    local dpi=$1 theme=$2 desktop=$3 reg
    reg=$(mktemp --suffix=.reg)
    # Key names as arguments, never in printf's format: "\E" would become ESC.
    {
        echo REGEDIT4
        if [[ -n $dpi ]]; then
            printf '\n[%s]\n"LogPixels"=dword:%08x\n' 'HKEY_CURRENT_USER\Control Panel\Desktop' "$dpi"
            printf '\n[%s]\n"LogPixels"=dword:%08x\n' 'HKEY_CURRENT_CONFIG\Software\Fonts' "$dpi"
        fi
        if [[ -n $theme ]]; then
            printf '\n[%s]\n"ThemeActive"="%s"\n' 'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
                "$([[ $theme == on ]] && echo 1 || echo 0)"
        fi
        if [[ -n $desktop ]]; then
            printf '\n[%s]\n"Default"="%s"\n' 'HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops' "$desktop"
        fi
    } >"$reg"
    stop_wine
    # A server of its own that saves the registry when it ends by itself.
    local written=0
    wine reg import "$(winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1 || written=$?
    wineserver -w
    rm -f "$reg"
    if ((written != 0)); then
        log "the setting could not be written into $WINEPREFIX"
        return 1
    fi
    restart_wine
}

# Creates $WINEPREFIX unless it exists already.
ensure_prefix() {
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        local t0
        t0=$(now)
        log "creating Wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        log "wineboot -i took $(since "$t0") s"
    fi
    add_prefix_fonts
}
