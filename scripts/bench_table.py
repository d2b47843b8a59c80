#!/usr/bin/env python3
"""Runs the Release benchmarks of BUILD and prints one table. Usage: bench_table.py BUILD

Display figures come from an Xvfb started here on a free display (one per screen size) and
killed afterwards; without Xvfb the DISPLAY given is used, and without either those rows say
"skipped" with the reason. Nothing is estimated: a figure is shown only when it was measured.
"""
import json
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import time

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/release")
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH = os.path.join(BUILD, "bench")
SIZES = ["1280x1024", "1920x1080"]
rows = []  # (section, what, figure)


def row(section, what, figure):
    rows.append((section, what, figure))
    print(f"  {section}: {what}: {figure}", file=sys.stderr, flush=True)


def run(cmd, env=None, timeout=1800):
    return subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=timeout)


def bench_json(cmd, env=None):
    r = run(cmd + ["--benchmark_format=json"], env=env)
    if r.returncode != 0 or not r.stdout.strip():
        said = (r.stderr or r.stdout).strip().splitlines()
        raise RuntimeError(f"{os.path.basename(cmd[0])} exited with {r.returncode}: "
                           f"{said[-1] if said else 'no output'}")
    return json.loads(r.stdout), r.stderr


# --- CPU per pass -------------------------------------------------------------------------------
def passes():
    print("playfield_bench (a few minutes)...", file=sys.stderr, flush=True)
    data, _ = bench_json([os.path.join(BENCH, "playfield_bench"),
                          "--benchmark_filter=^(Mode/[^/]+/1/|Fill/|PlayingPass/FIN)",
                          "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
                          "--benchmark_min_time=0.3"])
    med = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            med[b["run_name"].split("/repeats:")[0]] = b
    for size in SIZES:
        for name in sorted(n for n in med if n.startswith("Mode/") and n.endswith("/1/" + size)):
            b = med[name]
            mode = name.split("/")[1]
            row(f"pass CPU {size}", mode,
                f"median {b['pass_p50_ms']:.3f} ms, p99 {b['pass_p99_ms']:.3f} ms")
    for size in SIZES:
        fill = med.get("Fill/" + size)
        if fill:
            row(f"FIN pass / fill {size}", "whole-picture fill",
                f"{fill['cpu_time']:.3f} ms")
        for name in sorted(n for n in med if n.startswith("PlayingPass/FIN") and n.endswith(size)):
            b = med[name]
            ratio = f" = {b['cpu_time'] / fill['cpu_time']:.2f} x fill" if fill else ""
            row(f"FIN pass / fill {size}", name.split("/")[1],
                f"median {b['cpu_time']:.3f} ms{ratio} (p99 of single passes "
                f"{b['pass_p99_ms']:.3f} ms)")


# --- Pacing and CPU of play without display ----------------------------------------------------
def pacing():
    print("pacing_bench (about 15 s)...", file=sys.stderr, flush=True)
    r = run([os.path.join(BENCH, "pacing_bench")])
    if r.returncode != 0:
        row("pacing", "all", f"skipped (pacing_bench failed: {r.stderr.strip()[-200:]})")
        return
    for line in r.stdout.splitlines():
        m = re.match(r"pacing error at\s+(\d+) ms ticks\s+p50\s+([-\d.]+) ms\s+p99\s+([-\d.]+) ms",
                     line)
        if m:
            row("pacing error (pass start - deadline, real clock)", f"{m[1]} ms ticks",
                f"p50 {m[2]} ms, p99 {m[3]} ms")
        m = re.match(r"FIN at 16 ms ticks, (\S+)\s+(\d+)% of a core \((.*)\)", line)
        if m:
            row("CPU per second of play", f"FIN 16 ms ticks {m[1]}, game only (no present)",
                f"{m[2]}% of a core ({m[3]})")


# --- Steering arithmetic ------------------------------------------------------------------------
def steering():
    data, _ = bench_json([os.path.join(BENCH, "steering_bench"), "--benchmark_min_time=0.3"])
    ns = {b["name"]: b["cpu_time"] for b in data["benchmarks"]}
    row("steering (once per pass)", "angle and direction, own maths against the C library",
        f"{ns['BM_MouseSteering']:.0f} ns against {ns['BM_MouseSteeringCLibrary']:.0f} ns")


# --- The web build ------------------------------------------------------------------------------
def node_rows():
    """A FIN pass at 1280x1024 by quadrix-sim for node against the native one, in turns. Node
    has no per-thread CPU clock and a loaded machine stretches wall times, so both are timed by
    the CPU time of the whole process: a run of 600 passes less a run of one (start-up)."""
    web = os.path.join(ROOT, "build", "web", "quadrix-sim.js")
    what = "FIN pass 1280x1024, node / native"
    if not os.path.exists(web) or not shutil.which("node"):
        row("web build", what, "skipped (no build/web/quadrix-sim.js or no node)")
        return
    print("quadrix-sim native and under node, in turns...", file=sys.stderr, flush=True)
    play = ["play", "--mode", "FIN", "--screen", "1280x1024", "--passes"]
    per_pass = {"native": [], "node": []}
    for _ in range(3):
        for name, cmd in (("native", [os.path.join(BUILD, "quadrix-sim")]), ("node", ["node", web])):
            cpu = []
            for passes in ("1", "600"):
                before = resource.getrusage(resource.RUSAGE_CHILDREN)
                r = run(cmd + play + [passes])
                after = resource.getrusage(resource.RUSAGE_CHILDREN)
                if r.returncode != 0:
                    row("web build", what, f"skipped ({name} exited with {r.returncode})")
                    return
                cpu.append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
            per_pass[name].append((cpu[1] - cpu[0]) / 599 * 1000)
    native, node = (sorted(per_pass[n])[1] for n in ("native", "node"))
    row("web build", what, f"{node:.3f} ms / {native:.3f} ms = {node / native:.2f} x "
        "(process CPU per pass, median of 3 runs)")


# --- Display ------------------------------------------------------------------------------------
def free_display():
    for n in range(90, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    return None


class Display:
    """An Xvfb of one size on a free display, or the DISPLAY given when there is no Xvfb."""

    def __init__(self, size):
        self.proc = None
        self.name = None
        self.reason = None
        if shutil.which("Xvfb"):
            n = free_display()
            if n is None:
                self.reason = "no free X display number"
                return
            self.proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", f"{size}x24",
                                          "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL)
            for _ in range(100):
                if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    self.name = f":{n}"
                    return
                if self.proc.poll() is not None:
                    break
                time.sleep(0.05)
            self.close()
            self.reason = "Xvfb did not start"
        elif os.environ.get("DISPLAY"):
            self.name = os.environ["DISPLAY"]
        else:
            self.reason = "no display: neither Xvfb nor DISPLAY"

    def env(self, **extra):
        e = dict(os.environ, DISPLAY=self.name)
        e.update(extra)
        return e

    def close(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return None


PEAK_TARGET = 48_000_000  # bytes: the peak resident memory allowed on the title and in FIN


def peak_text(kib):
    if kib is None:
        return "not measured (the program had ended)"
    verdict = "within" if kib * 1024 <= PEAK_TARGET else "over"
    return f"{kib / 1024:.1f} MiB = {kib * 1024 / 1e6:.1f} MB ({verdict} {PEAK_TARGET / 1e6:.0f} MB)"


def fin_place(size):
    """Where a player clicks "FIN" on the title, from quadrix-sim's layout; None without it."""
    r = run([os.path.join(BUILD, "quadrix-sim"), "layout", "--screen", size])
    try:
        for c in json.loads(r.stdout)["controls"]:
            if c["name"] == "cmdFinal":
                return c["left"] + c["width"] // 2, c["top"] + c["height"] // 2
    except (ValueError, KeyError):
        pass
    return None


def stop(p):
    if p.poll() is None:
        p.send_signal(signal.SIGTERM)
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()


def program(disp, size):
    """The real program under the display: start-up, the title's CPU, peak memory."""
    quadrix = os.path.join(BUILD, "quadrix")
    starts = []
    title_cpu = None
    title_rss = None
    for attempt in range(3):
        t0 = time.monotonic()
        p = subprocess.Popen([quadrix], env=disp.env(QUADRIX_FIRST_FRAME_STAMP="1"),
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        line = p.stderr.readline()  # the stamp, or end of file when it fails
        m = re.search(r"first frame at ([\d.]+)", line)
        if m:
            starts.append((float(m[1]) - t0) * 1000)
        if attempt == 0 and m:
            time.sleep(1.0)
            c0, w0 = cpu_seconds(p.pid), time.monotonic()
            time.sleep(5.0)
            title_cpu = 100 * (cpu_seconds(p.pid) - c0) / (time.monotonic() - w0)
            title_rss = peak_rss_kib(p.pid)
        stop(p)
        if not m:
            row("start-up", size, f"skipped (quadrix gave no first frame: {line.strip()[:120]})")
            return
    starts.sort()
    row("start-up to the first title frame", f"quadrix under X {size}",
        f"median {starts[1]:.0f} ms of 3 (launch to its first frame handed to X)")
    row("CPU per second of play", f"title screen {size} (real program)",
        f"{title_cpu:.1f}% of a core (load average {os.getloadavg()[0]:.2f})")
    row("peak resident memory (VmHWM)", f"quadrix {size}, title", peak_text(title_rss))
    # "FIN" started from the command line, and clicked on the title as a player does: the
    # peak then covers the title and the game both.
    p = subprocess.Popen([quadrix, "--mode", "cmdFinal"], env=disp.env(),
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(6.0)
    game_rss = peak_rss_kib(p.pid) if p.poll() is None else None
    stop(p)
    row("peak resident memory (VmHWM)", f"quadrix {size}, --mode cmdFinal", peak_text(game_rss))
    place = fin_place(size)
    if not place or not shutil.which("xdotool"):
        row("peak resident memory (VmHWM)", f"quadrix {size}, title then FIN",
            "skipped (no xdotool or no layout)")
        return
    p = subprocess.Popen([quadrix], env=disp.env(), stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    time.sleep(3.0)
    run(["xdotool", "mousemove", str(place[0]), str(place[1]), "click", "1"], env=disp.env())
    time.sleep(6.0)
    both_rss = peak_rss_kib(p.pid) if p.poll() is None else None
    stop(p)
    row("peak resident memory (VmHWM)", f"quadrix {size}, title then FIN", peak_text(both_rss))


def display_rows():
    present = os.path.join(BENCH, "present_bench")
    for size in SIZES:
        disp = Display(size)
        try:
            if disp.name is None:
                row(f"present per frame {size}", "full screen, 16 ms ticks", f"skipped ({disp.reason})")
                if size == "1920x1080":
                    for what in ("FIN 16 ms ticks with present", "title screen"):
                        row("CPU per second of play", what, f"skipped ({disp.reason})")
                    row("start-up to the first title frame", size, f"skipped ({disp.reason})")
                    row("peak resident memory (VmHWM)", size, f"skipped ({disp.reason})")
                continue
            print(f"present_bench under {disp.name} ({size})...", file=sys.stderr, flush=True)
            # Side by side in one run: the present paths and the whole-picture fill they are
            # held to (a present may cost at most one fill more than the pass itself).
            what = {"BM_PresentFullScreen": "full screen", "BM_PresentWindowed": "window, 1:1",
                    "BM_PresentScaled": "window, scaled", "BM_WholePictureFill": "whole-picture fill"}
            try:
                data, _ = bench_json([present, "--benchmark_filter=^(" + "|".join(what) + ")/16/"],
                                     env=disp.env())
                for b in data["benchmarks"]:
                    name = b["name"].split("/")[0]
                    if b.get("error_occurred"):
                        raise RuntimeError(b.get("error_message"))
                    row(f"present per frame {size}",
                        f"{what[name]}, 16 ms ticks ({b.get('label')})",
                        f"median {b['median_ms']:.3f} ms (own CPU {b['cpu_median_ms']:.3f} ms, "
                        f"all threads {b['cpu_all_median_ms']:.3f} ms), "
                        f"p99 {b['p99_ms']:.3f} ms")
            except Exception as e:  # a display that does not take our window
                row(f"present per frame {size}", "16 ms ticks", f"skipped ({e})")
            if size != "1920x1080":
                continue
            # Three runs, and the middle one reported: a share of a core swings with what the
            # rest of the machine does for seconds at a time.
            runs = []
            for _ in range(3):
                r = run([present, "--play-fin=8"], env=disp.env())
                m = re.search(r"with present, (\S+): ([\d.]+)% of a core \((.*)\)", r.stdout)
                if not m:
                    break
                runs.append((float(m[2]), m, r.stdout))
            if len(runs) < 3:
                row("CPU per second of play", f"FIN 16 ms ticks {size}, with present",
                    f"skipped ({r.stderr.strip()[-120:]})")
            else:
                runs.sort(key=lambda t: t[0])
                _, m, out = runs[1]
                row("CPU per second of play", f"FIN 16 ms ticks {m[1]}, with present",
                    f"{m[2]}% of a core, the middle of 3 runs ({runs[0][0]:.1f}-{runs[2][0]:.1f}%; "
                    f"{m[3]}, load average {os.getloadavg()[0]:.2f})")
                m = re.search(r"pass with present: median ([\d.]+) ms; present median ([\d.]+) ms = "
                              r"([\d.]+) x a whole-picture fill \(median ([\d.]+) ms", out)
                if m:
                    row("FIN pass / fill 1920x1080", "present of a FIN pass and a whole-picture fill, "
                        "same run (game thread CPU)", f"present median {m[2]} ms = {m[3]} x fill "
                        f"({m[4]} ms); whole pass {m[1]} ms")
            program(disp, size)
        finally:
            disp.close()


# --- In a web browser ----------------------------------------------------------------------------
def web_rows():
    web = os.path.join(ROOT, "build", "web")
    section = "In headless Chromium (build/web)"
    if not os.path.exists(os.path.join(web, "quadrix.wasm")):
        row(section, "the browser build", "skipped (no build/web: scripts/web --build-only)")
        return
    print("web_bench (a minute)...", file=sys.stderr, flush=True)
    r = run(["node", os.path.join(ROOT, "bench", "web_bench.mjs"), web], timeout=600)
    if r.returncode != 0:
        row(section, "the browser build", f"skipped ({r.stderr.strip()[-120:]})")
        return
    d = json.loads(r.stdout)
    row(section, "present 1920x1080 (conversion + putImageData)",
        f"{d['presentMedianMs']:.2f} ms median (at most 4)")
    row(section, "\"60\" (16 ms ticks) at 1280x1024",
        f"{d['mode16FramesPerSecond']} frames a second of {d['mode16Wanted']}")
    sizes = d["downloadGzipBytes"]
    row(section, "download, gzip -9", f"{sum(sizes.values()) / 1024:.0f} KiB (" +
        ", ".join(f"{k} {v / 1024:.0f}" for k, v in sizes.items()) + ")")


def main():
    print(f"Benchmarks of {BUILD} (load average now {os.getloadavg()[0]:.2f} on "
          f"{os.cpu_count()} CPUs)", file=sys.stderr, flush=True)
    load0 = os.getloadavg()[0]
    passes()
    pacing()
    steering()
    node_rows()
    display_rows()
    web_rows()
    load1 = os.getloadavg()[0]
    width = max(len(w) for _, w, _ in rows)
    print()
    print(f"Quadrix benchmarks ({time.strftime('%Y-%m-%d %H:%M')}, {os.cpu_count()} CPUs, "
          f"load average {load0:.2f} at the start, {load1:.2f} at the end; CPU times in ms)")
    sections = list(dict.fromkeys(s for s, _, _ in rows))
    for section in sections:
        print(f"\n{section}")
        for s, w, f in rows:
            if s == section:
                print(f"  {w:<{width}}  {f}")


if __name__ == "__main__":
    main()
