# Shared by Starwick's desktop scripts and run ahead of each of them: finding the commands and
# the desktop of this session.

have() {
    command -v "$1" >/dev/null 2>&1
}

# The desktop family of one name as the session variables give it, or nothing.
family() {
    case $(printf '%s' "$1" | tr '[:upper:]' '[:lower:]') in
    budgie*) echo budgie ;;
    gnome* | ubuntu* | pantheon*) echo gnome ;;
    unity*) echo unity ;;
    kde* | plasma*) echo kde ;;
    x-cinnamon | cinnamon*) echo cinnamon ;;
    mate*) echo mate ;;
    xfce* | xubuntu*) echo xfce ;;
    lxqt* | lubuntu*) echo lxqt ;;
    lxde*) echo lxde ;;
    sway* | hyprland* | wayfire* | river* | labwc* | niri*) echo wlroots ;;
    esac
}

# The desktop running this session. XDG_CURRENT_DESKTOP is a colon-separated list; Budgie lists
# GNOME as well and wins over it.
detect_desktop() {
    set -f
    IFS=:
    found=
    for item in ${XDG_CURRENT_DESKTOP-}; do
        this=$(family "$item")
        if [ "$this" = budgie ]; then
            echo budgie
            return
        fi
        [ -n "$found" ] || found=$this
    done
    if [ -n "$found" ]; then
        echo "$found"
        return
    fi
    for item in "${XDG_SESSION_DESKTOP-}" "${DESKTOP_SESSION##*/}"; do
        found=$(family "$item")
        if [ -n "$found" ]; then
            echo "$found"
            return
        fi
    done
    if [ "${KDE_FULL_SESSION-}" = true ]; then
        echo kde
    elif [ -n "${SWAYSOCK-}" ] || [ -n "${WAYLAND_DISPLAY-}" ]; then
        echo wlroots
    elif [ -n "${DISPLAY-}" ]; then
        echo x11
    fi
}
