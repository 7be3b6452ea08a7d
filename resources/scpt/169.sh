#!/bin/sh
# Starwick desktop script 169: opens the desktop's wallpaper settings.
#
#   sh -c "$(cat desktop.sh 169.sh)" 169
#
# The program runs it after desktop.sh, which holds the functions the two desktop scripts share.
# Takes no arguments. The settings program is started on its own, so the script ends at once and
# the program stays open after it.
#
# Exit status: 0 the settings were started; 1 this desktop has no wallpaper settings to open, or
# its settings program is missing.

# Starts a program in the background, apart from the caller's input and output.
start() {
    have "$1" || return 1
    "$@" >/dev/null 2>&1 </dev/null &
}

# have, family and detect_desktop come from desktop.sh, which runs ahead of this script.

# Plasma 6 opens the wallpaper page in System Settings; Plasma 5 has it as a module of its own.
open_kde() {
    case ${KDE_SESSION_VERSION-} in
    4 | 5) start kcmshell5 kcm_wallpaper || start systemsettings kcm_wallpaper ;;
    *) start systemsettings kcm_wallpaper || start kcmshell5 kcm_wallpaper ;;
    esac
}

case $(detect_desktop) in
gnome | budgie) start gnome-control-center background ;;
unity) start unity-control-center appearance ;;
cinnamon) start cinnamon-settings backgrounds ;;
mate) start mate-appearance-properties --show-page=background ;;
xfce) start xfdesktop-settings ;;
kde) open_kde ;;
lxqt) start pcmanfm-qt --desktop-pref=bg ;;
lxde) start pcmanfm --desktop-pref ;;
*) false ;;
esac || {
    echo 'starwick: no wallpaper settings to open on this desktop' >&2
    exit 1
}
