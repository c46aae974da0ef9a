#!/usr/bin/env python3
"""Medians, ratios and goals from one `make bench` run.

Reads the JSON that Google Benchmark wrote for each benchmark program and
the program measurement, and prints the tables BENCHMARKS.md quotes. Each
ratio divides two medians of the same run. Parsing and showing are compared
on CPU time (one thread, least disturbed by other work on a shared
machine); refreshing on wall time, since it is mostly waiting.
"""
import json
import os
import re
import sys


def medians(path):
    with open(path) as f:
        data = json.load(f)
    out = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"]
        scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[b["time_unit"]]
        out[name] = {"cpu": b["cpu_time"] * scale, "real": b["real_time"] * scale,
                     "counters": {k: v for k, v in b.items() if k.startswith("paints")}}
    return out, data.get("context", {})


def verdict(ok):
    return "met" if ok else "NOT met"


def parse_report(m):
    print("1. Parsing (CPU time, median, microseconds)")
    shapes = ["realistic", "tiny_cells", "long_preamble"]
    print(f"{'reply (64000 bytes)':<16}{'ParsePage':>11}{'front-cut':>11}{'libxml2 tree':>14}{'libxml2 SAX':>13}"
          f"{'x front-cut':>13}{'x tree':>9}{'x SAX':>8}")
    r = {}
    for s in shapes:
        p = m[f"ParsePage/{s}/64000"]["cpu"]
        f = m[f"FrontCut/{s}/64000"]["cpu"]
        t = m[f"LibXml2Tree/{s}/64000"]["cpu"]
        x = m[f"LibXml2Sax/{s}/64000"]["cpu"]
        r[s] = (f / p, t / p, x / p)
        print(f"{s:<16}{p:>11.1f}{f:>11.1f}{t:>14.1f}{x:>13.1f}{f / p:>12.1f}x{t / p:>8.1f}x{x / p:>7.1f}x")
    print("\nParsePage by reply size (ns per byte; flat = linear)")
    print(f"{'reply':<16}" + "".join(f"{n:>9}" for n in (8000, 16000, 32000, 64000)))
    lin = {}
    for s in shapes:
        per = [m[f"ParsePage/{s}/{n}"]["cpu"] * 1000 / n for n in (8000, 16000, 32000, 64000)]
        # Linear or better: the cost per byte must not grow with the size
        # (a table after a long preamble costs the same at every size, so
        # its cost per byte falls).
        lin[s] = per[-1] / per[0]
        print(f"{s:<16}" + "".join(f"{v:>9.2f}" for v in per))
    print("FrontCut by reply size, tiny cells (ns per byte)")
    per = [m[f"FrontCut/tiny_cells/{n}"]["cpu"] * 1000 / n for n in (8000, 16000, 32000, 64000)]
    print(f"{'tiny_cells':<16}" + "".join(f"{v:>9.2f}" for v in per))
    print("\nGoals:")
    print(f"  linear in the reply's size (ns/byte at 64000 at most 1.5x that at 8000): "
          f"{verdict(all(v <= 1.5 for v in lin.values()))} ({', '.join(f'{k} {v:.2f}x' for k, v in lin.items())})")
    print(f"  >= 20x faster than libxml2 on the realistic reply: {verdict(r['realistic'][1] >= 20)} "
          f"({r['realistic'][1]:.1f}x the tree reader; {r['realistic'][2]:.1f}x the SAX reader)")
    print(f"  >= 100x faster than front-cutting on the worst case: {verdict(r['tiny_cells'][0] >= 100)} "
          f"({r['tiny_cells'][0]:.1f}x)")


def view_report(m):
    print("\n2. Showing (CPU time, median, microseconds; each pass ends painted)")
    print(f"{'lines':>6}{'OnUpdate':>11}{'direct':>10}{'direct+empty paint':>20}{'ratio':>8}{'ratio (like-for-like)':>23}"
          f"{'paints':>8}{'direct paints':>15}")
    ok = True
    per_line = {}
    for n in (10, 300, 3000):
        o = m[f"OnUpdate/{n}"]
        d = m[f"DirectFill/{n}"]
        e = m[f"DirectFillPaintEmptied/{n}"]
        per_line[n] = o["cpu"] / n
        ok = ok and o["cpu"] <= 1.25 * d["cpu"]
        print(f"{n:>6}{o['cpu']:>11.0f}{d['cpu']:>10.0f}{e['cpu']:>20.0f}{o['cpu'] / d['cpu']:>7.2f}x"
              f"{o['cpu'] / e['cpu']:>22.2f}x{o['counters'].get('paints_per_pass', 0):>8.0f}"
              f"{d['counters'].get('paints_per_pass', 0):>15.0f}")
    print("\nGoals:")
    print(f"  at most 1.25x the direct fill: {verdict(ok)}")
    growth = per_line[3000] / per_line[300]
    print(f"  no quadratic step: {verdict(growth < 2)} (time per line at 3000 lines / at 300 lines = {growth:.2f})")


def refresh_report(m, text):
    print("\n3. Refreshing (wall time, median, microseconds; CPU time of this process beside it)")
    u = m["UpdateQuotes/50/real_time"]
    b = m["BareFetch/50/real_time"]
    print(f"UpdateQuotes {u['real']:.0f} (CPU {u['cpu']:.0f}); bare libcurl {b['real']:.0f} (CPU {b['cpu']:.0f}); "
          f"ratio {u['real'] / b['real']:.2f}x wall, {u['cpu'] / b['cpu']:.2f}x CPU")
    conn = re.search(r"^connections: .*$", text, re.M)
    if conn:
        print(conn.group(0))
    print("\nGoals:")
    print(f"  at most 1.3x the bare fetch: {verdict(u['real'] <= 1.3 * b['real'])}")
    c = re.search(r"UpdateQuotes (\d+) requests over (\d+) TCP", text)
    if c:
        print(f"  one TCP connection for the whole series: {verdict(int(c.group(2)) == 1)}"
              f" ({c.group(1)} requests, {c.group(2)} connections)")


def main():
    out = sys.argv[1]
    context = None
    parse, context = medians(os.path.join(out, "parse.json"))
    view, _ = medians(os.path.join(out, "view.json"))
    refresh, _ = medians(os.path.join(out, "refresh.json"))
    print(f"Machine: {context.get('num_cpus')} CPUs at {context.get('mhz_per_cpu')} MHz, "
          f"load average at start {', '.join(f'{x:.2f}' for x in context.get('load_avg', []))}")
    parse_report(parse)
    view_report(view)
    with open(os.path.join(out, "refresh.txt")) as f:
        refresh_report(refresh, f.read())
    print("\n4. The program")
    with open(os.path.join(out, "program.txt")) as f:
        print(f.read().rstrip())


if __name__ == "__main__":
    main()
