#!/usr/bin/env bash
# The program started where no screen can be opened: one line on the error
# output and status 1, not a crash of the window system's library.
set -u
program="$1"
expected="Ordivex Varne: nessuno schermo grafico disponibile, impossibile aprire la finestra del programma."
errors=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1 >/dev/null)
status=$?
if [ "$status" -ne 1 ]; then echo "exit status $status, expected 1"; exit 1; fi
if [ "$errors" != "$expected" ]; then echo "error output: $errors"; exit 1; fi
# A display that names no server behaves the same.
errors=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:9999 "$program" 2>&1 >/dev/null)
status=$?
if [ "$status" -ne 1 ]; then echo "DISPLAY=:9999: exit status $status, expected 1"; exit 1; fi
if [ "$errors" != "$expected" ]; then echo "DISPLAY=:9999: error output: $errors"; exit 1; fi
exit 0
