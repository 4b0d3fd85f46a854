#!/bin/sh
# Runs a command with a wine prefix of its own, made fresh and removed
# afterwards, so that nothing of a user's wine set-up is read or changed and
# nothing of wine outlives the command.
#
#   packaging/with-wine-prefix.sh COMMAND [ARGUMENT...]
set -eu

WINEPREFIX=$(mktemp -d)
export WINEPREFIX
export WINEDEBUG=-all
# On a display, a fresh prefix would offer to install Mono and Gecko, and wait.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The prefix's wineserver is stopped, and has written its registry, before the
# prefix's files go.
# Either finds no server when it has already ended by itself: that is no
# failure of the command.
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; /usr/lib/wine/wineserver64 -w 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
trap 'exit 130' INT TERM
"$@"
