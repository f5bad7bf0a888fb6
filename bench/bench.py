#!/usr/bin/env python3
"""Brawlarium's benchmarks: start-up, memory, idle processor time, the pause
between fight rounds, the rate at which piped answers are handled and the
write calls each one costs (--game-before measures an older build's beside
them), and the time the price-list check takes; with --web-runner, the
WebAssembly build's start-up under Node, its size, its piped answers per
second and their write calls as well (--web-runner-before measures an older
build's beside them). Continuing a saved game of 600 fights, natively and
under Node, beside the start alone; and under Node a whole game played until
its hero reached level 20, its save file's bytes per fight and the length of
its share link (--saved-games-only measures only these).

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


def write_calls(pid):
    """Write system calls the process has made so far, all its threads
    together (syscw of /proc/PID/io): counted by the kernel, without strace."""
    with open("/proc/%d/io" % pid) as io:
        for line in io:
            if line.startswith("syscw:"):
                return int(line.split()[1])
    raise BenchError("no syscw for process %d" % pid)


def process_cpu_seconds(pid):
    """Processor time the process has used so far, user plus system."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def piped_session(command, cwd, shim, count, timeout=900):
    """Plays `count` piped answers with the pauses skipped. Returns the number
    of answers handled, the seconds they took (start to the question after the
    last answer), the peak resident memory of the whole session, the processor
    time it used until then and its write calls. The input stays open, so the
    game still waits at that question while they are read."""
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
    writes = write_calls(process.pid) if process.poll() is None else None
    writer.join(timeout=5)
    finish(process)
    handled = max(counter.count - 1, 0)
    return handled, elapsed, rss, cpu, writes


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


def saved_game_rows(command, data, label, fights=600, rounds=9):
    """A save file of a game of at least `fights` fights: the time a start
    takes to play it back and reach its last screen, beside the start alone
    and what is left, the game's part; and its bytes per fight."""
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
        continuations, starts, bare_starts = [], [], []
        for _ in range(rounds + 1):
            # The start alone, in turn with each continuation: the same command
            # with --version loads the game (under Node, compiles its wasm)
            # and plays nothing; under Node, Node alone too.
            starts.append(timed_run(command + ["--version"], data)[:2])
            if command[0] == "node":
                bare_starts.append(timed_run(["node", "-e", ""], data)[:2])
            elapsed, cpu, run = timed_run(command + ["--save", path], data)
            continuations.append((elapsed, cpu))
            if not run.stdout.endswith(b"Your Choice: \n"):
                raise BenchError("continuing the saved game did not end at its question")
        # The first round warms the page cache. The game's part is taken run
        # by run; by processor time it is the steadier on a busy machine.
        continuations, starts, bare_starts = continuations[1:], starts[1:], bare_starts[1:]
        times = [elapsed for elapsed, _ in continuations]
        middle, cpu = statistics.median(times), statistics.median(cpu for _, cpu in continuations)
        parts = [(whole[0] - start[0], whole[1] - start[1]) for whole, start in zip(continuations, starts)]
        node_alone = ""
        if bare_starts:
            node_alone = ", Node alone (node -e '') %s, processor %s" % tuple(
                ms(statistics.median(column)) for column in zip(*bare_starts))
        return [
            ("%scontinuing a saved game of %d fights (median of %d)" % (label, fought, rounds), ms(middle),
             "%s..%s, processor %s" % (ms(min(times)), ms(max(times)), ms(cpu)), "", "< 100 ms", middle < 0.100),
            ("%sof that, the start: the same command with --version (loads the game, plays nothing)" % label,
             ms(statistics.median(start for start, _ in starts)),
             "processor %s%s" % (ms(statistics.median(cpu for _, cpu in starts)), node_alone), "", "", None),
            ("%sof that, the game's part: continuing minus --version, run by run" % label,
             ms(statistics.median(part for part, _ in parts)),
             "processor %s" % ms(statistics.median(cpu for _, cpu in parts)), "", "", None),
            ("%ssave file of that game: bytes per fight" % label, "%.1f B" % (keys / fought),
             "%d B of keys, %d B in all" % (keys, len(content)), "", "", None),
        ]


def timed_run(command, cwd):
    """Runs a command on empty input, which must succeed without a word on
    standard error: its wall time, the processor time it used (all its
    threads, user and system) and the finished run."""
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    run = subprocess.run(command, cwd=cwd, input=b"", stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         timeout=60, check=False)
    elapsed = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if run.returncode != 0 or run.stderr:
        raise BenchError("%s exited with %d: %s" % (" ".join(command), run.returncode, run.stderr.decode()))
    return elapsed, after.ru_utime + after.ru_stime - used.ru_utime - used.ru_stime, run


# ----------------------------------------------------------------------------
# A whole game played to level 20


MENUS = {b"-------Main Menu-------": "main", b"----Character Creation Menu----": "creation",
         b"--------COMBAT MENU---------": "combat", b"----PURCHASE EQUIPMENT MENU----": "shop"}
HIGHEST_LEVEL = 20


def list_prices(path):
    """The prices of a price list, in its order: the last field of a line."""
    with open(path) as items:
        return [float(line.rsplit(";", 1)[1]) for line in items if line.strip()]


def read_question(fd, timeout):
    """Reads the game's output up to the question it then waits at."""
    buffer = b""
    deadline = time.monotonic() + timeout
    while not buffer.endswith(tuple(PROMPTS)):
        left = deadline - time.monotonic()
        ready, _, _ = select.select([fd], [], [], max(left, 0))
        if not ready:
            raise BenchError("timed out waiting for a question after %r" % buffer[-300:])
        chunk = os.read(fd, 65536)
        if not chunk:
            raise BenchError("the game ended after %r" % buffer[-300:])
        buffer += chunk
    return buffer


class LevelTwentyPlayer:
    """Answers the game's questions from what it shows, to bring a hero to
    level 20: a hero rolled again until its strength and constitution are
    both 12, who fights the monsters of `opponent_level`, and spends its gold
    on the dearest weapon, then armor, that it affords once that is `step`
    places down a list from what it wears (or the list's last). After a
    death a new hero is made. Once the hero is at level 20 it views its
    statistics, where the level is read, and quits."""

    def __init__(self, weapons, armors, step=3):
        self.prices = {"weapon": weapons, "armor": armors}
        self.step = step
        self.menu = None
        self.fights = self.deaths = 0
        self.shown_level = None
        self.lose_hero()

    def lose_hero(self):
        """No hero: the next one starts at level 1, with no gold and the
        first item of each list."""
        self.hero, self.named, self.rolled = False, False, False
        self.level, self.gold = 1, 0.0
        self.worn = {"weapon": 0, "armor": 0}

    def upgrade(self, kind):
        """The place in the list of the item of `kind` worth buying now, or None."""
        prices, worn = self.prices[kind], self.worn[kind]
        affordable = [place for place in range(worn + 1, len(prices)) if prices[place] <= self.gold]
        if affordable and (affordable[-1] >= worn + self.step or affordable[-1] == len(prices) - 1):
            return affordable[-1]
        return None

    def wants_to_shop(self):
        return self.upgrade("weapon") is not None or self.upgrade("armor") is not None

    def note(self, screen):
        """Keeps what the screen tells about the hero."""
        if b"Invalid Choice" in screen or b"can't afford" in screen:
            raise BenchError("the game refused an answer: %r" % screen[-300:])
        for heading, menu in MENUS.items():
            if heading in screen:
                self.menu = menu
        won = re.search(rb"received \d+ experience and ([0-9.]+) gold for the victory!\n", screen)
        if won:
            self.fights += 1
            self.gold += float(won.group(1))
            for level in re.findall(rb"you have reached level (\d+)\n", screen[won.end():]):
                self.level = int(level)
        if DEATH in screen:
            self.fights += 1
            self.deaths += 1
            self.lose_hero()
        spend = re.search(rb"You have ([0-9.]+) gold to spend", screen)
        if spend:
            self.gold = float(spend.group(1))
        shown = re.search(rb"\nLevel: (\d+)\n", screen)
        if shown:
            self.shown_level = int(shown.group(1))

    def answer(self, screen):
        """The answer to the question that ends the screen."""
        self.note(screen)
        for kind in ("weapon", "armor"):
            ending = b"%s would you like to buy? " % kind.encode()
            if screen.endswith(ending):
                place = self.upgrade(kind)
                self.gold -= self.prices[kind][place]
                self.worn[kind] = place
                return str(place + 1)
        if screen.endswith(b"Change Name to: "):
            self.named = True
            return "bob"
        if screen.endswith(b"Roll Again (Y/N)? "):
            self.rolled = all(re.search(rb"\n%s: 12\n" % ability, screen) for ability in (b"Strength", b"Constitution"))
            return "n" if self.rolled else "y"
        if screen.endswith(b"(Y/N)? ") or screen.endswith(b"(Y/N)?  "):
            return "y"  # keep the hero made; delete the one before
        return getattr(self, "at_" + self.menu)(screen)

    def at_main(self, _screen):
        if not self.hero:
            self.hero = True  # back at this menu once it is made
            return "a"
        if self.level >= HIGHEST_LEVEL:
            return "q" if self.shown_level is not None else "c"
        return "b" if self.wants_to_shop() else "d"

    def at_creation(self, _screen):
        return "a" if not self.named else "b" if not self.rolled else "r"

    def at_shop(self, _screen):
        return "a" if self.upgrade("weapon") is not None else "b" if self.upgrade("armor") is not None else "r"

    def at_combat(self, screen):
        if self.level >= HIGHEST_LEVEL or self.wants_to_shop():
            return "r"
        offered = max(int(level) for level in re.findall(rb"\[(\d+)\] Level", screen.rsplit(b"COMBAT MENU", 1)[1]))
        return str(min(opponent_level(self.level), offered))


def opponent_level(level):
    """The monster's level a hero of `level` fights. A victory pays 300
    experience for a monster of the hero's level, half as much for each level
    below, and 5 for any monster 5 or more levels below; but the stronger
    monsters' critical strikes grow deadly: a hero in the best equipment
    loses roughly one fight in twenty against its own level at level 14, one
    in five from level 15. So the hero fights its own level while a death
    costs little, one level below from level 9, level 12 (two to four below,
    about one death in 10,000 fights) from level 14, and from level 17, where
    every monster that pays more than 5 is about that dangerous, level 1,
    the quickest fight."""
    if level < 9:
        return level
    if level < 14:
        return level - 1
    return 12 if level < 17 else 1


def play_to_level_twenty(runner, data, path, seed, most_answers=50000):
    """Plays a new game saved in `path` under the Node runner with --batch
    until its hero reaches level 20; the player, once the game has ended."""
    player = LevelTwentyPlayer(list_prices(os.path.join(data, "weaponlist.txt")),
                               list_prices(os.path.join(data, "armorlist.txt")))
    if os.path.exists(path):
        os.remove(path)  # a new game, not the continuation of one
    process = piped_child(["node", runner, "--batch", "--seed", str(seed), "--save", path], data)
    try:
        for _ in range(most_answers):
            reply = player.answer(read_question(process.stdout.fileno(), timeout=30))
            process.stdin.write(reply.encode() + b"\n")
            if reply == "q":
                break
        else:
            raise BenchError("no level 20 after %d answers" % most_answers)
    finally:
        finish(process)
    return player


def level_twenty_rows(runner, data, seed=7):
    """A whole game played to level 20 under Node: its fights, the level on
    its statistics screen, its save file's bytes per fight and the length of
    the share link the page gives for it."""
    import json
    import tempfile
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "level-20.save")
        player = play_to_level_twenty(runner, data, path, seed)
        with open(path, "rb") as save:
            content = save.read()
        measured = subprocess.run(["node", os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                        "share_link_length.mjs"), path],
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60, check=False)
        if measured.returncode != 0:
            raise BenchError("share_link_length.mjs failed: %s" % measured.stderr.decode())
        link = json.loads(measured.stdout)
    keys = len(content) - content.index(b"keys\n") - len(b"keys\n")
    level = player.shown_level
    return [
        ("WebAssembly under Node: a whole game played until its hero reached level 20 (seed %d)" % seed,
         "%d fights" % player.fights, "level %s on its stats screen, %d heroes lost on the way"
         % (level, player.deaths), "", "level 20", level == HIGHEST_LEVEL),
        ("WebAssembly under Node: save file of that game: bytes per fight", "%.1f B" % (keys / player.fights),
         "%d B of keys, %d B in all" % (keys, len(content)), "", "", None),
        ("WebAssembly under Node: that game's share link (#game=..., by web/share_link.js)",
         "%d characters" % link["link"],
         "the keys gzipped alone: %d B" % link["keysGzipped"], "", "<= 2,000", link["link"] <= 2000),
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
# The builds before standard output was handed over a screen at a time
# (commit f8c288c), measured once beside this one on a loaded 2-CPU machine.
NATIVE_BEFORE = {"answers_per_second": 3783, "writes_per_answer": 47.80}
WEB_WRITES_BEFORE = 54.78


def per_answer(writes, handled):
    return writes / handled if writes is not None and handled else float("nan")


def node_answer_rates(runners, data, answers, rounds=5):
    """Piped answers per second under Node for each runner, their sessions
    taken in turn so that every runner sees the same machine: the median
    rate by the clock, and by the processor time Node used, which other work
    on the machine disturbs less; the number of answers, and the median
    write calls per answer."""
    rates = [[] for _ in runners]
    for _ in range(rounds):
        for index, runner in enumerate(runners):
            # --batch: no pauses between rounds, as the native session's preload does.
            handled, elapsed, _, cpu, writes = piped_session(["node", runner, "--batch"], data, None, answers)
            rates[index].append((handled / elapsed if elapsed > 0 else 0.0, handled / cpu if cpu else 0.0, handled,
                                 per_answer(writes, handled)))
    return [(statistics.median(run[0] for run in runs), statistics.median(run[1] for run in runs), runs[0][2],
             statistics.median(run[3] for run in runs)) for runs in rates]


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
    rate, cpu_rate, handled, writes = rates[0]
    if before_runner:
        before_code = wasm_code(before_runner)
        before = {"wasm": len(before_code), "wasm_gz": len(gzip.compress(before_code, 6)),
                  "answers_per_second": rates[1][0], "answers_per_cpu_second": rates[1][1]}
        when = "measured now"
        writes_before, writes_when = rates[1][3], when
    else:
        before, when = WEB_BEFORE, "measured once"
        writes_before, writes_when = WEB_WRITES_BEFORE, "f8c288c, measured once"
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
        ("WebAssembly under Node: write calls per answer (the same sessions)", "%.2f" % writes,
         "before: %.2f (%s)" % (writes_before, writes_when), "", "<= 3", writes <= 3),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--game-before", help="an older build of the game, to measure its piped answers beside it")
    parser.add_argument("--baseline", required=True)
    parser.add_argument("--shim", required=True, help="the preload library that skips sleeps")
    parser.add_argument("--data", required=True, help="directory of weaponlist.txt and armorlist.txt")
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--answers", type=int, default=20000)
    parser.add_argument("--idle-seconds", type=float, default=3.0)
    parser.add_argument("--pauses", type=int, default=10, help="pauses between rounds to measure")
    parser.add_argument("--web-runner", help="the WebAssembly build's brawlarium.js, to measure under Node")
    parser.add_argument("--web-runner-before", help="an older build's brawlarium.js, to measure beside it")
    parser.add_argument("--saved-games-only", action="store_true",
                        help="measure only the saved games: continuing one, and with --web-runner a game to level 20")
    args = parser.parse_args()
    game = os.path.abspath(args.game)
    baseline = os.path.abspath(args.baseline)
    shim = os.path.abspath(args.shim)
    data = os.path.abspath(args.data)

    if args.saved_games_only:
        print_table(saved_games_rows(game, args.web_runner, data))
        return 0
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

    # The long piped session, three times, in turn with the build before when
    # it is given: its rate and write calls (the median run), and its peak
    # memory (the highest) next to the baseline's.
    before_game = os.path.abspath(args.game_before) if args.game_before else None
    sessions, before_sessions = [], []
    for _ in range(3):
        sessions.append(piped_session(game, data, shim, args.answers))
        if before_game:
            before_sessions.append(piped_session(before_game, data, shim, args.answers))
    sessions.sort(key=lambda run: run[0] / run[1] if run[1] > 0 else 0.0)
    before_sessions.sort(key=lambda run: run[0] / run[1] if run[1] > 0 else 0.0)
    handled, elapsed, _, _, writes = sessions[1]
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
    if before_sessions:
        before_handled, before_elapsed, _, _, before_writes = before_sessions[1]
        before_rate = before_handled / before_elapsed if before_elapsed > 0 else 0.0
        before_writes = per_answer(before_writes, before_handled)
        when = "measured now"
    else:
        before_rate, before_writes = NATIVE_BEFORE["answers_per_second"], NATIVE_BEFORE["writes_per_answer"]
        when = "f8c288c, measured once"
    speed_up = rate / before_rate if before_rate > 0 else float("nan")
    rows.append(("answers handled per second (%d piped answers, median of 3)" % handled,
                 "%.0f /s" % rate, "before: %.0f /s (%s)" % (before_rate, when), "x%.2f" % speed_up,
                 ">= x5", speed_up >= 5))
    rows.append(("write calls per answer (the same sessions)", "%.2f" % per_answer(writes, handled),
                 "before: %.2f (%s)" % (before_writes, when), "", "<= 2", per_answer(writes, handled) <= 2))

    if args.web_runner:
        before = os.path.abspath(args.web_runner_before) if args.web_runner_before else None
        rows += web_rows(os.path.abspath(args.web_runner), data, min(args.runs, 10), args.answers, before)
        rows += saved_games_rows(None, args.web_runner, data)

    print_table(rows)
    if handled < args.answers:
        print("bench: the piped session handled only %d of %d answers" % (handled, args.answers),
              file=sys.stderr)
        return 1
    return 0


def saved_games_rows(game, web_runner, data):
    """Continuing a saved game natively when `game` is given; with the
    WebAssembly build's runner, under Node, and a whole game to level 20."""
    rows = saved_game_rows([game], data, "") if game else []
    if web_runner:
        runner = os.path.abspath(web_runner)
        rows += saved_game_rows(["node", runner], data, "WebAssembly under Node: ")
        rows += level_twenty_rows(runner, data)
    return rows


def print_table(rows):
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


if __name__ == "__main__":
    try:
        sys.exit(main())
    except BenchError as error:
        print("bench: %s" % error, file=sys.stderr)
        sys.exit(1)
