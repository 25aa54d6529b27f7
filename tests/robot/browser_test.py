#!/usr/bin/env python3
"""The robot in headless Chromium, driven by Selenium through chromedriver: an entrant
uploads a log through the form and reads the receipt, a damaged log shows its problems by
line, a log written to attack the pages stays text; the organiser is refused a wrong
password, logs in, runs the check, publishes; an entrant fetches its report and is refused
another's. Screenshots of the upload, receipt and organiser pages go to the artifacts folder.

Usage: browser_test.py STATS_ROBOT EXAMPLES_DIR WORK_DIR ARTIFACTS_DIR
"""
import os
import re
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from robot_util import PASSWORD, Robot, check, failures, post  # noqa: E402

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    sys.exit("FAIL: python3-selenium is not installed (scripts/setup installs it)")

DAMAGED = """START-OF-LOG: 3.0
CALLSIGN: EA5QQQ
CATEGORY-OPERATOR: SINGLE-OP
CATEGORY-MODE: CW
CATEGORY-POWER: ENORMOUS
CLAIMED-SCORE: 999
QSO: 14020 CW 2026-06-20 1300 EA5QQQ 599 M EA1ABC 599 BI
QSO: 14020 CW 2026-06-20 13 EA5QQQ 599 M
QSO: 14020 CW 2026-07-20 1300 EA5QQQ 599 M EA3ABC 599 B
QSO: 14020 SSB 2026-06-20 1310 EA5QQQ 59 M EA7ABC 59 SE
END-OF-LOG:
"""

HOSTILE = """START-OF-LOG: 3.0
CALLSIGN: EA2ZZZ
CATEGORY-OPERATOR: <img src=x onerror=alert(1)>
CLAIMED-SCORE: <script>document.title='owned'</script>
QSO: 14020 CW 2026-06-20 1300 EA2ZZZ 599 BI EA1ABC 599 <b>M</b>
END-OF-LOG:
"""


def driver_for(profile):
    o = webdriver.ChromeOptions()
    o.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--window-size=1100,1000", f"--user-data-dir={profile}"]:
        o.add_argument(flag)
    exe = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    return webdriver.Chrome(service=Service(exe), options=o)


def click(d, element_id):
    """Clicks a submit button and waits for the answer's page."""
    d.execute_script("window.beforeClick = true")
    d.find_element(By.ID, element_id).click()
    WebDriverWait(d, 60).until(lambda d: d.execute_script(
        "return document.readyState == 'complete' && !window.beforeClick"))


def text(d, css):
    found = d.find_elements(By.CSS_SELECTOR, css)
    return found[0].text if found else ""


def main():
    program, examples, work, artifacts = [os.path.abspath(a) for a in sys.argv[1:5]]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(artifacts, exist_ok=True)
    robot = Robot(program, os.path.join(work, "data"), "--contest-start", "2026-06-20 12:00")
    profile = tempfile.mkdtemp(prefix="stats-robot-chromium-")
    d = driver_for(profile)
    try:
        run(d, robot, examples, artifacts)
    finally:
        d.quit()
        robot.stop()
        shutil.rmtree(profile, ignore_errors=True)
    if failures:
        print(f"{len(failures)} failed")
        sys.exit(1)


def upload_file(d, url, path, email):
    d.get(url + "/")
    d.find_element(By.ID, "log").send_keys(path)
    d.find_element(By.ID, "email").send_keys(email)
    click(d, "send")


def run(d, robot, examples, artifacts):
    url = robot.url
    # An entrant uploads a Cabrillo file.
    d.get(url + "/")
    d.find_element(By.ID, "email").send_keys("dl9zzz@example.org")
    d.find_element(By.ID, "log").send_keys(os.path.join(examples, "score-dl-ssb.cbr"))
    d.save_screenshot(os.path.join(artifacts, "robot-upload.png"))
    click(d, "send")
    check(text(d, "#verdict").startswith("Accepted"), "the example log is accepted")
    check(text(d, "#call") == "DL9ZZZ", "the receipt names the call")
    check(text(d, "#score") == "32200", f"the plug-in's claimed score ({text(d, '#score')})")
    dl_code = text(d, "#receipt")
    check(re.fullmatch(r"[A-Z2-9]{4}-[A-Z2-9]{4}-[A-Z2-9]{4}", dl_code) is not None,
          f"a receipt code ({dl_code})")
    d.save_screenshot(os.path.join(artifacts, "robot-receipt.png"))

    # Another entrant, in ADIF.
    upload_file(d, url, os.path.join(examples, "score-ea-cw.adi"), "ea4zzz@example.org")
    check(text(d, "#call") == "EA4ZZZ" and text(d, "#verdict").startswith("Accepted"),
          "an ADIF log is accepted")
    ea_code = text(d, "#receipt")

    # A damaged log, pasted: refused for its category, every problem by line.
    d.get(url + "/")
    d.find_element(By.ID, "text").send_keys(DAMAGED)
    d.find_element(By.ID, "email").send_keys("ea5qqq@example.org")
    click(d, "send")
    check(text(d, "#verdict").startswith("Refused"), "a log with a wrong category is refused")
    rows = [r.text for r in d.find_elements(By.CSS_SELECTOR, "#problems tr")][1:]
    by_line = {r.split(" ", 1)[0]: r for r in rows}
    for line, what in [("5", "CATEGORY-POWER"), ("8", "damaged QSO line"),
                       ("9", "outside the contest period"), ("10", "mode SSB")]:
        check(what in by_line.get(line, ""), f"line {line}: {what} ({by_line.get(line)})")
    check(text(d, "#logscore") == "999", "the log's own CLAIMED-SCORE beside ours")
    d.save_screenshot(os.path.join(artifacts, "robot-damaged.png"))

    # A log written to attack the pages stays text on the receipt and the public list.
    d.get(url + "/")
    d.find_element(By.ID, "text").send_keys(HOSTILE)
    d.find_element(By.ID, "email").send_keys("ea2zzz@example.org")
    click(d, "send")
    check(d.title != "owned" and not d.find_elements(By.CSS_SELECTOR, "img"),
          "nothing of the log runs or renders as markup on the receipt")
    check("<script>" in text(d, "#logscore"), "the hostile claimed score is shown as text")
    check("<img src=x" in text(d, "#problems"), "the hostile category is named as text")

    # The public list: calls and categories, no e-mail address.
    d.get(url + "/received")
    page = d.page_source
    check(all(c in page for c in ["DL9ZZZ", "EA4ZZZ"]), "logs received lists the calls")
    check("EA5QQQ" not in page and "EA2ZZZ" not in page, "refused logs are not listed")
    check("@example.org" not in page, "no e-mail address on the public list")
    check(not d.find_elements(By.CSS_SELECTOR, "img"), "no markup from a log on the list")
    d.get(url + "/received?category=SINGLE-OP+SSB+ALL")
    rows = d.find_elements(By.CSS_SELECTOR, "#received tr")
    check(len(rows) == 2 and "DL9ZZZ" in rows[1].text, "the list filters by category")

    # The organiser: the pages need a login; a wrong password is refused and slows the next.
    d.get(url + "/organiser")
    check(d.current_url.endswith("/organiser/login"), "the organiser's page asks for a login")
    d.find_element(By.ID, "password").send_keys("not-the-password")
    click(d, "login")
    check("Wrong password" in text(d, "#error"), "a wrong password is refused")
    d.find_element(By.ID, "password").send_keys(PASSWORD)
    click(d, "login")
    check("wait" in text(d, "#error"), "an attempt right after a failure must wait")
    time.sleep(1.2)
    d.find_element(By.ID, "password").send_keys(PASSWORD)
    click(d, "login")
    check(d.current_url.endswith("/organiser"), "the right password opens the organiser's page")
    session = d.get_cookie("robot_session")
    check(session is not None and session.get("httpOnly") and session.get("sameSite") == "Strict",
          "the session cookie is HttpOnly and SameSite=Strict")
    logs = text(d, "#logs")
    check("DL9ZZZ" in logs and "EA4ZZZ" in logs, "the organiser sees the logs")
    d.save_screenshot(os.path.join(artifacts, "robot-organiser.png"))

    # A form without its token is refused, with the session cookie.
    cookie = "robot_session=" + session["value"]
    status, body = post(url + "/organiser/check", {}, cookie)
    check(status == 403 and "token" in body, f"a check without the form's token is refused ({status})")
    status, _ = post(url + "/organiser/check", {"csrf": "0" * 64}, cookie)
    check(status == 403, "a check with a wrong token is refused")

    # The history with the download of a log as it was sent.
    d.get(url + "/organiser/history?call=DL9ZZZ")
    check(len(d.find_elements(By.CSS_SELECTOR, "#history tr")) == 2, "the history of a call")

    # Run the check and follow its progress, then publish.
    d.get(url + "/organiser")
    click(d, "check")
    deadline = time.time() + 120
    while "Check done" not in text(d, "#status") and time.time() < deadline:
        time.sleep(0.5)
        d.get(url + "/organiser/check")
    check("Check done: 2 logs" in text(d, "#status"), f"the check ends ({text(d, '#status')})")
    d.save_screenshot(os.path.join(artifacts, "robot-check.png"))
    click(d, "publish")
    check("2 log-checking reports" in text(d, "#status"), "results and reports published")
    d.get(url + "/results")
    check("DL9ZZZ" in d.page_source and "EA4ZZZ" in d.page_source, "the results page is public")

    # An entrant fetches its report with its code, and is refused another's.
    d.delete_all_cookies()
    d.get(url + "/lcr")
    d.find_element(By.ID, "call").send_keys("dl9zzz")
    d.find_element(By.ID, "receipt").send_keys(dl_code.lower())
    click(d, "fetch")
    check("Log checking report for DL9ZZZ" in text(d, "#lcr"), "the entrant reads its report")
    d.get(url + "/lcr")
    d.find_element(By.ID, "call").send_keys("EA4ZZZ")
    d.find_element(By.ID, "receipt").send_keys(dl_code)
    click(d, "fetch")
    check("No report" in text(d, "#error") and not text(d, "#lcr"),
          "another entrant's report is refused with one's own code")
    d.get(url + "/lcr")
    d.find_element(By.ID, "call").send_keys("EA4ZZZ")
    d.find_element(By.ID, "receipt").send_keys(ea_code)
    click(d, "fetch")
    check("Log checking report for EA4ZZZ" in text(d, "#lcr"), "and the other reads its own")


if __name__ == "__main__":
    main()
