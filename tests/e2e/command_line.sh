#!/usr/bin/env bash
# The real program's command line, with no display at all: --help and --version print to stdout
# and exit 0, anything else prints the usage on stderr and exits 2; none of them opens a window
# or writes a file.
# Usage: command_line.sh PROGRAM VERSION
set -uo pipefail

program=$(readlink -f "$1")
version=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/crossfall-cli-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Runs the program in an empty folder without a display; sets code, out and err.
run() {
    rm -rf "$work/dir" && mkdir "$work/dir"
    (cd "$work/dir" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$program" "$@") \
        >"$work/out" 2>"$work/err"
    code=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
    [ -z "$(ls -A "$work/dir")" ] || fail "$*: wrote $(ls -A "$work/dir" | tr '\n' ' ')"
}

run --help
usage=$out
((code == 0)) || fail "--help: exit code $code"
[ -z "$err" ] || fail "--help: said on stderr: $err"
[[ $usage == "Usage: crossfall [OPTION]..."* ]] || fail "--help: no usage line: $usage"
for option in --help --version; do
    grep -q -- "^  $option " <<<"$usage" || fail "--help: $option is not listed"
done

run --version
((code == 0)) || fail "--version: exit code $code"
[ "$out" = "crossfall $version" ] || fail "--version: '$out', expected 'crossfall $version'"
[ -z "$err" ] || fail "--version: said on stderr: $err"

# argument | first line on stderr
while IFS='|' read -r argument message; do
    run "$argument"
    ((code == 2)) || fail "$argument: exit code $code, expected 2"
    [ -z "$out" ] || fail "$argument: printed on stdout: $out"
    [ "$(head -n1 <<<"$err")" = "$message" ] || fail "$argument: first line '$(head -n1 <<<"$err")'"
    [ "$(tail -n +2 <<<"$err")" = "$usage" ] || fail "$argument: the usage does not follow"
done <<'CASES'
--bogus|crossfall: unknown option '--bogus'
-h|crossfall: unknown option '-h'
--version=2|crossfall: option '--version' takes no value
scores.txt|crossfall: unexpected argument 'scores.txt'
CASES

((failures == 0)) && echo "ok: --help, --version and bad usage"
((failures == 0))
