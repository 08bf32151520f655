#!/usr/bin/env bash
# virtual_display.sh COMMAND [ARGS...]
#
# Runs COMMAND on a virtual X display of its own (1024 x 768, 24 bits, no
# TCP) and stops the display afterwards, with COMMAND's exit status. The X
# server picks the display number itself and names it once it accepts
# connections, so tests started side by side never meet on one display. It
# does not reset when its last client leaves: a program started a moment
# after another one ended would find no display during the reset.
set -euo pipefail

log=$(mktemp -p /tmp virtual-display.XXXXXX)
exec {number_fd}< <(exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>"$log")
server=$!
trap 'kill "$server" 2>/dev/null && wait "$server" 2>/dev/null; rm -f "$log"' EXIT
# A server that cannot start closes the pipe and the read ends at once.
if ! read -r -t 60 -u "$number_fd" number || [ -z "$number" ]; then
  echo "virtual display: Xvfb did not start" >&2
  cat "$log" >&2
  exit 1
fi
status=0
DISPLAY=":$number" "$@" || status=$?
exit "$status"
