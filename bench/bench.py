#!/usr/bin/env python3
"""Brawlarium's benchmarks: start-up, memory, idle processor time, the pause
between fight rounds, the rate at which piped answers are handled and the
time the price-list check takes; with --web-runner, the WebAssembly build's
start-up under Node, its size and its piped answers per second as well
(--web-runner-before measures an older build's beside them).

Run it through scripts/bench.sh, which builds everything it needs; by hand:

    bench.py --game build-bench/brawlarium --baseline build-bench/bench/bench_baseline_menu \
             --shim build-bench/bench/libbench_skip_sleep.so --data data

Only the Python standard library is used (Linux: /proc, pseudo-terminals).
"""

import argparse
import os
import pty
import re
import resource
import select
import signal
import statistics
import subprocess
import sys
import threading
import time

CHOICE = b"Your Choice: "
ANY_KEY = b"Press any key to continue..."
DEATH = b"you died and lost your character forever"
# Every question the game asks; each one shown means one answer read (or the
# end of input noticed).
PROMPTS = [
    CHOICE,
    b"Change Name to: ",
    b"Roll Again (Y/N)? ",
    b"Do you wish to Delete (Y/N)?  ",
    b"Do you still want to return to the main menu (Y/N)? ",
    b"What weapon would you like to buy? ",
    b"What armor would you like to buy? ",
]
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


class BenchError(Exception):
    pass


# ----------------------------------------------------------------------------
# Children on pipes


def piped_child(command, cwd, preload=None):
    """Starts a program on pipes, in a session of its own so that it has no
    controlling terminal: a key wait then ends at once instead of reading the
    terminal the benchmark was started from."""
    env = dict(os.environ)
    env.pop("LD_PRELOAD", None)
    if preload:
        env["LD_PRELOAD"] = preload
    return subprocess.Popen(
        [command] if isinstance(command, str) else command, cwd=cwd, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
        stderr=subprocess.DEVNULL, start_new_session=True, bufsize=0)


def read_until(fd, pattern, timeout, buffer=b""):
    """Reads from fd until pattern appears; returns everything read."""
    deadline = time.monotonic() + timeout
    while pattern not in buffer:
        left = deadline - time.monotonic()
        if left <= 0:
            raise BenchError("timed out waiting for %r" % pattern)
        ready, _, _ = select.select([fd], [], [], left)
        if ready:
            chunk = os.read(fd, 65536)
            if not chunk:
                raise BenchError("output ended before %r" % pattern)
            buffer += chunk
    return buffer


def finish(process, timeout=10):
    """Ends a piped child by closing its input and waits for it, bounded."""
    try:
        process.stdin.close()
    except OSError:
        pass
    try:
        while os.read(process.stdout.fileno(), 65536):
            pass
    except OSError:
        pass
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=timeout)
        raise BenchError("the program did not end after the end of its input")
    process.stdout.close()


def time_to_first_prompt(command, cwd):
    start = time.perf_counter()
    process = piped_child(command, cwd)
    read_until(process.stdout.fileno(), CHOICE, timeout=10)
    elapsed = time.perf_counter() - start
    finish(process)
    return elapsed


def check_data_time(command, data):
    """Wall time of one `--check-data` run over the lists in data, which must
    pass the check."""
    start = time.perf_counter()
    run = subprocess.run([command, "--check-data", "--data", data], stdin=subprocess.DEVNULL,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30, check=False)
    elapsed = time.perf_counter() - start
    if run.returncode != 0:
        raise BenchError("--check-data exited with %d on %s" % (run.returncode, data))
    return elapsed


def peak_rss_kib(pid):
    """The process's high-water resident set (VmHWM) from /proc. Read while the
    process still runs: a child's ru_maxrss would also count the memory of the
    process it was forked from."""
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise BenchError("no VmHWM for process %d" % pid)


# ----------------------------------------------------------------------------
# The long piped session


def wandering_answers(count):
    """About `count` answers that wander through the menus, the shop and many
    fights. Each group of answers ends at the main menu whatever happened in
    it (a death, a character that did not exist, a level not yet open), so
    the session never drifts out of step with the game."""
    answers = []
    cycle = 0
    while len(answers) < count:
        weapon = str(cycle % 15 + 1)
        armor = str(cycle % 13 + 1)
        # Create (deleting any earlier character): name it, roll, set it.
        answers += ["a", "y", "a", "hero%d" % cycle, "b", "n", "r", "y"]
        # Ten level 1 fights; after a death the leftover answers are refused.
        answers += ["d", "1", "r"] * 10
        # The shop: a weapon and an armor, then back; without a character the
        # same answers pass through the creation menu instead.
        answers += ["b", "a", weapon, "b", armor, "r", "y"]
        answers += ["c"]
        answers += ["d", "2", "r"] * 5 + ["d", "3", "r"] * 5
        answers += ["b", "b", armor, "a", weapon, "r", "y"]
        cycle += 1
    return answers[:count]


class PromptCounter:
    """Counts the game's questions in its output as it streams past."""

    def __init__(self):
        self.pattern = re.compile(b"|".join(re.escape(p) for p in PROMPTS))
        self.keep = max(len(p) for p in PROMPTS) - 1
        self.tail = b""
        self.count = 0

    def feed(self, chunk):
        text = self.tail + chunk
        for match in self.pattern.finditer(text):
            if match.end() > len(self.tail):
                self.count += 1
        self.tail = text[-self.keep:]


def process_cpu_seconds(pid):
    """Processor time the process has used so far, user plus system."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def piped_session(command, cwd, shim, count, timeout=900):
    """Plays `count` piped answers with the pauses skipped. Returns the number
    of answers handled, the seconds they took (start to the question after the
    last answer), the peak resident memory of the whole session and the
    processor time it used until then."""
    answers = wandering_answers(count)
    data = ("\n".join(answers) + "\n").encode()
    process = piped_child(command, cwd, preload=shim)

    def feed():
        try:
            process.stdin.write(data)
        except OSError:
            pass

    start = time.perf_counter()
    writer = threading.Thread(target=feed, daemon=True)
    writer.start()
    counter = PromptCounter()
    fd = process.stdout.fileno()
    last_output = start
    deadline = time.monotonic() + timeout
    while counter.count < count + 1:
        if time.monotonic() > deadline:
            process.kill()
            raise BenchError("the piped session took longer than %d s" % timeout)
        ready, _, _ = select.select([fd], [], [], 2.0)
        if not ready:
            if not writer.is_alive():
                break  # everything written and the game is quiet: it waits
            continue
        chunk = os.read(fd, 1 << 16)
        if not chunk:
            break
        last_output = time.perf_counter()
        counter.feed(chunk)
    elapsed = last_output - start
    rss = peak_rss_kib(process.pid) if process.poll() is None else None
    cpu = process_cpu_seconds(process.pid) if process.poll() is None else None
    writer.join(timeout=5)
    finish(process)
    handled = max(counter.count - 1, 0)
    return handled, elapsed, rss, cpu


def baseline_rss(command, cwd, shim):
    process = piped_child(command, cwd, preload=shim)
    read_until(process.stdout.fileno(), CHOICE, timeout=10)
    rss = peak_rss_kib(process.pid)
    process.stdin.write(b"a\n")
    finish(process)
    return rss


# ----------------------------------------------------------------------------
# Sessions on a pseudo-terminal


class TerminalSession:
    """The game on a pseudo-terminal that is its controlling terminal, as a
    player would run it; output is kept with the time each piece arrived."""

    def __init__(self, command, cwd):
        env = dict(os.environ)
        env.pop("LD_PRELOAD", None)
        env.pop("NO_COLOR", None)
        env["TERM"] = "xterm"
        pid, fd = pty.fork()
        if pid == 0:
            try:
                os.chdir(cwd)
                os.execve(command, [command], env)
            finally:
                os._exit(127)
        self.pid = pid
        self.fd = fd
        self.output = b""
        self.arrivals = []  # (offset where a chunk starts, time it arrived)
        self.position = 0

    def pump(self, timeout):
        ready, _, _ = select.select([self.fd], [], [], timeout)
        if not ready:
            return False
        try:
            chunk = os.read(self.fd, 65536)
        except OSError:
            chunk = b""
        if not chunk:
            raise BenchError("the game closed its terminal")
        self.arrivals.append((len(self.output), time.perf_counter()))
        self.output += chunk
        return True

    def expect(self, *patterns, timeout=30):
        """Waits for the first of the patterns after the current position;
        returns which one, and moves past it."""
        deadline = time.monotonic() + timeout
        while True:
            found = [(self.output.find(p, self.position), i) for i, p in enumerate(patterns)]
            found = [(at, i) for at, i in found if at >= 0]
            if found:
                at, index = min(found)
                self.position = at + len(patterns[index])
                return index
            left = deadline - time.monotonic()
            if left <= 0:
                raise BenchError("timed out waiting for %r; the terminal showed last:\n%s" %
                                 (patterns, self.output[-600:].decode(errors="replace")))
            self.pump(left)

    def send(self, text):
        os.write(self.fd, text.encode())

    def press_key(self):
        """Answers a key wait once the game sits in it."""
        wait_for_blocking_read(self.pid)
        self.send("k")

    def arrival_of(self, offset):
        """When the byte at offset arrived."""
        moment = None
        for start, arrived in self.arrivals:
            if start > offset:
                break
            moment = arrived
        return moment

    def cpu_seconds(self):
        """Processor time used so far: user plus system, from /proc."""
        with open("/proc/%d/stat" % self.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        ticks = int(fields[11]) + int(fields[12])
        on_cpu_ns = None
        try:
            with open("/proc/%d/schedstat" % self.pid) as schedstat:
                on_cpu_ns = int(schedstat.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
        return ticks / CLOCK_TICKS, on_cpu_ns

    def close(self):
        try:
            os.kill(self.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            done, _ = os.waitpid(self.pid, os.WNOHANG)
            if done:
                break
            try:
                self.pump(0.05)
            except BenchError:
                pass
        else:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        os.close(self.fd)

    def create_character(self):
        """From the main menu: create and name a character, back to the main
        menu."""
        self.send("a\n")
        self.expect(CHOICE)
        self.send("a\n")
        self.expect(b"Change Name to: ")
        self.send("Bench\n")
        self.expect(ANY_KEY)
        self.press_key()
        self.expect(CHOICE)
        self.send("r\n")
        self.expect(b"(Y/N)? ")
        self.send("y\n")
        self.expect(CHOICE)


def wait_for_blocking_read(pid, timeout=5):
    """Waits until the process sleeps (state S), i.e. sits in its read."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        with open("/proc/%d/stat" % pid) as stat:
            state = stat.read().rsplit(")", 1)[1].split()[0]
        if state == "S":
            return
        time.sleep(0.01)


def idle_cpu(command, cwd, seconds):
    """Processor time used while the game waits `seconds` at a question and
    `seconds` in a key wait."""
    session = TerminalSession(command, cwd)
    try:
        session.expect(CHOICE, timeout=10)
        wait_for_blocking_read(session.pid)
        before = session.cpu_seconds()
        time.sleep(seconds)
        after = session.cpu_seconds()
        question = (after[0] - before[0], delta_ns(before[1], after[1]))

        session.send("c\n")  # View Stats without a character: a key wait
        session.expect(ANY_KEY, timeout=10)
        wait_for_blocking_read(session.pid)
        before = session.cpu_seconds()
        time.sleep(seconds)
        after = session.cpu_seconds()
        key = (after[0] - before[0], delta_ns(before[1], after[1]))

        session.press_key()
        session.expect(CHOICE, timeout=10)
        session.send("q\n")
    finally:
        session.close()
    return question, key


def delta_ns(before, after):
    if before is None or after is None:
        return None
    return after - before


def round_pauses(command, cwd, wanted, budget):
    """Plays level 1 fights on a terminal until `wanted` pauses between rounds
    were seen (or `budget` seconds passed). A pause is measured from the
    separator that closes a round to the header of the next one."""
    session = TerminalSession(command, cwd)
    separator = b"-" * 50 + b"\r\n"
    header = re.compile(rb"Round (\d+) - ")
    pauses = []
    start = time.monotonic()
    try:
        session.expect(CHOICE, timeout=10)
        session.create_character()
        session.send("d\n")
        while len(pauses) < wanted and time.monotonic() - start < budget:
            session.expect(CHOICE)
            session.send("1\n")
            fight_start = len(session.output)
            # A victory ends with the key-wait message on its own line; a
            # death's message has no line end and stays in the game's line
            # buffer during the key wait, so the line before it is awaited.
            session.expect(ANY_KEY, DEATH, timeout=budget + 60)
            fight = session.output[fight_start:session.position]
            for match in header.finditer(fight):
                if int(match.group(1)) < 2:
                    continue
                closing = fight.rfind(separator, 0, match.start())
                begun = session.arrival_of(fight_start + closing + len(separator) - 1)
                shown = session.arrival_of(fight_start + match.start())
                pauses.append((shown - begun) * 1000.0)
            # After the key: the combat menu after a victory, the main menu
            # after a death.
            session.press_key()
            which = session.expect(b"COMBAT MENU", b"Main Menu")
            if which == 1:
                session.expect(CHOICE)
                session.create_character()
                session.send("d\n")
    finally:
        session.close()
    return pauses


# ----------------------------------------------------------------------------
# The report


def ms(seconds):
    return "%.2f ms" % (seconds * 1000.0)


def mib(kib):
    return "%.2f MiB" % (kib / 1024.0)


def batch_fights_time(command, data, fights=20):
    """Wall time of a --batch session of `fights` level-1 fights, each by a
    freshly made character, which must all be fought."""
    answers = "a a bob r y d 1 " + "r a y a bob r y d 1 " * (fights - 1) + "r q\n"
    start = time.perf_counter()
    run = subprocess.run([command, "--batch", "--seed", "7"], cwd=data, input=answers.encode(),
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60, check=False)
    elapsed = time.perf_counter() - start
    fought = run.stdout.count(b"Round 1 - ")
    if run.returncode != 0 or fought != fights:
        raise BenchError("the --batch session exited with %d after %d of %d fights"
                         % (run.returncode, fought, fights))
    return elapsed


def saved_game_answers(blocks):
    """A long game for the save file: Bob fights up to ten level-1 fights per
    block and is made afresh after each block, whether he died or not."""
    block = "d " + "1 " * 10 + "r a y a bob r y "
    return "a a bob r y " + block * blocks


def play_saved_game(command, data, folder, blocks):
    """Plays `blocks` blocks into a new save file with --batch; its path and
    the number of fights fought."""
    path = os.path.join(folder, "game-%d.save" % blocks)
    if os.path.exists(path):
        os.remove(path)
    run = subprocess.run(command + ["--batch", "--seed", "7", "--save", path], cwd=data,
                         input=saved_game_answers(blocks).encode(), stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, timeout=300, check=False)
    if run.returncode != 0 or run.stderr:
        raise BenchError("the saved game exited with %d: %s" % (run.returncode, run.stderr.decode()))
    return path, run.stdout.count(b"Round 1 - ")


def saved_game_rows(command, data, label, fights=600, rounds=5):
    """A save file of a game of at least `fights` fights: the time a start
    takes to play it back and reach its last screen, and its bytes per fight."""
    import tempfile
    with tempfile.TemporaryDirectory() as folder:
        # The fewest blocks that make the fights: an estimate from 20 blocks,
        # then halving the range between too few and enough.
        _, sample = play_saved_game(command, data, folder, 20)
        low, high = 0, max(1, 2 * (fights * 20 + sample - 1) // max(sample, 1))
        while play_saved_game(command, data, folder, high)[1] < fights:
            low, high = high, high * 2
        while high - low > 1:
            middle = (low + high) // 2
            if play_saved_game(command, data, folder, middle)[1] >= fights:
                high = middle
            else:
                low = middle
        path, fought = play_saved_game(command, data, folder, high)
        with open(path, "rb") as save:
            content = save.read()
        keys = len(content) - content.index(b"keys\n") - len(b"keys\n")
        times, cpu_times = [], []
        for _ in range(rounds + 1):
            used = resource.getrusage(resource.RUSAGE_CHILDREN)
            start = time.perf_counter()
            run = subprocess.run(command + ["--save", path], cwd=data, input=b"", stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, timeout=60, check=False)
            times.append(time.perf_counter() - start)
            after = resource.getrusage(resource.RUSAGE_CHILDREN)
            cpu_times.append(after.ru_utime + after.ru_stime - used.ru_utime - used.ru_stime)
            if run.returncode != 0 or run.stderr or not run.stdout.endswith(b"Your Choice: \n"):
                raise BenchError("continuing the saved game failed: %s" % run.stderr.decode())
        times, cpu_times = times[1:], cpu_times[1:]  # the first warms the page cache
        middle = statistics.median(times)
        return [
            ("%scontinuing a saved game of %d fights (median of %d)" % (label, fought, rounds), ms(middle),
             "%s..%s, processor %s" % (ms(min(times)), ms(max(times)), ms(statistics.median(cpu_times))), "",
             "< 100 ms", middle < 0.100),
            ("%ssave file of that game: bytes per fight" % label, "%.1f B" % (keys / fought),
             "%d B of keys, %d B in all" % (keys, len(content)), "", "", None),
        ]


def wasm_code(runner):
    """The wasm code that the runner holds inlined as base64."""
    import base64
    with open(runner, "rb") as script:
        text = script.read()
    marker = b"data:application/octet-stream;base64,AGFzbQ"  # the wasm magic number
    start = text.find(marker)
    if start < 0:
        raise BenchError("no inlined wasm in %s" % runner)
    start += len(marker) - len(b"AGFzbQ")
    end = text.index(b'"', start)
    return base64.b64decode(text[start:end])


# The WebAssembly build before Asyncify was narrowed to the waits and the
# build favoured size (commit 681e602), measured on the same machine.
WEB_BEFORE = {"wasm": 435608, "wasm_gz": 129057, "answers_per_second": 18554, "answers_per_cpu_second": 16807}


def node_answer_rates(runners, data, answers, rounds=5):
    """Piped answers per second under Node for each runner, their sessions
    taken in turn so that every runner sees the same machine: the median
    rate by the clock, and by the processor time Node used, which other work
    on the machine disturbs less."""
    rates = [[] for _ in runners]
    for _ in range(rounds):
        for index, runner in enumerate(runners):
            # --batch: no pauses between rounds, as the native session's preload does.
            handled, elapsed, _, cpu = piped_session(["node", runner, "--batch"], data, None, answers)
            rates[index].append((handled / elapsed if elapsed > 0 else 0.0, handled / cpu if cpu else 0.0, handled))
    return [(statistics.median(run[0] for run in runs), statistics.median(run[1] for run in runs), runs[0][2])
            for runs in rates]


def web_rows(runner, data, runs, answers, before_runner=None):
    """The WebAssembly build under Node: start-up, size, piped answers; next
    to the build before, measured again when its runner is given."""
    import gzip
    node = ["node", runner]
    for _ in range(2):
        time_to_first_prompt(node, data)
    times = [time_to_first_prompt(node, data) for _ in range(runs)]
    start = statistics.median(times)
    code = wasm_code(runner)
    code_gz = len(gzip.compress(code, 6))
    rates = node_answer_rates([runner] + ([before_runner] if before_runner else []), data, answers)
    rate, cpu_rate, handled = rates[0]
    if before_runner:
        before_code = wasm_code(before_runner)
        before = {"wasm": len(before_code), "wasm_gz": len(gzip.compress(before_code, 6)),
                  "answers_per_second": rates[1][0], "answers_per_cpu_second": rates[1][1]}
        when = "measured now"
    else:
        before, when = WEB_BEFORE, "measured once"
    return [
        ("WebAssembly under Node: start-up to first \"Your Choice: \" (median of %d)" % runs,
         ms(start), "%s..%s" % (ms(min(times)), ms(max(times))), "", "< 150 ms", start < 0.150),
        ("WebAssembly: wasm code, raw and gzipped", "%.0f KiB, %.0f KiB gz" % (len(code) / 1024.0, code_gz / 1024.0),
         "before: %.0f KiB, %.0f KiB gz (%s)" % (before["wasm"] / 1024.0, before["wasm_gz"] / 1024.0, when),
         "", "<= 300 KiB", len(code) <= 300 * 1024),
        ("WebAssembly under Node: answers per second (%d piped answers, median of 5)" % handled,
         "%.0f /s" % rate, "before: %.0f /s (%s)" % (before["answers_per_second"], when),
         "x%.2f" % (rate / before["answers_per_second"]), "", None),
        ("WebAssembly under Node: answers per second of processor time (median of 5)",
         "%.0f /s" % cpu_rate, "before: %.0f /s (%s)" % (before["answers_per_cpu_second"], when),
         "x%.2f" % (cpu_rate / before["answers_per_cpu_second"]), "no worse than before",
         cpu_rate >= before["answers_per_cpu_second"]),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--baseline", required=True)
    parser.add_argument("--shim", required=True, help="the preload library that skips sleeps")
    parser.add_argument("--data", required=True, help="directory of weaponlist.txt and armorlist.txt")
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--answers", type=int, default=20000)
    parser.add_argument("--idle-seconds", type=float, default=3.0)
    parser.add_argument("--pauses", type=int, default=10, help="pauses between rounds to measure")
    parser.add_argument("--web-runner", help="the WebAssembly build's brawlarium.js, to measure under Node")
    parser.add_argument("--web-runner-before", help="an older build's brawlarium.js, to measure beside it")
    args = parser.parse_args()
    game = os.path.abspath(args.game)
    baseline = os.path.abspath(args.baseline)
    shim = os.path.abspath(args.shim)
    data = os.path.abspath(args.data)

    rows = []

    # Start-up, alternating the two programs so that both see the same machine.
    game_times, base_times = [], []
    for _ in range(2):  # warm the page cache
        time_to_first_prompt(game, data)
        time_to_first_prompt(baseline, data)
    for _ in range(args.runs):
        game_times.append(time_to_first_prompt(game, data))
        base_times.append(time_to_first_prompt(baseline, data))
    game_start = statistics.median(game_times)
    base_start = statistics.median(base_times)
    ratio = game_start / base_start
    rows.append(("start-up to first \"Your Choice: \" (pipe, median of %d)" % args.runs,
                 ms(game_start), ms(base_start), "x%.2f" % ratio, "<= x1.5", ratio <= 1.5))

    check_times = [check_data_time(game, data) for _ in range(args.runs)]
    check = statistics.median(check_times)
    rows.append(("--check-data on the sample lists (median of %d)" % args.runs, ms(check),
                 "%s..%s" % (ms(min(check_times)), ms(max(check_times))), "", "< 1 s", check < 1.0))

    batch_times = [batch_fights_time(game, data) for _ in range(5)]
    batch = statistics.median(batch_times)
    rows.append(("20 level-1 fights with --batch (median of 5)", ms(batch),
                 "%s..%s" % (ms(min(batch_times)), ms(max(batch_times))), "", "< 1 s", batch < 1.0))

    # The long piped session, three times: its rate (the median run), and its
    # peak memory (the highest) next to the baseline's.
    sessions = sorted((piped_session(game, data, shim, args.answers) for _ in range(3)),
                      key=lambda run: run[0] / run[1] if run[1] > 0 else 0.0)
    handled, elapsed, _, _ = sessions[1]
    game_rss = max(run[2] or 0 for run in sessions)
    if game_rss == 0:
        raise BenchError("the game ended before its peak memory could be read")
    base_rss = baseline_rss(baseline, data, shim)
    ratio = game_rss / base_rss
    rows.append(("peak resident memory, whole session", mib(game_rss), mib(base_rss),
                 "x%.2f" % ratio, "<= x1.5", ratio <= 1.5))

    question, key = idle_cpu(game, data, args.idle_seconds)
    for label, (cpu, on_cpu_ns) in (("at a question", question), ("in a key wait", key)):
        detail = "%.0f ms" % (cpu * 1000.0)
        if on_cpu_ns is not None:
            detail += " (%.3f ms on CPU)" % (on_cpu_ns / 1e6)
        rows.append(("CPU time, %g s waiting %s" % (args.idle_seconds, label), detail, "", "",
                     "0", cpu == 0))

    pauses = round_pauses(game, data, args.pauses, budget=120)
    if pauses:
        worst = max(abs(p - 2000.0) for p in pauses)
        rows.append(("pause between fight rounds (%d measured)" % len(pauses),
                     "%.1f ms mean" % statistics.mean(pauses),
                     "%.1f..%.1f ms" % (min(pauses), max(pauses)),
                     "max off %.1f ms" % worst, "2000 +-20 ms", worst <= 20.0))
    else:
        rows.append(("pause between fight rounds", "no pause seen", "", "", "2000 +-20 ms", False))

    rows += saved_game_rows([game], data, "")

    rate = handled / elapsed if elapsed > 0 else 0.0
    rows.append(("answers handled per second (%d piped answers, median of 3)" % handled,
                 "%.0f /s" % rate, "%.2f s total" % elapsed, "", "", None))

    if args.web_runner:
        before = os.path.abspath(args.web_runner_before) if args.web_runner_before else None
        rows += web_rows(os.path.abspath(args.web_runner), data, min(args.runs, 10), args.answers, before)
        rows += saved_game_rows(["node", os.path.abspath(args.web_runner)], data, "WebAssembly under Node: ")

    headers = ("measure", "game", "baseline / range", "ratio", "goal", "met")
    verdicts = {True: "yes", False: "NO", None: "-"}
    table = [headers] + [(r[0], r[1], r[2], r[3], r[4], verdicts[r[5]]) for r in rows]
    widths = [max(len(row[i]) for row in table) for i in range(len(headers))]
    line = "+".join("-" * (w + 2) for w in widths)
    print(line)
    for index, row in enumerate(table):
        print("|".join(" %s " % cell.ljust(widths[i]) for i, cell in enumerate(row)))
        if index == 0:
            print(line)
    print(line)
    if handled < args.answers:
        print("bench: the piped session handled only %d of %d answers" % (handled, args.answers),
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except BenchError as error:
        print("bench: %s" % error, file=sys.stderr)
        sys.exit(1)
