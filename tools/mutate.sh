#!/usr/bin/env bash
# Mutation testing: plants one-line faults (tools/mutants.py) in the game's sources, one at a time,
# rebuilds only the unit-test programs in a reused build folder and runs them (all but the crash points,
# which start a process per point, as the soak and the end-to-end runs are left out); a fault the tests
# miss is a survivor. A mutant that compiles to the very object code of the unmutated file changes
# nothing and is counted as equivalent, not run. A survivor listed in tools/unobservable-mutants.tsv
# (judged by reading: no player, file or caller can tell it apart) is counted as unobservable, with
# the reason. Writes killed / survived / timed-out / equivalent / unobservable / did-not-compile per
# file and per subsystem, with each survivor's diff, to the report.
#
#   tools/mutate.sh [-n SAMPLE] [-s SEED[,SEED...]] [-b BUILD] [-o REPORT] [-f MIN_KILL_PERCENT]
#                   [-k NUMBERS] [FILE|FOLDER...]
#
# Each seed draws its own sample of SAMPLE mutants (any text is a seed; a mutant two seeds draw runs
# once). Defaults: 200 mutants; the seed CI draws for this commit, the first eight hex digits of its
# hash; build/; BUILD/mutate-report.txt; every .cpp under src/ that the unit tests link (not the SDL
# backend, main() or the null backend the tests stand on). With -f the
# exit code is 1 when the kill rate is under that percentage. -k 5,12 runs only those mutants of the
# sample (to retry survivors).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sample=200 seed="" build=$root/build report="" fail_under="" only=""
while getopts "n:s:b:o:f:k:" opt; do
    case $opt in
        n) sample=$OPTARG ;;
        s) seed=$OPTARG ;;
        b) build=$(realpath -m "$OPTARG") ;;
        o) report=$(realpath -m "$OPTARG") ;;
        f) fail_under=$OPTARG ;;
        k) only=,$OPTARG, ;;
        *) sed -n '11,12p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
report=${report:-$build/mutate-report.txt}
seed=${seed:-$(git -C "$root" rev-parse HEAD | cut -c1-8)}
suites=(rules play menus scores platform audio app)
tests='-CrashPoints.*'
cd "$root"
renice -n 15 -p $$ >/dev/null 2>&1 || true

# ---- What to mutate ----
mapfile -t files < <(git ls-files -- "${@:-src}" | grep -E '^src/.*\.cpp$' |
    grep -v -e '^src/platform/sdl/' -e '^src/main\.cpp$' -e '^src/platform/null_backend\.cpp$' || true)
if [ "${#files[@]}" -eq 0 ]; then
    echo "mutate: no source files to mutate in: ${*:-src}" >&2
    exit 2
fi
if [ -n "$(git status --porcelain -- src)" ]; then
    echo "mutate: src/ has uncommitted changes; commit or stash them first" >&2
    exit 2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/crossfall-mutate-XXXXXX")
current=""
restore() {
    if [ -n "$current" ]; then cp "$work/original" "$current"; fi
    rm -rf "$work"
}
trap restore EXIT
trap 'exit 130' INT TERM
echo "mutate: seeds $seed, $sample mutants each"
python3 tools/mutants.py "$work/mutants" "$sample" "$seed" "${files[@]}"
if [ -n "$only" ]; then
    awk -F'\t' -v only="$only" 'index(only, "," ($1 + 0) ",")' "$work/mutants/plan.tsv" >"$work/picked.tsv"
    mv "$work/picked.tsv" "$work/mutants/plan.tsv"
fi

# ---- The unmutated build must pass; its run times set the time limits ----
build_tests() { cmake --build "$build" -j 2 --target "$@" >"$work/build.log" 2>&1; }
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCROSSFALL_WERROR=ON >/dev/null
fi
build_tests "${suites[@]/#/test_}" || { cat "$work/build.log" >&2; echo "mutate: the unmutated build fails" >&2; exit 2; }
declare -A limit took
for s in "${suites[@]}"; do
    start=$(date +%s%N)
    "$build/test_$s" --gtest_filter="$tests" --gtest_brief=1 >/dev/null 2>&1 ||
        { echo "mutate: test_$s fails unmutated" >&2; exit 2; }
    took[$s]=$(( $(date +%s%N) - start ))
    limit[$s]=$(( took[$s] * 3 / 1000000000 + 20 ))
done
# After its own suite a mutant meets the others fastest first: most are killed by one of them.
mapfile -t others < <(for s in "${suites[@]}"; do echo "${took[$s]} $s"; done | sort -n | cut -d' ' -f2)
object_of() { echo "$build/CMakeFiles/crossfall_core.dir/$1.o"; }
mkdir -p "$work/objects"
for f in "${files[@]}"; do
    [ -f "$(object_of "$f")" ] || { echo "mutate: no object for $f in $build" >&2; exit 2; }
    cp "$(object_of "$f")" "$work/objects/${f//\//_}.o"
done

# ---- One mutant at a time: the own subsystem's suite first, then the others ----
run_suite() {
    timeout -k 5 "${limit[$1]}" "$build/test_$1" --gtest_filter="$tests" --gtest_fail_fast --gtest_brief=1 \
        >/dev/null 2>&1
}
judge() { # subsystem file -> killed | survived | timed-out | did-not-compile | equivalent
    local own=$1 file=$2 rc s
    build_tests "test_$own" || { echo did-not-compile; return; }
    if cmp -s "$(object_of "$file")" "$work/objects/${file//\//_}.o"; then
        echo equivalent
        return
    fi
    run_suite "$own" && rc=0 || rc=$?
    if [ "$rc" -eq 0 ]; then
        build_tests "${suites[@]/#/test_}" || { echo did-not-compile; return; }
        for s in "${others[@]}"; do
            [ "$s" = "$own" ] && continue
            run_suite "$s" && rc=0 || rc=$?
            [ "$rc" -ne 0 ] && break
        done
    fi
    case $rc in
        0) echo survived ;;
        124 | 137) echo timed-out ;;
        *) echo killed ;;
    esac
}
# The reason a survivor was judged unobservable, matched on its file, original and mutated line.
judged_unobservable() { # file unmutated-copy mutated-copy line
    local before after
    before=$(sed -n "$4{s/^[[:space:]]*//;p}" "$2")
    after=$(sed -n "$4{s/^[[:space:]]*//;p}" "$3")
    F=$1 B=$before A=$after awk -F'\t' '$1 == ENVIRON["F"] && $2 == ENVIRON["B"] && $3 == ENVIRON["A"] {
        print $4; found = 1; exit } END { exit !found }' tools/unobservable-mutants.tsv
}
: >"$work/results.tsv"
total=$(wc -l <"$work/mutants/plan.tsv")
while IFS=$'\t' read -r number file line operator; do
    own=${file#src/}
    own=${own%%/*}
    cp "$file" "$work/original"
    current=$file
    cp "$work/mutants/$number.src" "$file"
    outcome=$(judge "$own" "$file")
    if [ "$outcome" = survived ] &&
        why=$(judged_unobservable "$file" "$work/original" "$work/mutants/$number.src" "$line"); then
        outcome=unobservable
        echo "$why" >"$work/mutants/$number.why"
    fi
    cp "$work/original" "$file"
    current=""
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$number" "$own" "$file" "$line" "$operator" "$outcome" >>"$work/results.tsv"
    echo "mutant $number/$total $file:$line $operator: $outcome"
done <"$work/mutants/plan.tsv"
# Leave the build folder matching the sources again.
build_tests "${suites[@]/#/test_}" || true

# ---- Report ----
# One row per key of column $1 (0: one row for the whole run); the kill rate leaves out the mutants
# that did not compile, those the compiler proved equivalent and those judged unobservable; the raw
# rate counts the judged ones as survivors.
tally() {
    awk -F'\t' -v col="$1" '
        { k = col ? $col : "all"; n[k]++; c[k, $6]++ }
        END {
            for (k in n) {
                dead = c[k, "killed"] + c[k, "timed-out"]
                raw = n[k] - c[k, "did-not-compile"] - c[k, "equivalent"]
                counted = raw - c[k, "unobservable"]
                printf "%-30s %6d %8d %9d %10d %12d %15d %6.1f %% %6.1f %%\n", k, c[k, "killed"],
                    c[k, "survived"], c[k, "timed-out"], c[k, "equivalent"], c[k, "unobservable"],
                    c[k, "did-not-compile"], counted ? 100 * dead / counted : 100,
                    raw ? 100 * dead / raw : 100
            }
        }' "$work/results.tsv" | sort
}
header() {
    printf '%-30s %6s %8s %9s %10s %12s %15s %8s %8s\n' "$1" killed survived timed-out equivalent \
        unobservable did-not-compile kill raw
}
diffs() { # outcome -> the diff of every mutant with it
    awk -F'\t' -v outcome="$1" '$6 == outcome { print $1 }' "$work/results.tsv" | while read -r number; do
        echo
        cat "$work/mutants/$number.diff"
    done
}
mkdir -p "$(dirname "$report")"
{
    echo "Mutation run: $total mutants, seeds $seed, $(git rev-parse --short HEAD), $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "Kill rate = (killed + timed-out) / (mutants that compiled to other object code, less those"
    echo "judged unobservable); raw = (killed + timed-out) / (mutants that compiled to other object code)."
    echo
    header subsystem
    tally 2
    tally 0
    echo
    header file
    tally 3
    echo
    echo "Survivors:"
    diffs survived
    echo
    echo "Equivalent (the same object code):"
    diffs equivalent
    echo
    echo "Unobservable (judged by reading, tools/unobservable-mutants.tsv):"
    awk -F'\t' '$6 == "unobservable" { print $1 }' "$work/results.tsv" | while read -r number; do
        echo
        cat "$work/mutants/$number.diff"
        echo "why: $(cat "$work/mutants/$number.why")"
    done
} >"$report"
cp "$work/results.tsv" "${report%.txt}.tsv"
sed -n '/^subsystem/,/^all/p' "$report"
echo "report: $report"
if [ -n "$(git status --porcelain -- src)" ]; then
    echo "mutate: src/ differs from the commit after the run" >&2
    exit 2
fi
if [ -n "$fail_under" ]; then
    rate=$(tally 0 | awk '{ print $(NF - 3) }')
    if awk -v rate="$rate" -v min="$fail_under" 'BEGIN { exit !(rate < min) }'; then
        echo "mutate: kill rate $rate % is under $fail_under %" >&2
        exit 1
    fi
fi
