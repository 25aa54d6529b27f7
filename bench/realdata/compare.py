#!/usr/bin/env python3
"""Runs stats-check on a real contest and compares its verdicts with the sponsor's reports.

The contest: 47 Cabrillo logs of a 4-hour, 80 m CW contest with a serial exchange
(2017-08-19 07:00-10:59 UTC), and the sponsor's official per-log reports (UBN files).
Where the data comes from, and why it is not kept in this repository, is in README.md
beside this script.

Its rules differ from ours in three ways, and the logs are rewritten (into --out, never in
place) so that the verdicts can be compared line by line:
- the same station may be worked again (the sponsor flags repeats 2 to 4 minutes apart),
  up to 8 times in the 4 hours; our dupe rule is
  per band (6), so the contest is checked in two runs, one per 2-hour half (the other
  half's lines left blank, the period still the whole contest), and each QSO goes to a band
  of its own: the two logs' lines of one pair of stations are linked (mirrored exchanges
  first, then nearest times, within 10 minutes), a line left alone joins the one line of
  another log whose exchange mirrors it (a busted call: on the air both were on the one
  band), and each group goes to the half and the 20-minute block of its earliest time, the
  block naming the band, or the nearest band that none of its stations holds for the other
  call yet; a repeat within 5 minutes keeps the band of the line before, to stay a dupe;
- the exchange is the sender's serial and the serial it last received; ours is one serial,
  so the first number is the exchange and this script checks the second one itself;
- a QSO with an error on either side is removed from both logs; ours removes it from the
  side that made the error only, so a "Partner error" line is expected to be credited.

Only the QSO lines change: header bytes (names in cp1251), line ends and line numbers stay.

Usage: python3 bench/realdata/compare.py [--checker PATH] [--out DIR] [--data DIR]
"""

import argparse
import collections
import csv
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
MIRROR = "/work/.mirror/potty-dzmeia+LogChecker/repo"
COMMIT = "5f0ba8f43506785db3772a5dd2648e4138dc5920"
LOGS = "docs/Plovdiv-2017-Logove_v1"
UBNS = "docs/Plovdiv-2017-UBN___v1_official"
START, END_EXCLUSIVE = "2017-08-19 07:00", "2017-08-19 11:00"
HALF = 120  # minutes: the contest is checked in two runs, one for each half
BLOCK = 20  # minutes: 2 hours over our 6 bands
BANDS = [1830, 3530, 7030, 14030, 21030, 28030]
SAME_QSO = 10  # minutes between the two logs' times of one QSO, at most
REPEAT = 5  # minutes: a repeat sooner than this the sponsor calls a dupe (it flags 2 to 4)

CREDITED = {"OK", "UNVERIFIED", "UNIQUE"}

def get_data(data, out):
    if data:
        return data
    dest = os.path.join(out, "source")
    if os.path.isdir(os.path.join(dest, LOGS)):
        return dest
    if not os.path.isdir(MIRROR):
        sys.exit("no data: give --data DIR (a copy of the repository named in README.md)")
    os.makedirs(dest, exist_ok=True)
    arch = subprocess.run(["git", "--git-dir", MIRROR, "archive", COMMIT, LOGS, UBNS],
                          check=True, capture_output=True).stdout
    subprocess.run(["tar", "-x", "-C", dest], input=arch, check=True)
    return dest


def minutes(hhmm):
    return int(hhmm[:2]) * 60 + int(hhmm[2:]) - 7 * 60


class Line:
    def __init__(self, log, fileline, qso, raw, fields):
        self.log, self.fileline, self.qso, self.raw = log, fileline, qso, raw
        self.ok = len(fields) >= 11 and re.fullmatch(r"\d{4}", fields[4]) is not None
        if self.ok:
            self.date, self.hhmm = fields[3], fields[4]
            self.t = minutes(self.hhmm)
            self.own = fields[5].upper()
            self.sent = (fields[6], fields[7])
            self.call = fields[8].upper()
            self.rcvd = (fields[9], fields[10])
        self.half = self.band = None


def read_logs(folder):
    logs = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            raw = f.read()
        text = raw.decode("latin-1")
        own = re.search(r"^CALLSIGN:\s*(\S+)", text, re.M | re.I).group(1).upper()
        lines, qso = [], 0
        for n, l in enumerate(text.split("\n"), 1):
            if l.upper().startswith("QSO:"):
                qso += 1
                lines.append(Line(own, n, qso, l.rstrip("\r"), l.split()))
        logs[own] = (name, raw, lines)
    return logs


def assign_bands(logs, near):
    """One band per QSO as the sponsor counts them; see the module's text."""
    by_pair = collections.defaultdict(list)
    for own, (_, _, lines) in logs.items():
        for l in lines:
            if l.ok:
                by_pair[tuple(sorted((own, l.call)))].append(l)
    clusters = []
    for pair, lines in sorted(by_pair.items()):
        # Link the two logs' lines of one pair: mirrored exchanges first, then nearest times.
        sides = [[l for l in lines if l.log == pair[0]], [l for l in lines if l.log == pair[1]]]
        if pair[0] == pair[1]:
            sides = [lines, []]
        candidates = sorted(((0 if mirrors(a, b) else 1, abs(a.t - b.t), a.qso, b.qso, a, b)
                             for a in sides[0] for b in sides[1] if abs(a.t - b.t) <= SAME_QSO),
                            key=lambda x: x[:4])
        taken = set()
        for *_, a, b in candidates:
            if id(a) not in taken and id(b) not in taken:
                taken.update((id(a), id(b)))
                clusters.append([a, b])
        clusters.extend([l] for l in lines if id(l) not in taken)
    # A line left alone whose exchange mirrors exactly one line of another log (a busted
    # call on one side) joins that line: on the air both were on the one band.
    home = {id(l): c for c in clusters for l in c}
    for c in list(clusters):
        if len(c) != 1:
            continue
        l = c[0]
        found = [p for p in near(l) if p.log != l.log and mirrors(l, p)]
        if len(found) == 1:
            other = home[id(found[0])]
            if other is not c and all(x.log != l.log for x in other):
                other.append(l)
                home[id(l)] = other
                c.clear()
    clusters = sorted((c for c in clusters if c), key=lambda c: min(l.t for l in c))
    used = collections.defaultdict(set)  # (log, worked call) -> (half, band)s it holds
    last = {}  # (log, worked call) -> its latest line
    crowded = 0
    for c in clusters:
        t0 = min(l.t for l in c)
        keys = {(l.log, l.call) for l in c}
        repeat = [last[k] for k in keys if k in last and t0 - last[k].t < REPEAT]
        if repeat:
            # Too soon for the sponsor: a dupe, so ours must see it on the same band.
            slot = (repeat[0].half, repeat[0].band)
        else:
            half = max(0, min(1, t0 // HALF))
            want = max(0, min(5, (t0 - half * HALF) // BLOCK))
            order = [want] + list(range(want + 1, 6)) + list(range(want - 1, -1, -1))
            free = [b for b in order if all((half, b) not in used[k] for k in keys)]
            if not free:
                crowded += 1
            slot = (half, free[0] if free else want)
        for l in c:
            l.half, l.band = slot
            used[(l.log, l.call)].add(slot)
            last[(l.log, l.call)] = l
    return crowded


def num(s):
    return s.zfill(3) if s.isdigit() else s


def write_logs(logs, folder, half):
    """The logs with the QSO lines of one half; the other half's lines are left blank."""
    os.makedirs(folder, exist_ok=True)
    for own, (name, raw, lines) in logs.items():
        text = raw.decode("latin-1").split("\n")
        for l in lines:
            end = "\r" if text[l.fileline - 1].endswith("\r") else ""
            if l.ok and l.half != half or not l.ok and half == 1:
                text[l.fileline - 1] = end
                continue
            if not l.ok:
                continue
            text[l.fileline - 1] = (
                f"QSO: {BANDS[l.band]:5d} CW {l.date} {l.hhmm} {l.own:<13} 599 {num(l.sent[0])} "
                f"{l.call:<13} 599 {num(l.rcvd[0])}{end}")
        with open(os.path.join(folder, name), "wb") as f:
            f.write("\n".join(text).encode("latin-1"))


UBN_LINE = re.compile(r"^QSO\s+(\d+)\s*:\s*\S+\s+\S+\s+(\d{4})\s+(\S+)\s*:\s*(.*)$")


class Report:
    def __init__(self, log, qso, hhmm, call, text):
        self.log, self.qso, self.hhmm, self.call, self.text = log, qso, hhmm, call, text
        m = re.search(r"\[(\S+) QSO:(\d+)\]", text)
        self.partner = (m.group(1), int(m.group(2))) if m else None
        self.nil = "NotInLog" in text
        self.nolog = "NoLog" in text
        self.dupe = "Duplicate" in text
        self.period = "Time not in tournament range" in text
        m = re.search(r"BadCallsign \((\S+)/(\S+) \[\d+\]\)", text)
        self.bad_call = m.group(2) if m else None
        m = re.search(r"Receive error \((\S+) (\S+)/(\S+) (\S+)\)", text)
        self.rx = ((m.group(1), m.group(2)), (m.group(3), m.group(4))) if m else None
        self.partner_side = ("Partner error" in text or "Partner bad callsign" in text)


def read_ubns(folder):
    reports = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding="utf-8-sig") as f:
            text = f.read()
        own = re.search(r"^CALLSIGN\s*:\s*(\S+)", text, re.M).group(1).upper()
        for l in text.splitlines():
            m = UBN_LINE.match(l.strip())
            if m:
                r = Report(own, int(m.group(1)), m.group(2), m.group(3), m.group(4).strip())
                reports[(own, r.qso)] = r
    return reports


def same_num(a, b):
    return a.isdigit() and b.isdigit() and int(a) == int(b)


def expectation(r):
    """The sponsor's verdict on a line, as a kind and the verdicts of ours that agree."""
    if r is None:
        return "credited", CREDITED
    if r.period:
        return "outside the period", {"BAD"}
    if r.dupe:
        return "dupe", {"DUPE"}
    if r.nil:
        return "not in log", {"NIL"}
    if r.bad_call:
        return "busted call", {"BUSTED_CALL"}
    if r.nolog:
        return "call without log (sponsor removes)", {"UNIQUE", "UNVERIFIED", "BUSTED_CALL"}
    if r.rx:
        (l1, l2), (s1, s2) = r.rx
        if not same_num(l1, s1):
            return "busted exchange (serial)", {"BUSTED_EXCHANGE"}
        return "busted exchange (second number only)", CREDITED
    if r.partner_side:
        return "the other side's error only", CREDITED
    return "other: " + r.text, set()


def value(s):
    return int(s) if s.isdigit() else s


def mirrors(l, p):
    """p's exchange is ours mirrored: it sent what we logged and logged what we sent."""
    return (p.ok and tuple(map(value, p.sent)) == tuple(map(value, l.rcvd)) and
            tuple(map(value, p.rcvd)) == tuple(map(value, l.sent)))


def truth(l, logs, near):
    """What the logs themselves show for a line, from the two-number exchange: a line of
    another log within 10 minutes (date ignored) whose exchange mirrors ours is the other
    half of the QSO, whatever calls either side logged. Returns (verdict, evidence line)."""
    if not l.ok:
        return None, None
    found = [p for p in near(l) if p.log != l.log and mirrors(l, p)]
    if len(found) == 1:
        p = found[0]
        return ("OK", p) if p.log == l.call else ("BUSTED_CALL " + p.log, p)
    if found or l.call not in logs:
        return None, None
    mine = [p for p in near(l) if p.log == l.call and p.call == l.log]
    if len(mine) == 1:
        p = mine[0]
        if tuple(map(value, p.rcvd)) == tuple(map(value, l.sent)):
            if value(p.sent[0]) != value(l.rcvd[0]):
                return "BUSTED_EXCHANGE", p
            return ("OK" if value(p.sent[1]) == value(l.rcvd[1]) else "OK, second number differs"), p
        return None, p
    if not mine and not [p for p in near(l) if p.log == l.call and
                         value(p.rcvd[0]) == value(l.sent[0])]:
        return "NIL", None
    return None, None


def classify(ours, sponsor_agrees, true, nil_date):
    if nil_date:
        return "both wrong", "a date error (the day before): the QSOs are in the partners' logs"
    if true is None:
        return "unclear", "no line of another log mirrors this one's exchange"
    ours_right = ours == true or (true.startswith("BUSTED_CALL") and ours == true) or (
        true == "OK" and ours in CREDITED) or (true.startswith("OK,") and ours.startswith("OK"))
    if ours_right and not sponsor_agrees:
        return "sponsor wrong", "the logs show " + true
    if ours_right:
        return "agree", ""
    return ("checker wrong", "the logs show " + true)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--checker", default=os.path.join(ROOT, "build/linux/tools/stats-check"))
    ap.add_argument("--out", default=os.path.join(ROOT, "build/realdata/plovdiv2017"))
    ap.add_argument("--data", help="a copy of the source repository (default: the mirror)")
    a = ap.parse_args()
    os.makedirs(a.out, exist_ok=True)
    data = get_data(a.data, a.out)
    logs = read_logs(os.path.join(data, LOGS))
    reports = read_ubns(os.path.join(data, UBNS))
    by_qso = {(own, l.qso): l for own, (_, _, ls) in logs.items() for l in ls}
    by_minute = collections.defaultdict(list)
    for own, (_, _, ls) in logs.items():
        for l in ls:
            if l.ok:
                by_minute[l.t].append(l)

    def near(l):
        return [p for t in range(l.t - SAME_QSO, l.t + SAME_QSO + 1) for p in by_minute.get(t, [])]

    crowded = assign_bands(logs, near)
    ours = {}
    for half in (0, 1):
        rewritten = os.path.join(a.out, f"logs-{half + 1}")
        write_logs(logs, rewritten, half)
        result = os.path.join(a.out, f"check-{half + 1}")
        run = subprocess.run([a.checker, "--quiet", "--start", START, "--end", END_EXCLUSIVE,
                              rewritten, "--out", result], capture_output=True, text=True)
        if run.returncode not in (0, 3):
            sys.exit(f"checker failed ({run.returncode}): {run.stderr}")
        with open(os.path.join(result, "qsos.csv"), newline="", encoding="utf-8") as f:
            for row in csv.DictReader(f):
                ours[(row["log"], int(row["line"]))] = row

    by_fileline = {(own, l.fileline): l for own, (_, _, ls) in logs.items() for l in ls}
    table = collections.OrderedDict()
    disagreements = []
    verdicts = collections.Counter()
    for own, (_, _, lines) in sorted(logs.items()):
        for l in lines:
            row = ours.get((own, l.fileline))
            v = row["verdict"] if row else "(missing)"
            verdicts[v] += 1
            r = reports.get((own, l.qso))
            kind, agree = expectation(r)
            # A credited line that the sponsor took for a second-number bust: ours sees only
            # the first number, so check the second here against the line ours paired.
            if kind == "busted exchange (second number only)" and v == "OK" and row["other_log"]:
                p = by_fileline.get((row["other_log"], int(row["other_line"])))
                if p and p.ok and not same_num(l.rcvd[1], p.sent[1]):
                    v = "OK, second number differs"
            t = table.setdefault(kind, collections.Counter())
            t["lines"] += 1
            hit = v in agree or v == "OK, second number differs"
            if kind == "busted call" and v == "BUSTED_CALL" and r.bad_call not in row["note"]:
                hit = False
            t["agree" if hit else "disagree"] += 1
            if not hit:
                disagreements.append((own, l, row, r, kind, v))

    def show(l):
        return f"{l.log} QSO {l.qso} (line {l.fileline}): {l.raw.strip()}  [run {l.half + 1}, band {BANDS[l.band]}]" \
            if l.band is not None else f"{l.log} QSO {l.qso}: {l.raw.strip()}"

    out = []
    out.append("Real contest: 47 logs, 2017-08-19 07:00-10:59 UTC, 80 m CW, serial exchange")
    out.append(f"checker: {a.checker}")
    out.append(f"QSO lines: {sum(verdicts.values())}; our verdicts: " +
               ", ".join(f"{k} {n}" for k, n in sorted(verdicts.items())))
    out.append(f"QSOs of a pair past our 6 bands in a half (last band shared): {crowded}")
    out.append("")
    out.append(f"{'the sponsor says':<42} {'lines':>6} {'agree':>6} {'disagree':>9}")
    for kind, t in table.items():
        out.append(f"{kind:<42} {t['lines']:>6} {t['agree']:>6} {t['disagree']:>9}")
    out.append("")
    classes = collections.Counter()
    listed = []
    for own, l, row, r, kind, v in disagreements:
        true, evidence = truth(l, logs, near)
        if true and true.startswith("BUSTED_CALL") and v == "BUSTED_CALL":
            v_cmp = "BUSTED_CALL " + (row["note"].split(": ")[-1].split()[0] if row["note"] else "")
            v_cmp = "BUSTED_CALL " + true.split()[1] if true.split()[1] in row["note"] else v_cmp
        else:
            v_cmp = v
        earlier = [e for e in logs[own][2] if e.ok and e.qso < l.qso and e.call == l.call and
                   (e.half, e.band) == (l.half, l.band)] if v == "DUPE" and l.ok else []
        date_error = row is not None and row["verdict"] == "BAD" and l.ok and l.date != START[:10]
        sponsor_agrees = r is not None and r.text and (
            (true == "NIL" and r.nil) or (true == "BUSTED_EXCHANGE" and r.rx is not None) or
            (true and true.startswith("BUSTED_CALL") and r.bad_call == true.split()[1]) or
            (true in ("OK",) and (r is None)))
        if r is None and true == "OK":
            sponsor_agrees = True
        cls, why = classify(v_cmp, sponsor_agrees, true, date_error)
        if (evidence is not None and evidence.band is not None and cls != "agree" and
                (evidence.half, evidence.band) != (l.half, l.band) and v not in CREDITED):
            cls, why = "rewriting", (f"the line the logs pair it with went to run "
                                     f"{evidence.half + 1}, band {BANDS[evidence.band]}")
        elif earlier and l.t - earlier[-1].t >= REPEAT:
            cls, why = "rewriting", (f"QSO {earlier[-1].qso} at {earlier[-1].hhmm} was put on the "
                                     "same band (a repeat the sponsor allows)")
        elif earlier and cls == "checker wrong" and not (r and r.dupe):
            why += f"; QSO {earlier[-1].qso} at {earlier[-1].hhmm} is {l.t - earlier[-1].t} min before"
        classes[cls] += 1
        listed.append((cls, why, own, l, row, r, kind, v, evidence))
    order = {"checker wrong": 0, "both wrong": 1, "unclear": 2, "sponsor wrong": 3, "rewriting": 4}
    listed.sort(key=lambda x: (order.get(x[0], 5), x[2], x[3].qso))
    out.append(f"Disagreements ({len(disagreements)}), the checker's faults first:")
    for cls, why, own, l, row, r, kind, v, evidence in listed:
        out.append("")
        out.append(f"* {own} QSO {l.qso}: sponsor: {kind}; ours: {v}"
                   f"{' - ' + row['note'] if row and row['note'] else ''}   [{cls}{': ' + why if why else ''}]")
        out.append("  ours:    " + show(l))
        if row and row["other_log"]:
            p = by_fileline.get((row["other_log"], int(row["other_line"])))
            if p:
                out.append("  paired:  " + show(p))
        out.append("  sponsor: " + (r.text if r else "(no report: credited)"))
        if r and r.partner:
            p = by_qso.get(r.partner)
            if p:
                out.append("  its partner line: " + show(p))
                pr = reports.get(r.partner)
                pv = ours.get((p.log, p.fileline))
                out.append(f"    sponsor on it: {pr.text if pr else '(no report)'}; ours on it: "
                           f"{pv['verdict'] + (' - ' + pv['note'] if pv['note'] else '') if pv else '?'}")
        if evidence:
            out.append("  the logs: " + show(evidence))
    out.append("")
    out.append("Disagreements by class: " + ", ".join(f"{k} {n}" for k, n in sorted(classes.items())))
    text = "\n".join(out) + "\n"
    with open(os.path.join(a.out, "comparison.txt"), "w", encoding="utf-8") as f:
        f.write(text)
    summary = text.split("\nDisagreements (")[0]
    print(summary)
    print(f"Disagreements: {len(disagreements)} (" +
          ", ".join(f"{k} {n}" for k, n in sorted(classes.items())) + ")")
    print(f"all of it: {os.path.join(a.out, 'comparison.txt')}")


if __name__ == "__main__":
    main()
