#!/usr/bin/env python3
"""The checker's results page of a simulated contest, opened in headless Chromium.

Simulates a small contest, checks it with stats-check (one file in the folder is no log, so
the run must end with 3 and name it), then checks in the browser that the page renders
without a console message, carries every section, and that each entrant's row holds the
checked and claimed score of results.csv. Leaves a PNG screenshot in the artifacts folder.

Usage: check_results_page.py STATS_SIMULATE STATS_CHECK ARTIFACTS_DIR
"""
import csv
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_report import NOISE, check, chromium, failures  # noqa: E402

SECTIONS = ["Results by category", "Spanish provinces", "Clubs", "Claimed and checked scores",
            "Soapbox"]


def main():
    simulate, checker, artifacts = sys.argv[1:4]
    os.makedirs(artifacts, exist_ok=True)
    work = tempfile.mkdtemp(prefix="stats-results-page-")
    try:
        subprocess.run([simulate, "--entrants", "40", "--seed", "8", "--out", work], check=True,
                       capture_output=True)
        with open(os.path.join(work, "logs", "notes.txt"), "w") as f:
            f.write("not a log\n")
        out = os.path.join(work, "out")
        run = subprocess.run([checker, os.path.join(work, "logs"), "--out", out],
                             capture_output=True, text=True)
        check(run.returncode == 3, f"a folder with one file that is no log ends with 3 ({run.returncode})")
        check("notes.txt" in run.stderr, "the file that is no log is named")
        with open(os.path.join(out, "results.csv")) as f:
            rows = list(csv.DictReader(f))
        check(len(rows) == 40, f"results.csv has the 40 entrants ({len(rows)})")
        page = "file://" + os.path.join(out, "results.html")
        dom = chromium("--dump-dom", page)
        noise = [l for l in dom.stderr.splitlines() if l.strip() and not NOISE.search(l)]
        check(not noise, "no console message" + ("" if not noise else ": " + noise[0]))
        text = html.unescape(dom.stdout)
        for s in SECTIONS:
            check(f">{s}<" in text, f"section '{s}'")
        table_rows = re.findall(r"<tr><td>\d+</td><td class=\"?c\"?>([^<]+)</td>(.*?)</tr>", text)
        shown = {}
        for call, rest in table_rows:
            cells = re.findall(r"<td[^>]*>([^<]*)</td>", rest)
            shown[call] = cells
        check(len(shown) == 40, f"every entrant in the category tables ({len(shown)})")
        wrong = [r["call"] for r in rows
                 if shown.get(r["call"], [""] * 9)[5] != r["score"] or shown[r["call"]][6] != r["claimed_score"]]
        check(not wrong, "each row's checked and claimed score equal results.csv" +
              ("" if not wrong else ": " + ", ".join(wrong[:3])))
        shot = os.path.join(artifacts, "results-page.png")
        chromium("--window-size=1000,1400", "--screenshot=" + shot, page)
        check(os.path.exists(shot), "screenshot " + shot)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"results page: {len(failures)} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
