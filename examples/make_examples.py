#!/usr/bin/env python3
"""Writes the example contest logs of this folder. Deterministic: the same logs every run.

The logs are made up: random calls in realistic proportions (Spanish stations with their
provinces, a share of DX), times over the 24 hours of the contest, all six bands, and the
faults a real log has (dupes, a wrong band, a wrong mode, a missing number, a Spanish QSO
without a province, an edit).
"""
import random
import string

PROVINCES = ("A AB AL AV B BA BI BU C CA CC CE CO CR CS CU GC GI GR GU H HU IB J L LE LO LU "
             "M MA ML MU NA O OU P PO S SA SE SG SO SS T TE TF TO V VA VI Z ZA").split()
# Spanish entities and the provinces their stations send.
ISLANDS = {"EA6": ["IB"], "EA8": ["GC", "TF"], "EA9": ["CE", "ML"]}
DX = [("DL", "DL", 12), ("F", "F", 8), ("G", "G", 6), ("I", "I", 8), ("ON", "ON", 3),
      ("PA", "PA", 3), ("OK", "OK", 4), ("SP", "SP", 5), ("HA", "HA", 3), ("UA", "UA", 6),
      ("UA2", "UA2", 1), ("UR", "UR", 4), ("EU", "EW", 2), ("CT", "CT", 5), ("OH", "OH", 2),
      ("SM", "SM", 2), ("LA", "LA", 1), ("OZ", "OZ", 1), ("HB", "HB9", 2), ("OE", "OE", 2),
      ("S5", "S5", 2), ("9A", "9A", 2), ("YO", "YO", 2), ("LZ", "LZ", 2), ("SV", "SV", 1),
      ("K", "K", 4), ("VE", "VE", 2), ("JA", "JA", 1), ("VK", "VK", 1), ("PY", "PY", 2),
      ("LU", "LU", 1), ("ZS", "ZS", 1), ("4X", "4X", 1), ("CT3", "CT3", 1)]
BANDS = [("160m", 1810, 1838, 1843, 1880, 4), ("80m", 3505, 3560, 3610, 3790, 10),
         ("40m", 7002, 7038, 7060, 7190, 26), ("20m", 14005, 14060, 14160, 14340, 30),
         ("15m", 21005, 21060, 21160, 21440, 18), ("10m", 28005, 28060, 28320, 28690, 12)]


def call_for(rng, prefix_text):
    suffix = "".join(rng.choice(string.ascii_uppercase) for _ in range(rng.choice([2, 3, 3])))
    return prefix_text + suffix


def station(rng, spanish_share):
    """(call, entity, prefix text, province or None)."""
    if rng.random() < spanish_share:
        roll = rng.random()
        if roll < 0.06:
            entity = rng.choice(list(ISLANDS))
            prov = rng.choice(ISLANDS[entity])
            text = entity
        elif roll < 0.09:
            entity, prov, text = "EA", "SMR", "EA0"
        else:
            entity = "EA"
            prov = rng.choice([p for p in PROVINCES if p not in ("IB", "GC", "TF", "CE", "ML")])
            text = rng.choice(["EA1", "EA2", "EA3", "EA4", "EA5", "EA7", "EB1", "EC5", "EA4"])
        return call_for(rng, text), entity, text, prov
    entity, base, _ = rng.choices(DX, weights=[w for *_, w in DX])[0]
    digit = str(rng.randint(0, 9))
    text = base + ("" if base[-1].isdigit() else digit)
    return call_for(rng, text), entity, text, None


def write_log(path, own_call, own_entity, own_exch, mode, count, spanish_share, seed,
              specials):
    rng = random.Random(seed)
    start_minutes = 12 * 60  # 20 June 12:00 UTC
    times = sorted(rng.randrange(0, 24 * 60 * 60) for _ in range(count))
    serial = 0
    worked = []
    lines = []
    for i, t in enumerate(times):
        band = rng.choices(BANDS, weights=[b[5] for b in BANDS])[0]
        name, cw_lo, cw_hi, ph_lo, ph_hi, _ = band
        khz = rng.randint(cw_lo, cw_hi) if mode == "CW" else rng.randint(ph_lo, ph_hi)
        hz = khz * 1000 + rng.choice([0, 100, 500, 900])
        if worked and rng.random() < 0.012:
            # A dupe: the same station again on the same band and mode.
            call, entity, text, prov, name, hz = rng.choice(worked)
        else:
            call, entity, text, prov = station(rng, spanish_share)
            worked.append((call, entity, text, prov, name, hz))
        serial += 1
        sent = own_exch if own_exch else "%03d" % serial
        rcvd = prov if prov else "%03d" % rng.randint(1, 60 + i // 2)
        total = start_minutes * 60 + t
        day, rest = divmod(total, 86400)
        hh, rest = divmod(rest, 3600)
        mm, ss = divmod(rest, 60)
        stamp = "2026-06-%02d %02d:%02d:%02d" % (20 + day, hh, mm, ss)
        rst = "599" if mode == "CW" else "59"
        lines.append(["QSO", stamp, str(hz), mode, call, rst, sent, rst, rcvd, name, entity,
                      text])
    specials(rng, lines)
    with open(path, "w", newline="\n") as out:
        out.write("SOLSTICE-RACE-LOG 1\n")
        out.write("# Made-up example log, written by make_examples.py.\n")
        out.write("# QSO|DEL DATE TIME FREQ(Hz) MODE CALL RST-S EXCH-S RST-R EXCH-R BAND ENTITY "
                  "PREFIX  (- for an empty field)\n")
        out.write("STATION %s %s\n" % (own_call, own_entity))
        out.write("CONTEST 2026-06-20 12:00 2026-06-21 12:00\n")
        out.write("MODE %s\n" % mode)
        for fields in lines:
            if fields[0] == "#":
                out.write(" ".join(fields) + "\n")
                continue
            kind, stamp, *rest = fields
            out.write("%-3s %s %s\n" % (kind, stamp, " ".join(f if f else "-" for f in rest)))


def spanish_specials(rng, lines):
    # The faults a real log has, at places spread over the log.
    q = lines[40]
    lines.insert(41, ["#", "a", "QSO", "on", "a", "band", "outside", "the", "contest"])
    lines.insert(42, ["QSO", q[1], "24905000", "CW", "DL7XYZ", "599", q[6], "599", "045", "12m",
                      "DL", "DL7"])
    q = lines[90]
    lines.insert(91, ["#", "an", "SSB", "QSO", "in", "a", "CW", "log"])
    lines.insert(92, ["QSO", q[1], "7150000", "SSB", "F5XYZ", "59", q[6], "59", "031", "40m",
                      "F", "F5"])
    q = lines[140]
    lines.insert(141, ["#", "no", "number", "received"])
    lines.insert(142, ["QSO", q[1], "14030000", "CW", "OK1XYZ", "599", q[6], "599", "", "20m",
                       "OK", "OK1"])
    q = lines[180]
    lines.insert(181, ["#", "a", "Spanish", "station", "that", "sent", "a", "number"])
    lines.insert(182, ["QSO", q[1], "21030000", "CW", "EA7XYZ", "599", q[6], "599", "017",
                       "15m", "EA", "EA7"])
    at = next(i for i in range(230, len(lines)) if lines[i][10] == "EA" and lines[i][8] != "SMR")
    q = lines[at]
    lines.insert(at + 1, ["#", "an", "edit:", "the", "province", "was", "logged", "wrong"])
    lines.insert(at + 2, ["DEL"] + q[1:])
    fixed = list(q)
    fixed[8] = "ZA" if q[8] != "ZA" else "M"
    lines.insert(at + 3, fixed)
    lines.append(["#", "queries", "while", "the", "operator", "types"])


def dx_specials(rng, lines):
    q = lines[30]
    lines.insert(31, ["#", "a", "CW", "QSO", "in", "an", "SSB", "log"])
    lines.insert(32, ["QSO", q[1], "14030000", "CW", "EA3XYZ", "599", q[6], "599", "B", "20m",
                      "EA", "EA3"])
    q = lines[70]
    lines.insert(71, ["#", "a", "Spanish", "station", "that", "sent", "nothing", "useful"])
    lines.insert(72, ["QSO", q[1], "7120000", "SSB", "EA5XYZ", "59", q[6], "59", "XX", "40m",
                      "EA", "EA5"])
    q = lines[100]
    lines.insert(101, ["#", "an", "edit:", "the", "call", "was", "logged", "wrong"])
    lines.insert(102, ["DEL"] + q[1:])
    fixed = list(q)
    fixed[4] = q[4] + "X"
    lines.insert(103, fixed)


# Logs of other loggers for the scorer: ADIF and Cabrillo, with calls drawn from the
# super-check-partial file (real contest calls, so the entity mix is real).
SCP = "/usr/share/hamradio-files/MASTER.SCP"
SPANISH_DIGIT_PROVINCES = {"6": ["IB"], "8": ["GC", "TF"], "9": ["CE", "ML"]}


def scp_calls():
    with open(SCP) as f:
        calls = [line.strip() for line in f if line.strip() and not line.startswith("#")]
    spanish = [c for c in calls if c[:2] in ("EA", "EB", "EC", "ED", "EE", "EF", "EG", "EH")
               and c[2:3].isdigit() and "/" not in c]
    portable = [c for c in calls if "/" in c]
    other = [c for c in calls if c not in set(spanish) and "/" not in c]
    return sorted(spanish), sorted(other), sorted(portable)


def spanish_province(rng, call):
    mainland = [p for p in PROVINCES if p not in ("IB", "GC", "TF", "CE", "ML")]
    return rng.choice(SPANISH_DIGIT_PROVINCES.get(call[2], mainland))


def contest_qsos(rng, count, mode, spanish_share):
    """(seconds from the start, band, kHz, call, province or None) in time order."""
    spanish, other, portable = scp_calls()
    times = sorted(rng.randrange(0, 24 * 60 * 60) for _ in range(count))
    worked = []
    out = []
    for t in times:
        band = rng.choices(BANDS, weights=[b[5] for b in BANDS])[0]
        name, cw_lo, cw_hi, ph_lo, ph_hi, _ = band
        khz = rng.randint(cw_lo, cw_hi) if mode == "CW" else rng.randint(ph_lo, ph_hi)
        if worked and rng.random() < 0.015:
            call, prov, name, khz = rng.choice(worked)  # a dupe
        else:
            roll = rng.random()
            if roll < spanish_share:
                call = rng.choice(spanish)
                prov = spanish_province(rng, call)
            elif roll < spanish_share + 0.03:
                call, prov = rng.choice(portable), None
            else:
                call, prov = rng.choice(other), None
            worked.append((call, prov, name, khz))
        out.append((t, name, khz, call, prov))
    return out


def stamp(seconds):
    day, rest = divmod(12 * 3600 + seconds, 86400)
    hh, rest = divmod(rest, 3600)
    mm, ss = divmod(rest, 60)
    return "202606%02d" % (20 + day), "%02d%02d%02d" % (hh, mm, ss)


def adif_field(name, value):
    return "<%s:%d>%s" % (name, len(value.encode()), value)


def write_adif(path, own_call, own_exch, count, seed):
    rng = random.Random(seed)
    qsos = contest_qsos(rng, count, "CW", 0.5)
    # The faults of a real log, and the portable forms the rules must handle.
    extra = [(qsos[40][0], "12m", 24905, "DL7ABC", None), (qsos[90][0], "40m", 7074, "F5ABC", None),
             (qsos[140][0], "20m", 14030, "OK1ABC", ""), (qsos[180][0], "15m", 21030, "EA7ABC", None),
             (qsos[200][0], "20m", 14021, "EA8/DL1ABC", "TF"), (qsos[210][0], "40m", 7021, "G4ABC/MM", None),
             (qsos[220][0], "80m", 3521, "K1ABC/4", None), (qsos[230][0], "20m", 14041, "DL1ABC/QRP", None)]
    qsos = sorted(qsos + extra, key=lambda q: q[0])
    # Loggers export in the order the QSOs were typed in: two late entries.
    qsos.insert(60, qsos.pop(250))
    lines = ["Made-up SOLSTICE RACE log of %s, written by make_examples.py\r\n" % own_call,
             "Calls from MASTER.SCP.\r\n", adif_field("ADIF_VER", "3.1.4") + " ",
             adif_field("PROGRAMID", "SomeLogger") + "\r\n<EOH>\r\n"]
    serial = 0
    for i, (t, band, khz, call, prov) in enumerate(qsos):
        serial += 1
        date, time = stamp(t)
        mhz = "%d.%0*d" % (khz // 1000, 3 + i % 4, (khz % 1000) * 10 ** (i % 4))
        mode = "FT8" if khz == 7074 else "CW"
        f = [("CALL", call), ("QSO_DATE", date), ("TIME_ON", time if i % 2 else time[:4]),
             ("FREQ", mhz), ("MODE", mode), ("RST_SENT", "599"), ("RST_RCVD", "599")]
        if i % 3:
            f.append(("BAND", band.upper() if i % 5 == 0 else band))
        f.append(("STX_STRING", own_exch) if i % 2 else ("MY_STATE", own_exch))
        if prov == "":
            pass  # nothing received
        elif prov:
            f.append(("STATE", prov) if i % 2 else ("SRX_STRING", prov.lower() if i % 7 == 0 else prov))
        elif call == "EA7ABC":
            f.append(("SRX", "17"))
        else:
            n = rng.randint(1, 60 + i // 2)
            f.append(("SRX", str(n)) if i % 2 else ("SRX_STRING", "%03d" % n))
        f += [("STATION_CALLSIGN", own_call), ("APP_SOMELOGGER_RUN", "1" if i % 4 else "0")]
        rng.shuffle(f)
        text = "".join(adif_field(k.lower() if i % 6 == 0 else k, v) for k, v in f)
        lines.append(text + ("<eor>" if i % 6 == 0 else "<EOR>") + "\r\n")
    with open(path, "w", newline="") as out:
        out.writelines(lines)


def write_cabrillo(path, own_call, count, seed):
    rng = random.Random(seed)
    qsos = contest_qsos(rng, count, "SSB", 0.45)
    lines = ["START-OF-LOG: 3.0", "CONTEST: SOLSTICE-RACE", "CALLSIGN: " + own_call,
             "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-BAND: ALL", "CATEGORY-MODE: SSB",
             "CREATED-BY: SomeLogger 5.0", "NAME: Made-up log, calls from MASTER.SCP"]
    for i, (t, band, khz, call, prov) in enumerate(qsos):
        date, time = stamp(t)
        date = "%s-%s-%s" % (date[:4], date[4:6], date[6:])
        mode = "PH"
        if i == 30:
            khz, mode = 14030, "CW"  # a CW QSO in an SSB log
        rcvd = prov if prov else "%03d" % rng.randint(1, 40 + i // 2)
        if i == 70 and prov:
            rcvd = "XX"
        tag = "X-QSO:" if i == 50 else "QSO:"
        lines.append("%s %5d %s %s %s %-13s %-3s %-6s %-13s %-3s %s" % (
            tag, khz, mode, date, time[:4], own_call, "59", "%03d" % (i + 1), call, "59", rcvd))
    lines.append("END-OF-LOG:")
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    write_log("spain-cw.log", "EA4ZZZ", "EA", "M", "CW", 320, 0.5, 2026, spanish_specials)
    write_log("dx-ssb.log", "DL9ZZZ", "DL", "", "SSB", 160, 0.45, 620, dx_specials)
    with open("spain-cw.log", "a", newline="\n") as out:
        out.write("CHECK EA0ZZA CW 20m EA EA0\n")
        out.write("CHECK EA0ZZA CW 160m EA EA0\n")
        out.write("CHECK EA2NIM CW 20m EA EA2\n")
        out.write("CHECK VK2ZZZ CW 10m VK VK2\n")
        out.write("CHECK DL1ZZZ CW 20m DL DL1\n")
        out.write("CHECK DL1ZZZ CW 12m DL DL1\n")
        out.write("EXCH m EA\n")
        out.write("EXCH 599 DL\n")
        out.write("EXCH SMR EA\n")
    write_adif("score-ea-cw.adi", "EA4ZZZ", "M", 300, 2027)
    write_cabrillo("score-dl-ssb.cbr", "DL9ZZZ", 150, 621)
