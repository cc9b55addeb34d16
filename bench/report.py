#!/usr/bin/env python3
"""Turns the result lines of the benchmark programs into tables (Markdown,
printed and written to a file) and one chart (SVG, written by hand): frame
cost against the number of windows, and completion lateness per FPS.

    report.py RESULTS.tsv MACHINE.txt OUT_DIR

Each result line is "section<TAB>name=value<TAB>...".
"""
import math
import sys
from pathlib import Path

FRAME_GOALS = {1000: 1.05, 10: 1.25}  # the largest median ratio allowed


def read_results(path):
    sections = {}
    for line in Path(path).read_text().splitlines():
        fields = line.strip().split("\t")
        if len(fields) < 2 or "=" not in fields[1]:
            continue
        values = {}
        for field in fields[1:]:
            name, _, value = field.partition("=")
            try:
                values[name] = float(value)
            except ValueError:
                values[name] = value
        sections.setdefault(fields[0], []).append(values)
    return sections


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(cell) for cell in row) + " |" for row in rows]
    return "\n".join(lines)


def verdict(met):
    return "met" if met else "**missed**"


def frame_cost_table(rows):
    body = []
    for r in rows:
        n = int(r["n"])
        goal = FRAME_GOALS.get(n)
        body.append([
            r["variant"], n, int(r["calls_per_frame"]),
            f'{r["tick_us_median"]:.0f}', f'{r["baseline_us_median"]:.0f}',
            f'{r["ratio_median"]:.3f}', f'{r["ratio_q1"]:.3f}–{r["ratio_q3"]:.3f}',
            f'{r["ratio_min"]:.2f}–{r["ratio_max"]:.2f}', int(r["ratio_count"]),
            f'{r["own_ns_per_window_median"]:.0f}', int(r["allocations_per_frame"]),
            f"≤ {goal}: {verdict(r['ratio_median'] <= goal)}" if goal else "",
        ])
    return table(["variant", "N", "calls/frame", "tick µs", "baseline µs", "ratio", "ratio IQR", "ratio range",
                  "rounds", "own ns/window", "allocs/frame", "goal"], body)


def delivered_period_ms(r):
    """The period the timer really has: what it delivers to an empty handler."""
    return 1000 / r["empty_rate_median"]


def lateness(r, key):
    """Lateness in ms, then in periods as set and as delivered."""
    ms = r[f"late_ms_{key}"]
    return f'{ms:.1f} ({ms / r["period_ms"]:.2f} / {ms / delivered_period_ms(r):.2f})'


def timing_table(rows):
    body = []
    for r in rows:
        period = delivered_period_ms(r)
        met = (r["late_ms_median"] <= period and r["late_ms_max"] <= 2 * period
               and abs(r["rate_vs_empty"] - 1) <= 0.05)
        body.append([
            int(r["fps"]), f'{int(r["period_ms"])} / {period:.1f}', f'{r["nominal_rate"]:.1f}',
            f'{r["rate_median"]:.1f}', f'{r["empty_rate_median"]:.1f}', f'{r["rate_vs_empty"]:.3f}',
            lateness(r, "median"), lateness(r, "max"), int(r["late_ms_count"]), int(r["failed_runs"]), verdict(met),
        ])
    return table(["FPS", "period ms (set / delivered)", "nominal /s", "moves /s", "empty timer /s", "moves ÷ empty",
                  "lateness median ms (periods set / delivered)", "worst ms (periods)", "runs", "failed", "goals"],
                 body)


def scale_table(rows, unit, names):
    body = [[int(r["count"])] + [f'{r[name + "_median"]:.{2 if unit == "µs" else 0}f}' for name in names]
            for r in rows]
    return table(["running"] + [f"{name.split('_')[0]} {unit}" for name in names], body)


def idle_table(rows):
    body = [[r["state"], f'{r["seconds"]:.0f}', int(r["timer_messages"]), int(r["timer_window_messages"]),
             f'{r["cpu_ms"]:.0f}', f'{r["thread_cpu_ms"]:.0f}'] for r in rows]
    return table(["state", "seconds", "WM_TIMER", "to the timer window", "process CPU ms", "host thread CPU ms"],
                 body)


def report(sections, machine):
    parts = ["## Machine", "", "```", machine.strip(), "```", ""]
    if "frame_cost" in sections:
        parts += ["## Frame cost (tick ÷ the same calls made bare)", "", frame_cost_table(sections["frame_cost"]), ""]
    if "timing" in sections:
        parts += ["## Timing on the real timer (1000 ms motion)", "", timing_table(sections["timing"]), ""]
    if "action_scale" in sections:
        parts += ["## Scale through the actions (median per operation)", "",
                  scale_table(sections["action_scale"], "µs", ["start_us", "find_us", "stop_us"]), ""]
    if "registry_scale" in sections:
        parts += ["## The registry alone (median per operation)", "",
                  scale_table(sections["registry_scale"], "ns", ["add_ns", "find_ns", "remove_ns"]), ""]
    for memory in sections.get("memory", []):
        parts += [f'Memory per running animation: {memory["bytes_per_animation"]:.0f} bytes of private memory '
                  f'({int(memory["animations"])} animations; the record itself is {int(memory["record_bytes"])} '
                  f'bytes); {memory["returned_bytes_per_animation"]:.0f} bytes per animation returned after '
                  "stopping them all.", ""]
    if "idle" in sections:
        parts += ["## Idle", "", idle_table(sections["idle"]), ""]
    for error in sections.get("error", []):
        parts += [f'Error: {error["what"]}', ""]
    return "\n".join(parts)


class Svg:
    def __init__(self, width, height):
        self.items = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
                      f'font-family="sans-serif" font-size="12">',
                      f'<rect width="{width}" height="{height}" fill="white"/>']

    def line(self, x1, y1, x2, y2, colour="#888", width=1, dash=""):
        dashes = f' stroke-dasharray="{dash}"' if dash else ""
        self.items.append(f'<line x1="{x1:.1f}" y1="{y1:.1f}" x2="{x2:.1f}" y2="{y2:.1f}" stroke="{colour}" '
                          f'stroke-width="{width}"{dashes}/>')

    def polyline(self, points, colour, dash=""):
        dashes = f' stroke-dasharray="{dash}"' if dash else ""
        text = " ".join(f"{x:.1f},{y:.1f}" for x, y in points)
        self.items.append(f'<polyline points="{text}" fill="none" stroke="{colour}" stroke-width="2"{dashes}/>')
        for x, y in points:
            self.items.append(f'<circle cx="{x:.1f}" cy="{y:.1f}" r="3" fill="{colour}"/>')

    def rect(self, x, y, width, height, colour):
        self.items.append(f'<rect x="{x:.1f}" y="{y:.1f}" width="{width:.1f}" height="{height:.1f}" '
                          f'fill="{colour}"/>')

    def text(self, x, y, words, anchor="middle", size=12, weight="normal"):
        words = words.replace("&", "&amp;").replace("<", "&lt;")
        self.items.append(f'<text x="{x:.1f}" y="{y:.1f}" text-anchor="{anchor}" font-size="{size}" '
                          f'font-weight="{weight}">{words}</text>')

    def write(self, path):
        Path(path).write_text("\n".join(self.items + ["</svg>"]) + "\n")


COLOURS = {"line": "#1f77b4", "effects": "#d62728"}


def duration_label(microseconds):
    for unit, size in (("s", 1e6), ("ms", 1e3)):
        if microseconds >= size:
            return f"{microseconds / size:g} {unit}"
    return f"{microseconds:g} µs"


def frame_cost_panel(svg, rows, left, top, width, height):
    """Log-log: median frame time against N, tick solid, baseline dashed."""
    svg.text(left + width / 2, top - 24, "Frame cost: one tick against the bare calls", size=14, weight="bold")
    times = [r[k] for r in rows for k in ("tick_us_median", "baseline_us_median")]
    low, high = math.floor(math.log10(min(times))), math.ceil(math.log10(max(times)))
    x_of = lambda n: left + width * math.log10(n) / 3
    y_of = lambda us: top + height - height * (math.log10(us) - low) / (high - low)
    for n in (1, 10, 100, 1000):
        svg.line(x_of(n), top, x_of(n), top + height, "#ddd")
        svg.text(x_of(n), top + height + 16, f"N = {n}")
    for power in range(low, high + 1):
        svg.line(left, y_of(10 ** power), left + width, y_of(10 ** power), "#ddd")
        svg.text(left - 6, y_of(10 ** power) + 4, duration_label(10 ** power), anchor="end")
    for variant, colour in COLOURS.items():
        mine = sorted((r for r in rows if r["variant"] == variant), key=lambda r: r["n"])
        if not mine:
            continue
        svg.polyline([(x_of(r["n"]), y_of(r["baseline_us_median"])) for r in mine], colour, dash="5,4")
        svg.polyline([(x_of(r["n"]), y_of(r["tick_us_median"])) for r in mine], colour)
        for r in mine:
            below = 18 if variant == "line" else -10
            svg.text(x_of(r["n"]) + 4, y_of(r["tick_us_median"]) + below, f'×{r["ratio_median"]:.3f}', "start", 11)
    legend_y = top + 14
    for i, (variant, colour) in enumerate(COLOURS.items()):
        svg.line(left + 10, legend_y + 18 * i, left + 40, legend_y + 18 * i, colour, 2)
        svg.text(left + 46, legend_y + 18 * i + 4, f"{variant}: tick (solid), baseline (dashed)", "start", 11)
    svg.text(left + width / 2, top + height + 34, "median time per frame (log scales); labels: median ratio", size=11)


def lateness_panel(svg, rows, left, top, width, height):
    """Bars: median and worst lateness in timer periods, goal lines at 1 and 2."""
    svg.text(left + width / 2, top - 24, "Completion lateness on the real timer", size=14, weight="bold")
    top_value = max(2.5, max(r["late_ms_max"] / delivered_period_ms(r) for r in rows) * 1.1)
    y_of = lambda periods: top + height - height * periods / top_value
    svg.line(left, top + height, left + width, top + height, "#444")
    for goal, label in ((1, "median goal: 1 period"), (2, "worst goal: 2 periods")):
        svg.line(left, y_of(goal), left + width, y_of(goal), "#2ca02c", 1, "6,4")
        svg.text(left + width, y_of(goal) - 4, label, "end", 11)
    slot = width / len(rows)
    for i, r in enumerate(sorted(rows, key=lambda r: r["fps"])):
        x = left + slot * i + slot * 0.15
        bar = slot * 0.33
        for j, (key, colour) in enumerate((("median", "#1f77b4"), ("max", "#ff7f0e"))):
            ms = r[f"late_ms_{key}"]
            periods = ms / delivered_period_ms(r)
            svg.rect(x + j * bar, y_of(periods), bar - 2, top + height - y_of(periods), colour)
            svg.text(x + j * bar + bar / 2, y_of(periods) - 4, f"{ms:.1f} ms", size=10)
        svg.text(left + slot * i + slot / 2, top + height + 16, f'{int(r["fps"])} FPS ({delivered_period_ms(r):.0f} ms)')
    svg.rect(left + 10, top + 6, 12, 12, "#1f77b4")
    svg.text(left + 26, top + 16, "median", "start", 11)
    svg.rect(left + 80, top + 6, 12, 12, "#ff7f0e")
    svg.text(left + 96, top + 16, "worst", "start", 11)
    svg.text(left + width / 2, top + height + 34, "bar height in periods the timer delivers; labels in milliseconds", size=11)


def chart(sections, path):
    svg = Svg(1100, 440)
    if "frame_cost" in sections:
        frame_cost_panel(svg, sections["frame_cost"], 90, 60, 420, 320)
    if "timing" in sections:
        lateness_panel(svg, sections["timing"], 620, 60, 440, 320)
    svg.write(path)


def main():
    results, machine, out = sys.argv[1:4]
    sections = read_results(results)
    text = report(sections, Path(machine).read_text())
    Path(out, "report.md").write_text(text + "\n")
    chart(sections, Path(out, "performance.svg"))
    print(text)


if __name__ == "__main__":
    main()
