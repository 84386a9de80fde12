#!/bin/sh
# An updater's -sim program captures its whole update (--capture), the checker finds the capture
# well-formed, and the updater replayed on it makes every captured call without a difference.
#   sim-update-replays.sh <program-sim> <capture-check> <capture-replay>
set -eu
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The -sim programs log their updates in the user's folder; this run's log stays in $work.
export XDG_STATE_HOME="$work/state"
"$program" --no-window --yes --capture "$work/run.jsonl" 2>"$work/stderr" ||
  { cat "$work/stderr"; exit 1; }
"$2" "$work/run.jsonl"
"$3" "$(basename "$program")" "$work/run.jsonl" --no-window --yes >"$work/replay" 2>&1 ||
  { cat "$work/replay"; exit 1; }
tail -n 1 "$work/replay"
