#!/usr/bin/env python3
"""The robot killed (SIGKILL) during a stream of uploads from several clients, then
restarted: every upload it acknowledged with a receipt is in its store, byte for byte.

Usage: kill_test.py STATS_ROBOT WORK_DIR
"""
import http.client
import os
import shutil
import sqlite3
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from robot_util import Robot, cabrillo, check, failures, receipt_of, upload  # noqa: E402

ROUNDS = 3
CLIENTS = 8


def main():
    program, work = sys.argv[1:3]
    shutil.rmtree(work, ignore_errors=True)
    data = os.path.join(work, "data")
    acknowledged = {}  # receipt -> bytes sent
    lock = threading.Lock()
    total_sent = 0
    for rnd in range(ROUNDS):
        robot = Robot(sys.argv[1], data)
        stop = threading.Event()
        sent = [0]

        def client(k):
            n = 0
            while not stop.is_set():
                call = f"EA{k % 9 + 1}R{chr(65 + rnd)}{chr(65 + n % 26)}"
                log = cabrillo(call, 40 + n % 30, seed=n)
                n += 1
                with lock:
                    sent[0] += 1
                try:
                    status, page = upload(robot.url, log, timeout=5)
                except (OSError, http.client.HTTPException):
                    continue  # the connection died with the robot: not acknowledged
                code = receipt_of(page)
                if status == 200 and code:
                    with lock:
                        acknowledged[code] = log

        threads = [threading.Thread(target=client, args=(k,)) for k in range(CLIENTS)]
        for t in threads:
            t.start()
        time.sleep(1.5 + rnd * 0.37)
        robot.kill()  # SIGKILL in the midst of the stream
        stop.set()
        for t in threads:
            t.join()
        total_sent += sent[0]
    # A restart opens the store as the kill left it.
    robot = Robot(program, data)
    robot.stop()
    db = sqlite3.connect(os.path.join(data, "robot.sqlite"))
    stored = dict(db.execute("SELECT receipt, bytes FROM uploads"))
    lost = [c for c in acknowledged if c not in stored]
    changed = [c for c in acknowledged if c in stored and bytes(stored[c]) != acknowledged[c]]
    print(f"uploads started: {total_sent}, acknowledged: {len(acknowledged)}, "
          f"in the store after {ROUNDS} kills: {len(stored)}")
    check(len(acknowledged) >= 50, f"a stream of uploads was acknowledged ({len(acknowledged)})")
    check(not lost, "every acknowledged upload survives the kills" +
          ("" if not lost else f": {len(lost)} lost, e.g. {lost[0]}"))
    check(not changed, "each is stored byte for byte as sent")
    check(db.execute("PRAGMA integrity_check").fetchone()[0] == "ok", "the store is intact")
    if failures:
        sys.exit(1)


if __name__ == "__main__":
    main()
