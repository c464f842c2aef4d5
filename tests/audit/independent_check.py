#!/usr/bin/env python3
"""Replays the rafo-2 draws of an event's journal, written from docs/audit.md alone.

Usage: python3 independent_check.py EVENT_FOLDER
Prints one JSON object; exit 0 when every rafo-2 draw checks out, 1 when one does not, 2 on misuse.
"""
import hashlib
import json
import os
import sys

TWO64 = 1 << 64


def sha(data):
    return hashlib.sha256(data).digest()


def is_hex64(v):
    return isinstance(v, str) and len(v) == 64 and all(c in "0123456789abcdef" for c in v)


def is_int(v):
    return isinstance(v, int) and not isinstance(v, bool)


def pick(seed, start, names, count):
    """Draws count names without putting back, from word number start; returns winners, positions, words used."""
    pool, winners, positions, n = list(names), [], [], start
    for _ in range(min(count, len(pool))):
        m = len(pool)
        limit = TWO64 - TWO64 % m
        while True:
            j, i = divmod(n, 4)
            n += 1
            w = int.from_bytes(sha(seed + j.to_bytes(8, "little"))[8 * i:8 * i + 8], "little")
            if w < limit:
                break
        positions.append(w % m)
        winners.append(pool.pop(w % m))
    return winners, positions, n - start


def kept_list(folder, a_hex, admitted, probs):
    path = os.path.join(folder, "Journal", "participants-%s.txt" % a_hex[:16])
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        probs.append("kept list %s missing" % os.path.basename(path))
        return None
    if sha(data).hex() != a_hex:
        probs.append("kept list %s does not hash to admittedSha256" % os.path.basename(path))
        return None
    try:
        names = data.decode("utf-8").split("\n")[:-1]
    except UnicodeDecodeError:
        probs.append("kept list %s is not UTF-8" % os.path.basename(path))
        return None
    if len(names) != admitted:
        probs.append("kept list holds %d names, admitted says %s" % (len(names), admitted))
    return names


def recorded_winners(o):
    w = o.get("winners", [o["winner"]] if isinstance(o.get("winner"), str) else [])
    return w if isinstance(w, list) else []


def compare(o, winners, positions, words, probs):
    if recorded_winners(o) != winners:
        probs.append("winners replay as %s" % json.dumps(winners, ensure_ascii=False))
    if "positions" in o and o["positions"] != positions:
        probs.append("positions replay as %s" % positions)
    if o.get("words") != words:
        probs.append("words replay as %d, line says %s" % (words, o.get("words")))


def check_stop(folder, n, o, commits, used, stops):
    probs = []
    for key in ("commitment", "secret", "seed", "admittedSha256"):
        if not is_hex64(o.get(key)):
            probs.append("%s is not 64 lower-case hex digits" % key)
    if probs:
        return probs
    same = [(ln, c) for ln, c in commits if c.get("commitment") == o["commitment"]]
    earlier = [x for x in same if x[0] < n]
    if not earlier:
        return ["commit line written after its stop" if same else "no commit line with this commitment"]
    cline, c = earlier[-1]
    if o["commitment"] in used:
        probs.append("commitment already drawn at line %d" % used[o["commitment"]])
    used[o["commitment"]] = n
    k, admitted = c.get("prize"), c.get("admitted")
    if not (is_int(k) and 0 <= k < 1 << 32 and is_int(admitted)):
        return probs + ["commit line %d has a bad prize or admitted" % cline]
    for key in ("prize", "admitted", "admittedSha256"):
        if o.get(key) != c.get(key):
            probs.append("%s differs from commit line %d" % (key, cline))
    s, a = bytes.fromhex(o["secret"]), bytes.fromhex(o["admittedSha256"])
    if sha(b"rafo-2 commit\n" + s + a + k.to_bytes(4, "little")).hex() != o["commitment"]:
        probs.append("secret does not match the commitment")
    d = o.get("digits")
    if not (isinstance(d, str) and 12 <= len(d) <= 64 and all(ch in "0123456789" for ch in d)):
        return probs + ["digits are not 12 to 64 ASCII digits"]
    seed = sha(b"rafo-2 seed\n" + bytes.fromhex(o["commitment"]) + s + d.encode("ascii"))
    if seed.hex() != o["seed"]:
        probs.append("seed does not follow from commitment, secret and digits")
    names = kept_list(folder, o["admittedSha256"], admitted, probs)
    if names is None:
        return probs
    count = o.get("winnerCount", len(recorded_winners(o)))
    if not is_int(count) or count < 0:
        return probs + ["winnerCount is not a count"]
    winners, positions, words = pick(seed, 0, names, count)
    compare(o, winners, positions, words, probs)
    # Replacements continue from the words the stop really used, under the seed it recorded.
    stops[o["seed"]] = {"line": n, "prize": k, "names": names, "seed": seed, "used": words}
    return probs


def check_replace(n, o, stops, removed):
    if not isinstance(o.get("seed"), str) or o["seed"] not in stops:
        return ["seed is no earlier rafo-2 stop's"]
    st = stops[o["seed"]]
    if st is None:
        return ["its stop could not be replayed"]
    probs = []
    if o.get("prize", st["prize"]) != st["prize"]:
        probs.append("prize differs from stop line %d" % st["line"])
    if o.get("word") != st["used"]:
        probs.append("word should be %d" % st["used"])
    left, cands = dict(removed), []
    for name in st["names"]:
        if left.get(name, 0) > 0:
            left[name] -= 1
        else:
            cands.append(name)
    if "admitted" in o and o["admitted"] != len(cands):
        probs.append("admitted should be %d" % len(cands))
    winners, positions, words = pick(st["seed"], st["used"], cands, max(1, len(recorded_winners(o))))
    compare(o, winners, positions, words, probs)
    st["used"] += words
    return probs


def tally(counts, names):
    for x in names:
        if isinstance(x, list):
            tally(counts, x)
        elif isinstance(x, str):
            counts[x] = counts.get(x, 0) + 1


def main(argv):
    if len(argv) != 2:
        print("usage: independent_check.py EVENT_FOLDER", file=sys.stderr)
        return 2
    folder = argv[1]
    try:
        with open(os.path.join(folder, "Journal", "journal.jsonl"), "rb") as f:
            text = f.read().decode("utf-8")
    except (OSError, UnicodeDecodeError) as e:
        print("cannot read the journal: %s" % e, file=sys.stderr)
        return 2
    lines = []
    for n, raw in enumerate(text.split("\n"), 1):
        try:
            o = json.loads(raw) if raw else None
        except ValueError:
            o = None
        if isinstance(o, dict):
            lines.append((n, o))
        elif raw:
            print("line %d is not a JSON object" % n, file=sys.stderr)
    commits = [(n, o) for n, o in lines if o.get("type") == "commit"]
    draws, stops, used = [], {}, {}
    since_reset, since_start, start = {}, {}, {}
    for n, o in lines:
        t = o.get("type")
        if t == "start":
            start, since_start = o, {}
            if o.get("reason") != "launch":
                since_reset = {}
        if t not in ("stop", "replace"):
            continue
        if o.get("rule") == "rafo-2":
            if t == "stop":
                if isinstance(o.get("seed"), str):
                    stops.setdefault(o["seed"], None)
                probs = check_stop(folder, n, o, commits, used, stops)
            else:
                # Winners a launch brings back are the journal's own earlier wins: count each once.
                listed = {}
                tally(listed, [start.get("restored", [])])
                removed = {x: max(since_reset.get(x, 0), listed.get(x, 0) + since_start.get(x, 0))
                           for x in set(since_reset) | set(listed)}
                tally(removed, [start.get("absent", []), start.get("withdrawn", [])])
                probs = check_replace(n, o, stops, removed)
            draws.append({"line": n, "type": t, "prize": o.get("prize"), "winners": recorded_winners(o),
                          "ok": not probs, "problem": "; ".join(probs)})
        tally(since_reset, recorded_winners(o))
        tally(since_start, recorded_winners(o))
    stopped = [(n, o.get("commitment")) for n, o in lines
               if o.get("type") == "stop" and o.get("rule") == "rafo-2"]
    abandoned = [{"line": n, "prize": c.get("prize"), "commitment": c.get("commitment"), "time": c.get("time")}
                 for n, c in commits if not any(sn > n and sc == c.get("commitment") for sn, sc in stopped)]
    print(json.dumps({"draws": draws, "abandoned": abandoned}, ensure_ascii=False))
    return 0 if all(d["ok"] for d in draws) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
