#!/usr/bin/env python3
"""The report page of an example contest, opened in headless Chromium.

Replays the example through the host simulator with --report, then checks in the browser
that the page renders without a console message, that its rate chart has one bar group per
contest hour, that it carries every section heading, and that its totals (per band: QSOs,
points, EADX100, Prov; the score) equal the plug-in's results text, which the loaded library
computed. Leaves a PNG screenshot and a PDF print in the artifacts folder.

Usage: check_report.py TOOL EXAMPLE_LOG ARTIFACTS_DIR
TOOL is the host simulator for its own logs, or the scorer for ADIF logs (.adi), whose
contest period runs from the first to the last QSO.
"""
import datetime
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

HEADINGS = [
    "Results", "QSOs and points per hour", "Best rates", "Operating time",
    "Multipliers over time", "QSOs by band and hour", "Provinces by band",
    "QSOs left out or flagged", "Calls without an entity",
]
# Chromium's own start-up chatter on a machine without a session bus or a GPU.
NOISE = re.compile(r"dbus|Fontconfig|gpu_|viz_|GPU|sandbox|crashpad|ALSA|libva|vaapi|"
                   r"bytes written to file|Written to file|headless_shell|DevTools|"
                   r"unexpected operator|D-Bus",
                   re.IGNORECASE)

failures = []


def check(ok, what):
    print(("ok:   " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def chromium(*args):
    exe = shutil.which("chromium") or shutil.which("chromium-browser")
    if not exe:
        sys.exit("FAIL: chromium is not installed (scripts/setup installs it)")
    cmd = [exe, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
           "--no-first-run", "--disable-background-networking", "--enable-logging=stderr",
           "--v=0", *args]
    return subprocess.run(cmd, capture_output=True, text=True, timeout=120)


def adif_hours(log_text):
    stamps = []
    for rec in re.split(r"<eor>", log_text, flags=re.I)[:-1]:
        date = re.search(r"<qso_date:8>(\d{8})", rec, re.I)
        time = re.search(r"<time_on:\d>(\d{4})", rec, re.I)
        if date and time:
            stamps.append(datetime.datetime.strptime(date.group(1) + time.group(1), "%Y%m%d%H%M"))
    first = min(stamps).replace(minute=0)
    return math.ceil((max(stamps) - first).total_seconds() / 3600)


def contest_hours(log_text):
    m = re.search(r"^CONTEST (\S+ \S+) (\S+ \S+)$", log_text, re.MULTILINE)
    start, end = (datetime.datetime.strptime(s, "%Y-%m-%d %H:%M") for s in m.groups())
    first = start.replace(minute=0)
    return math.ceil((end - first).total_seconds() / 3600)


def results_rows(text):
    rows = {}
    for line in text.splitlines():
        fields = line.replace("\r", "").split("\t")
        if len(fields) == 6 and fields[1].strip().isdigit():
            rows[fields[0]] = [int(f) for f in fields[1:]]
    score = re.search(r"Score: (\d+)\((\d+)\+(\d+)\) = (-?\d+)", text)
    return rows, [int(g) for g in score.groups()]


def page_totals(dom):
    head = re.search(r'<section id="band-hours".*?<thead>(.*?)</thead>', dom, re.S).group(1)
    bands = [re.sub(r"<[^>]*>", "", th).strip() for th in re.findall(r"<th>(.*?)</th>", head)]
    bands = bands[1:-2]  # between "UTC hour" and "QSOs", "Points"
    totals = {}
    for key in ("qsos", "points", "entities", "provinces"):
        row = re.search(r'<tr data-total="%s">(.*?)</tr>' % key, dom, re.S).group(1)
        totals[key] = [int(v) for v in re.findall(r"<td[^>]*>(\d+)</td>", row)]
    rows = {b: [totals[k][i] for k in ("qsos", "points", "entities", "provinces")]
            for i, b in enumerate(bands)}
    rows["Total"] = [totals[k][len(bands)] for k in ("qsos", "points", "entities", "provinces")]
    score = re.search(r'id="score"[^>]*>(.*?)</p>', dom, re.S).group(1)
    return rows, [int(n) for n in re.findall(r"<b>(-?\d+)</b>", score)]


def main():
    hostsim, log, artifacts = sys.argv[1:4]
    name = os.path.splitext(os.path.basename(log))[0]
    os.makedirs(artifacts, exist_ok=True)
    work = tempfile.mkdtemp(prefix="report-" + name + "-")
    page = os.path.join(work, "report.html")
    adif = log.lower().endswith(".adi")
    folder = ["--out", work] if adif else ["--workdir", work]
    run = subprocess.run([hostsim, "--quiet", *folder, "--report", page, log],
                         capture_output=True, text=True, timeout=120)
    check(run.returncode == 0 and os.path.exists(page), "%s: page written (%s)" % (name, page))
    if failures:
        print(run.stderr)
        return 1
    text = open(os.path.join(work, "results.txt"), encoding="latin-1").read()
    html = open(page, encoding="latin-1").read()
    check("<script" not in html and not re.search(r'(src|href)="(?!#)', html),
          name + ": no script and no external reference in the page")

    # The tool links the core for the page and loads the library for the results: its own
    # copy must stay private, or the library would bind to the tool's state.
    exported = subprocess.run(["nm", "-DC", "--defined-only", hostsim], capture_output=True,
                              text=True).stdout
    leaked = [l for l in exported.splitlines() if re.search(r"engine::|results::|State\(\)", l)]
    check(not leaked, name + ": the tool exports none of the core's symbols" + "".join(
        "\n  " + l for l in leaked[:5]))

    url = "file://" + page
    dump = chromium("--dump-dom", url)
    if dump.returncode != 0:
        # The browser itself failing to start (a busy machine) says nothing about the page.
        print("chromium exited with %d; once more:\n%s" % (dump.returncode, dump.stderr[-2000:]))
        dump = chromium("--dump-dom", url)
    dom = dump.stdout
    # The page's own messages are the console lines; the browser's errors about its machine
    # (no session bus, no GPU, a busy machine) are shown but say nothing about the page.
    chatter = [l for l in dump.stderr.splitlines() if ":CONSOLE" in l]
    for l in dump.stderr.splitlines():
        if "ERROR" in l and not NOISE.search(l):
            print("note: " + l)
    check(dump.returncode == 0 and not chatter,
          "%s: renders without a console message (chromium exit %d)" % (name, dump.returncode)
          + "".join("\n  " + l for l in chatter))

    log_text = open(log, encoding="latin-1").read()
    hours = adif_hours(log_text) if adif else contest_hours(log_text)
    groups = len(re.findall(r'<g class="hour"', dom))
    check(groups == hours, "%s: %d rate bar groups for %d contest hours" % (name, groups, hours))
    missing = [h for h in HEADINGS if "<h2>%s</h2>" % h not in dom]
    check(not missing, name + ": every section heading" + (" (missing %s)" % missing if missing else ""))

    want_rows, want_score = results_rows(text)
    rows, score = page_totals(dom)
    for band, numbers in want_rows.items():
        check(rows.get(band) == numbers[:4],
              "%s: %s QSOs, points, EADX100, Prov %s, results text %s"
              % (name, band, rows.get(band), numbers[:4]))
    check(set(rows) == set(want_rows), name + ": the same bands as the results text")
    check(score == want_score, "%s: score line %s, results text %s" % (name, score, want_score))

    png = os.path.join(artifacts, "report-%s.png" % name)
    pdf = os.path.join(artifacts, "report-%s.pdf" % name)
    for f in (png, pdf):
        if os.path.exists(f):
            os.remove(f)
    chromium("--window-size=1100,4400", "--screenshot=" + png, url)
    chromium("--no-pdf-header-footer", "--print-to-pdf=" + pdf, url)
    check(os.path.getsize(png) > 10000 if os.path.exists(png) else False, name + ": screenshot " + png)
    check(open(pdf, "rb").read(5) == b"%PDF-" if os.path.exists(pdf) else False, name + ": PDF print " + pdf)
    if not failures:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
