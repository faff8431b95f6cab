#!/usr/bin/env bash
# The installation from the build tree into a temporary prefix: the tree it
# makes, the desktop entry and the ".ant" project type as the desktop tools
# read them, and the installed program started with its default library.
# A check whose tool is missing is said and passed over; the test then ends
# as skipped (77) once every other check has passed.
# Usage: installation.sh <cmake> <build folder> <program folder of the build> <folder for the screenshot>
set -u
cmake="$1"
build="$2"
built_data="$3"
artefacts="$4"

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
missing=()
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
have() { command -v "$1" >/dev/null 2>&1 || { missing+=("$1"); return 1; }; }

# A prefix off the PATH: the desktop entry must name the installed program
# itself.
prefix="$work/prefix"
case ":$PATH:" in *":$prefix/bin:"*) echo "FAILED: $prefix/bin is on PATH"; exit 1 ;; esac
if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAILED: cmake --install"
    exit 1
fi

# The command of a desktop entry's Exec line as a desktop reads it, in the
# array entry_command: the value's escapes undone, then split as the quoting
# rules of the key (those of the shell's double quotes) say, without the
# field code.
exec_command() {
    local line
    line=$(sed -n 's/^Exec=//p' "$1" | head -1 | sed 's/\\\\/\\/g; s/ %f$//')
    entry_command=()
    eval "entry_command=($line)"
}

# The tree.
id=ordivex-varne
type=application/x-ordivex-varne-project
data="$prefix/share/$id"
[ -x "$prefix/bin/$id" ] || fail "bin/$id is not an executable"
for f in Varne.alb Default.sel; do
    if [ ! -s "$data/$f" ]; then fail "share/$id/$f missing or empty"
    elif ! cmp -s "$data/$f" "$built_data/$f"; then fail "share/$id/$f differs from the build's"
    fi
done
desktop="$prefix/share/applications/$id.desktop"
mime="$prefix/share/mime/packages/$id.xml"
icon="$prefix/share/icons/hicolor/scalable/apps/$id.svg"
for f in "$desktop" "$mime" "$icon" "$prefix/share/icons/hicolor/scalable/mimetypes/${type//\//-}.svg"; do
    [ -s "$f" ] || fail "${f#"$prefix"/} missing or empty"
done
# Nothing but these, and the caches the desktop tools made of them.
unexpected=$(cd "$prefix" && find . -type f | sort | grep -vxF -e "./bin/$id" -e "./share/$id/Varne.alb" \
    -e "./share/$id/Default.sel" -e "./share/applications/$id.desktop" -e "./share/mime/packages/$id.xml" \
    -e "./share/icons/hicolor/scalable/apps/$id.svg" \
    -e "./share/icons/hicolor/scalable/mimetypes/${type//\//-}.svg" -e "./share/applications/mimeinfo.cache" |
    grep -v -e "^./share/$id/" -e "^./share/mime/[^p]")
[ -z "$unexpected" ] || fail "unexpected files installed: $unexpected"

# The desktop entry: valid, starting the program on the file, naming the
# project type and the installed icon.
if [ -s "$desktop" ]; then
    if have desktop-file-validate; then
        out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
        [ -z "$out" ] || fail "desktop-file-validate says: $out"
    fi
    grep -qxF "Exec=$prefix/bin/$id %f" "$desktop" || fail "Exec does not start $prefix/bin/$id: $(grep '^Exec=' "$desktop")"
    grep -qx "Icon=$id" "$desktop" || fail "Icon is not '$id'"
    grep -Eqx "MimeType=(.*;)?$type;" "$desktop" || fail "MimeType does not name $type"
fi
# Under a prefix whose name holds a space and other characters the shell
# and the entry's format reserve, Exec quotes the path: read back, it is the
# installed program.
odd="$work/my \$prefix's (2)"
if "$cmake" --install "$build" --prefix "$odd" >"$work/install-odd.log" 2>&1; then
    exec_command "$odd/share/applications/$id.desktop"
    [ "${#entry_command[@]}" = 1 ] && [ "${entry_command[0]}" = "$odd/bin/$id" ] && [ -x "${entry_command[0]}" ] ||
        fail "the entry under '$odd' reads as: ${entry_command[*]}"
    if have desktop-file-validate; then
        out=$(desktop-file-validate "$odd/share/applications/$id.desktop" 2>&1) || fail "desktop-file-validate: $out"
    fi
else
    fail "cmake --install --prefix '$odd': $(cat "$work/install-odd.log")"
fi

if [ -s "$mime" ]; then
    grep -q "<mime-type type=\"$type\">" "$mime" || fail "the MIME package does not declare $type"
    grep -q '<glob pattern="\*.ant"/>' "$mime" || fail "the MIME package has no *.ant glob"
fi

# The project type as the desktop finds it, with only the prefix's data:
# the installation ran update-mime-database on it.
if [ -s "$mime" ] && have update-mime-database && have xdg-mime; then
    [ -s "$prefix/share/mime/mime.cache" ] || fail "the installation did not update share/mime"
    grep -q "Updating $prefix/share/mime" "$work/install.log" || fail "no update of share/mime in: $(cat "$work/install.log")"
    mkdir -p "$work/home" "$work/config" "$work/user-data"
    printf 'progetto\001\002' >"$work/Condominio.ant"
    desktop_env() {
        env -i PATH="$PATH" HOME="$work/home" XDG_DATA_HOME="$work/user-data" XDG_DATA_DIRS="$prefix/share" \
            XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/config" "$@"
    }
    # Without a desktop session xdg-mime asks mimetype or file, which do not
    # read shared-mime-info; in GNOME's it asks gio, which does.
    if command -v gio >/dev/null 2>&1; then
        found=$(desktop_env XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$work/Condominio.ant" 2>&1)
        [ "$found" = "$type" ] || fail "xdg-mime query filetype: '$found', expected $type"
    elif command -v mimetype >/dev/null 2>&1; then
        found=$(desktop_env xdg-mime query filetype "$work/Condominio.ant" 2>&1)
        [ "$found" = "$type" ] || fail "xdg-mime query filetype: '$found', expected $type"
    else
        missing+=("gio or mimetype")
    fi
    found=$(desktop_env xdg-mime query default "$type" 2>&1)
    [ "$found" = "$id.desktop" ] || fail "xdg-mime query default: '$found', expected $id.desktop"
fi

# The installed program, started on a fresh home under a display server of
# its own: past the splash a first start offers the design wizard, which
# comes only when no message (such as the default library's absence) stops
# the start-up.
if [ -x "$prefix/bin/$id" ] && have Xvfb && have xdotool; then
    mkdir -p "$work/run-home"
    # Xvfb picks a free display number and writes it.
    Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    display=""
    for _ in $(seq 150); do
        display=$(tr -dc 0-9 <"$work/display")
        [ -n "$display" ] && break
        sleep 0.2
    done
    if [ -z "$display" ]; then
        fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    else
        touch "$work/started"
        # The command of the entry's Exec line, as a desktop reads it: the
        # value's escapes undone, then split as the quoting rules of the key
        # (those of the shell's double quotes) say, without the field code.
        exec_command "$desktop"
        [ "${entry_command[0]:-}" = "$prefix/bin/$id" ] || fail "the entry's Exec starts '${entry_command[0]:-}'"
        # Started away from the build, with the PATH of the session: nothing
        # of the build folder helps it.
        (cd "$work" && exec env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u ORDIVEX_VARNE_SETTINGS \
            DISPLAY=":$display" HOME="$work/run-home" XDG_CONFIG_HOME="$work/run-home/.config" \
            "${entry_command[@]}" >"$work/program.log" 2>&1) &
        program_pid=$!
        wizard=""
        for _ in $(seq 180); do
            wizard=$(DISPLAY=":$display" xdotool search --onlyvisible --name "Auto progetto" 2>/dev/null | head -1)
            [ -n "$wizard" ] && break
            kill -0 "$program_pid" 2>/dev/null || break
            sleep 0.5
        done
        names=$(for w in $(DISPLAY=":$display" xdotool search --onlyvisible --name "." 2>/dev/null); do
            DISPLAY=":$display" xdotool getwindowname "$w"; done | sort -u | tr '\n' '|')
        if [ -z "$wizard" ]; then
            fail "the installed program did not reach its design wizard; windows: $names; output: $(cat "$work/program.log")"
        fi
        if command -v import >/dev/null 2>&1; then
            mkdir -p "$artefacts"
            import -window root -display ":$display" "$artefacts/installed-program.png" 2>/dev/null
        fi
        settings="$work/run-home/.config/OrdivexVarne/settings"
        [ -s "$settings" ] || fail "no settings file written under the fresh home"
        # An installed data folder is read, never written.
        [ -z "$(find "$data" -newer "$work/started")" ] || fail "the program wrote into $data"
    fi
fi

if [ "$failures" -gt 0 ]; then exit 1; fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped, missing: ${missing[*]}"
    exit 77
fi
exit 0
