#!/bin/sh
# Starwick desktop script 168: makes a picture the desktop picture.
#
#   sh -c "$(cat desktop.sh 168.sh)" 168 PICTURE
#
# The program runs it after desktop.sh, which holds the functions the two desktop scripts share.
# PICTURE is the absolute path of the picture, used as it stands, or the bare file name of a
# picture in the folder "Starwick Images" of the user's Pictures folder (`xdg-user-dir PICTURES`,
# else $HOME/Pictures). A name that is empty, "." or "..", that holds "/" without starting with
# it, or that names no file is refused and nothing is changed.
#
# Exit status: 0 the desktop took the picture; 1 no such picture (the name was refused); 2 this
# desktop cannot be told or its tool is missing; 3 the desktop is not running the part that shows
# its picture (no compositor, no desktop manager); 4 and above the desktop refused the picture:
# its tool's own status when that is 4 or more, else 4.
#
# The name, the path and the URI only ever travel as quoted arguments. The one place a value is
# written into a text that another program interprets (Plasma's desktop script) takes the URI,
# whose percent-encoding leaves it no quote, backslash or line break.

refuse() {
    printf 'starwick: %s\n' "$1" >&2
    exit 1
}

unsupported() {
    printf 'starwick: %s\n' "$1" >&2
    exit 2
}

not_running() {
    printf 'starwick: %s\n' "$1" >&2
    exit 3
}

# Ends the script for a desktop tool that failed with status $1, keeping 0 to 3 for the script's
# own answers.
refused_by_desktop() {
    printf 'starwick: the desktop refused the picture (status %s)\n' "$1" >&2
    [ "$1" -ge 4 ] 2>/dev/null && exit "$1"
    exit 4
}

# The user's Pictures folder, as the program's own folder lookup finds it: the configured XDG
# folder, else $HOME/Pictures.
pictures_folder() {
    dir=
    if have xdg-user-dir; then
        dir=$(xdg-user-dir PICTURES 2>/dev/null)
    else
        dirs_file=${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs
        if [ -r "$dirs_file" ]; then
            dir=$(sed -n 's/^XDG_PICTURES_DIR="\(.*\)"$/\1/p' "$dirs_file" | sed -n '$p')
            case $dir in
            '$HOME/'*) dir=$HOME/${dir#'$HOME/'} ;;
            esac
        fi
    fi
    # xdg-user-dir answers with the home folder itself when no Pictures folder is configured.
    case $dir in
    "$HOME" | "$HOME/" | '') dir=$HOME/Pictures ;;
    /*) ;;
    *) dir=$HOME/Pictures ;;
    esac
    printf '%s\n' "$dir"
}

# The file URI of an absolute path, every byte but the unreserved ones and "/" percent-encoded.
file_uri() {
    printf '%s' "$1" | od -An -v -tx1 | LC_ALL=C awk '
        BEGIN { hex = "0123456789abcdef"; printf "file://" }
        {
            for (i = 1; i <= NF; i++) {
                h = tolower($i)
                c = (index(hex, substr(h, 1, 1)) - 1) * 16 + index(hex, substr(h, 2, 1)) - 1
                if ((c >= 48 && c <= 57) || (c >= 65 && c <= 90) || (c >= 97 && c <= 122) ||
                    c == 45 || c == 46 || c == 95 || c == 126 || c == 47)
                    printf "%c", c
                else
                    printf "%%%s", toupper(h)
            }
        }'
}

# have, family and detect_desktop come from desktop.sh, which runs ahead of this script.

set_gnome() {
    have gsettings || unsupported "gsettings is missing"
    gsettings set org.gnome.desktop.background picture-uri "$URI" || return
    # Since GNOME 42 the dark style shows only picture-uri-dark; older versions lack the key.
    gsettings set org.gnome.desktop.background picture-uri-dark "$URI" 2>/dev/null || :
}

set_cinnamon() {
    have gsettings || unsupported "gsettings is missing"
    gsettings set org.cinnamon.desktop.background picture-uri "$URI"
}

set_mate() {
    have gsettings || unsupported "gsettings is missing"
    gsettings set org.mate.background picture-filename "$WP"
}

# Every backdrop property Xfce keeps, one per monitor and workspace. A fresh install has none
# yet: then one is made for each connected output, or, when the outputs cannot be listed, for the
# monitor xfdesktop names "screen" then.
set_xfce() {
    have xfconf-query || unsupported "xfconf-query is missing"
    props=$(xfconf-query -c xfce4-desktop -p /backdrop -l 2>/dev/null | grep -E '/(last-image|image-path)$')
    if [ -n "$props" ]; then
        status=0
        while IFS= read -r prop; do
            xfconf-query -c xfce4-desktop -p "$prop" -s "$WP" || status=$?
        done <<EOF
$props
EOF
        return "$status"
    fi
    outputs=
    if have xrandr; then
        outputs=$(xrandr --query 2>/dev/null | awk '$2 == "connected" { print $1 }')
    fi
    [ -n "$outputs" ] || outputs=screen
    status=0
    for output in $outputs; do
        xfconf-query -c xfce4-desktop -p "/backdrop/screen0/monitor$output/workspace0/last-image" \
            -n -t string -s "$WP" || status=$?
    done
    return "$status"
}

# Plasma 5.7 and later. plasma-apply-wallpaperimage refuses paths holding a single quote and
# drops backslashes; the desktop script through D-Bus takes any path, and sets the picture on
# every desktop.
set_kde() {
    case $WP in
    *\'* | *\\*) ;;
    *)
        if have plasma-apply-wallpaperimage && plasma-apply-wallpaperimage "$WP" >/dev/null; then
            return 0
        fi
        ;;
    esac
    have dbus-send || unsupported "neither plasma-apply-wallpaperimage nor dbus-send works here"
    script='var all = desktops();
for (var i = 0; i < all.length; i++) {
    var d = all[i];
    d.wallpaperPlugin = "org.kde.image";
    d.currentConfigGroup = ["Wallpaper", "org.kde.image", "General"];
    d.writeConfig("Image", "'"$URI"'");
}'
    dbus-send --session --print-reply --dest=org.kde.plasmashell --type=method_call /PlasmaShell \
        org.kde.PlasmaShell.evaluateScript "string:$script" >/dev/null
}

set_lxqt() {
    have pcmanfm-qt || unsupported "pcmanfm-qt is missing"
    pcmanfm-qt --set-wallpaper="$WP" --wallpaper-mode=zoom
}

set_lxde() {
    have pcmanfm || unsupported "pcmanfm is missing"
    # Without its desktop running, pcmanfm answers with a dialog that waits for the user and then
    # reports success.
    have pgrep || unsupported "pgrep is missing"
    pgrep -u "$(id -u)" -f '(^|/)pcmanfm (.* )?--desktop( |$)' >/dev/null ||
        not_running "the pcmanfm desktop is not running"
    pcmanfm --set-wallpaper "$WP"
}

# sway and other wlroots compositors: a new swaybg comes up first and the previous one goes about
# a second later, so the screen never shows bare. (`swaymsg output * bg` can freeze the session.)
set_wlroots() {
    have swaybg || unsupported "swaybg is missing"
    socket=${WAYLAND_DISPLAY:-wayland-0}
    case $socket in
    /*) ;;
    *)
        [ -n "${XDG_RUNTIME_DIR-}" ] || not_running "XDG_RUNTIME_DIR is not set, so no compositor can be reached"
        socket=$XDG_RUNTIME_DIR/$socket
        ;;
    esac
    [ -S "$socket" ] || not_running "no compositor at $socket"
    previous=$(ps -u "$(id -u)" -o pid= -o comm= 2>/dev/null | awk '$2 == "swaybg" { print $1 }')
    swaybg -i "$WP" -m fill >/dev/null 2>&1 </dev/null &
    started=$!
    sleep 1
    # A swaybg that could not show the picture has ended by now.
    if ! kill -0 "$started" 2>/dev/null; then
        wait "$started"
        refused_by_desktop "$?"
    fi
    for pid in $previous; do
        kill "$pid" 2>/dev/null
    done
    return 0
}

set_x11() {
    if have feh; then
        feh --bg-fill "$WP"
    elif have xwallpaper; then
        xwallpaper --zoom "$WP"
    elif have nitrogen; then
        nitrogen --set-zoom-fill --save "$WP"
    else
        unsupported "none of feh, xwallpaper and nitrogen is installed"
    fi
}

name=${1-}
case $name in
/*) WP=$name ;;
'' | . | .. | */*) refuse "not a picture name: '$name'" ;;
*)
    [ -n "${HOME-}" ] || unsupported "HOME is not set"
    WP=$(pictures_folder)/'Starwick Images'/$name
    ;;
esac
[ -f "$WP" ] || refuse "no such picture: $WP"
URI=$(file_uri "$WP")

desktop=$(detect_desktop)
case $desktop in
gnome | budgie | unity) set_gnome ;;
cinnamon) set_cinnamon ;;
mate) set_mate ;;
xfce) set_xfce ;;
kde) set_kde ;;
lxqt) set_lxqt ;;
lxde) set_lxde ;;
wlroots) set_wlroots ;;
x11) set_x11 ;;
*) unsupported "cannot tell which desktop this is" ;;
esac || refused_by_desktop "$?"
