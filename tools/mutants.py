#!/usr/bin/env python3
"""Lists the one-line mutants of C++ files and writes a seeded, stratified sample of them.

Called by tools/mutate.sh:  mutants.py OUT_DIR SAMPLE SEEDS FILE...
Checked by the test suite:  mutants.py --check-judged LIST  (every mutant the list judges unobservable
must still be one, and only one, that this script can make: its file, its line as written and its line
as mutated; a line written twice in its file could judge the other place too).
SEEDS is one seed or several, comma-separated: each draws its own sample of SAMPLE mutants, and a
mutant two seeds both draw is run once. For each sampled mutant it writes OUT_DIR/NNNN.src (the whole mutated file) and OUT_DIR/NNNN.diff,
and one line per mutant in OUT_DIR/plan.tsv: number, file, line, operator.

Operators: a relational operator to its neighbour (< <=, > >=, == !=), && to || and back, an
integer constant plus or minus one, a comparison's bound plus or minus one, a statement that
assigns or steps a counter or flag removed, two adjacent call statements swapped. Comments,
string and character literals and preprocessor lines are masked first, so text cannot be mutated.
A colour component (an argument of rgb() or packColor()) moves by nine, the least step every channel
of the 5-6-5 picture shows; a capacity hint (the argument of reserve()) is left alone.
"""
import collections
import difflib
import os
import random
import re
import sys

RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
RELATIONAL_RE = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
LOGICAL_RE = re.compile(r"(?<=\s)(&&|\|\|)(?=\s)")
INTEGER_RE = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])")
BOUND_RE = re.compile(r"\s(?:<|<=|>|>=)\s([A-Za-z_][\w.]*(?:\(\))?)(?=\s*(?:\)|;|&&|\|\|))")
STEP_RE = re.compile(r"^\s*(?:(?:\+\+|--)[A-Za-z_][\w.\[\]]*|[A-Za-z_][\w.\[\]]*(?:\+\+|--|\s*[-+*/|&^]?=[^=].*));\s*$")
CALL_RE = re.compile(r"^(\s*)([A-Za-z_][\w.:]*(?:->\w+)*)\(.*\);\s*$")
COLOUR_STEP = 9
SPAN_CALL_RE = re.compile(r"\b(rgb|packColor|reserve)\(")
KEYWORDS = {"return", "if", "while", "for", "switch", "delete", "throw", "case", "else", "do", "using"}


def mask(text):
    """The file with comments, string and character literals blanked out, positions kept."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            for k in range(i, end):
                if text[k] != "\n":
                    out[k] = " "
            i = end
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
            if c == '"' and i > 0 and text[i - 1] == "R":
                close = text.find(")" + text[i + 1:text.find("(", i)] + '"', i)
                end = n if close < 0 else text.find('"', close + 1) + 1
            else:
                k = i + 1
                while k < n and text[k] != c and text[k] != "\n":
                    k += 2 if text[k] == "\\" else 1
                end = min(k + 1, n)
            for k in range(i + 1, end - 1):
                if text[k] != "\n":
                    out[k] = " "
            i = end
        else:
            i += 1
    return "".join(out)


def call_spans(line):
    """(start, end, callee) of each rgb(), packColor() and reserve() argument list in the line."""
    spans = []
    for x in SPAN_CALL_RE.finditer(line):
        depth, k = 1, x.end()
        while k < len(line) and depth:
            depth += {"(": 1, ")": -1}.get(line[k], 0)
            k += 1
        spans.append((x.end(), k, x.group(1)))
    return spans


def candidates(path):
    """Every mutant of one file, in a fixed order: (line index, operator, new lines for that spot)."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    masked = mask("\n".join(lines)).split("\n")
    found = []

    def replace(i, start, end, new, operator):
        found.append((i, operator, [lines[i][:start] + new + lines[i][end:]]))

    for i, m in enumerate(masked):
        code = m.strip()
        if not code or code.startswith("#") or "static_assert" in code:
            continue
        for x in RELATIONAL_RE.finditer(m):
            replace(i, x.start(), x.end(), RELATIONAL[x.group(1)], "relational")
        for x in LOGICAL_RE.finditer(m):
            replace(i, x.start(), x.end(), "||" if x.group(1) == "&&" else "&&", "logical")
        spans = call_spans(m)
        for x in INTEGER_RE.finditer(m):
            text, suffix = x.group(1), x.group(2)
            base = 16 if text[:2].lower() == "0x" else 8 if len(text) > 1 and text[0] == "0" else 10
            value = int(text, base)
            callee = next((c for a, b, c in spans if a <= x.start() < b), None)
            if callee == "reserve":
                continue
            steps, top = ((COLOUR_STEP, -COLOUR_STEP), 255) if callee else ((1, -1), None)
            for step in steps:
                if value + step < 0 or (top is not None and value + step > top):
                    continue
                new = {16: "0x%X", 8: "0%o", 10: "%d"}[base] % (value + step)
                replace(i, x.start(), x.end(), new + suffix, "colour" if callee else "constant")
        for x in BOUND_RE.finditer(m):
            for step in (" + 1", " - 1"):
                replace(i, x.end(1), x.end(1), step, "bound")
        if STEP_RE.match(m) and not (i > 0 and re.search(r"(\)|else)\s*$", masked[i - 1])):
            found.append((i, "remove", [re.match(r"\s*", lines[i]).group(0) + "{}"]))
        if i + 1 < len(masked):
            a, b = CALL_RE.match(m), CALL_RE.match(masked[i + 1])
            if (a and b and a.group(1) == b.group(1) and lines[i] != lines[i + 1]
                    and a.group(2) not in KEYWORDS and b.group(2) not in KEYWORDS
                    and not (i > 0 and re.search(r"(\)|else)\s*$", masked[i - 1]))):
                found.append((i, "swap", [lines[i + 1], lines[i]]))
    return lines, found


def allocate(counts, sample, rng):
    """Splits the sample over the files in proportion to their mutants, at least one each
    (a sample smaller than the number of files takes one mutant from each of that many files)."""
    total = sum(counts.values())
    mutable = sorted(f for f, c in counts.items() if c)
    if sample < len(mutable):
        chosen = set(rng.sample(mutable, sample))
        return {f: int(f in chosen) for f in counts}
    share = {f: min(c, 1) for f, c in counts.items()}
    rest = sample - sum(share.values())
    if rest <= 0 or total == 0:
        return share
    exact = {f: rest * c / total for f, c in counts.items()}
    for f in counts:
        share[f] = min(counts[f], share[f] + int(exact[f]))
    order = sorted(counts, key=lambda f: (-(exact[f] - int(exact[f])), f))
    while sum(share.values()) < min(sample, total):
        grew = False
        for f in order:
            if share[f] < counts[f] and sum(share.values()) < sample:
                share[f] += 1
                grew = True
        if not grew:
            break
    return share


def check_judged(list_path):
    """Exit status 1, with a line each, when an entry of the judged list names no mutant of src/ now, or
    several without saying so."""
    made = {}
    stale = 0
    with open(list_path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            path, before, after, why = (line.rstrip("\n").split("\t") + ["", "", "", ""])[:4]
            if path not in made:
                made[path] = collections.Counter()
                if os.path.isfile(path):
                    lines, found = candidates(path)
                    for i, _, new in found:
                        made[path][(lines[i].strip(), new[0].strip())] += 1
            count = made[path][(before, after)]
            # One entry may judge several identical lines only when it says it judges them all.
            if count == 0 or (count > 1 and not why.startswith("all %d such lines: " % count)):
                print("%s:%d: %s mutant in %s: %s  ->  %s" % (list_path, number, "no such" if not count else
                                                              "%d lines give this" % count, path, before, after))
                stale += 1
    print("judged list: %s" % ("%d stale entries" % stale if stale else "every entry names a mutant of the code"))
    return 1 if stale else 0


def main():
    if sys.argv[1] == "--check-judged":
        sys.exit(check_judged(sys.argv[2]))
    out_dir, sample, seeds, files = sys.argv[1], int(sys.argv[2]), sys.argv[3], sorted(set(sys.argv[4:]))
    found = {f: candidates(f) for f in files}
    plan, drawn = [], set()
    for seed in seeds.split(","):
        rng = random.Random(seed)
        share = allocate({f: len(found[f][1]) for f in files}, sample, rng)
        for f in files:
            lines, muts = found[f]
            for k in sorted(rng.sample(range(len(muts)), share[f])):
                if (f, k) not in drawn:
                    drawn.add((f, k))
                    plan.append((f, lines, muts[k]))
    plan.sort(key=lambda p: p[0])
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "plan.tsv"), "w", encoding="utf-8") as tsv:
        for number, (f, lines, (i, operator, new)) in enumerate(plan, 1):
            mutated = lines[:i] + new + lines[i + len(new):]
            name = os.path.join(out_dir, "%04d" % number)
            with open(name + ".src", "w", encoding="utf-8") as src:
                src.write("\n".join(mutated))
            diff = difflib.unified_diff(lines, mutated, "a/" + f, "b/" + f, n=1, lineterm="")
            with open(name + ".diff", "w", encoding="utf-8") as d:
                d.write("\n".join(diff) + "\n")
            tsv.write("%04d\t%s\t%d\t%s\n" % (number, f, i + 1, operator))
    print("%d distinct mutants sampled with seeds %s from %d candidates in %d files" % (
        len(plan), seeds, sum(len(found[f][1]) for f in files), len(files)))


if __name__ == "__main__":
    main()
