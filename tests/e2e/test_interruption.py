"""Runs killed at random points (SIGKILL; under Wine the Windows process dies
with its Unix process). Whatever the moment, each output name holds either
the complete previous output or a complete new one or nothing, and the console
log file holds every message written before the kill, whole."""
import gzip
import os
import random
import re
import shutil
import signal
import subprocess
import time
import xml.etree.ElementTree as ET

import pytest

KILLS = 10         # per scenario and target
STAMP = re.compile(r"\d{8}-\d{6}")

SCENARIOS = {
    # Always the same output name: a previous output is there to be kept.
    "dirmode": lambda d: ["dirmode", d],
    # Every output and the dump file rewritten after each collector.
    "all_outputs": lambda d: ["/b", "/dumpxml", "/v", "/text", "/d", d],
}


def text_of(data):
    return STAMP.sub("STAMP", data.decode("latin-1").replace("\r\n", "\n"))


def console_log(out):
    logs = list(out.glob("OSK_Output_*.txt"))
    assert len(logs) <= 1, logs
    return logs[0] if logs else None


def read_log(out):
    log = console_log(out)
    try:
        return log.read_bytes() if log else None
    except FileNotFoundError:          # deleted at the normal end meanwhile
        return None


def assert_complete_xml(path):
    """A whole compressed CIM-XML file of a run: the gzip stream ends, the
    document parses, and it holds the run log's instance."""
    root = ET.fromstring(gzip.decompress(path.read_bytes()))
    classes = [i.get("CLASSNAME") for i in root.iter("INSTANCE")]
    assert "VARNSG_OSKMessageLog" in classes, path


def assert_complete_report(path):
    text = path.read_bytes()
    assert text.endswith(b"\n") and b"VARNSG_OSKLogRecord" in text, path


def assert_complete_pages(directory):
    """Every page whole; the index is written last, so with it every page it
    links is there."""
    for page in directory.glob("*.html"):
        assert page.read_bytes().rstrip().endswith(b"</html>"), page
    index = directory / "index.html"
    if index.exists():
        links = set(re.findall(r'href="([^"#?/:]+\.html)"', index.read_text(encoding="latin-1")))
        assert links and all((directory / link).exists() for link in links), links


def assert_complete_outputs(out):
    for f in out.iterdir():
        if f.name.endswith(".tmp"):
            continue                    # a write cut short: a name of its own, no output's
        if f.name.endswith(".xml.gz"):
            assert_complete_xml(f)
        elif f.name.endswith(".txt") and not f.name.startswith("OSK_Output_"):
            assert_complete_report(f)
        elif f.is_dir():
            assert_complete_pages(f)


def start(tree, args, env):
    return subprocess.Popen(tree.command(args), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, env=env)


def wait_for(path, proc):
    deadline = time.time() + 120
    while not path.exists() and proc.poll() is None and time.time() < deadline:
        time.sleep(0.002)
    assert path.exists(), "the run never reached the gate"


class Gate:
    """The gate collector of the tree holds a run in pass 1 while the gate file
    exists; kill points after its release fall into the collection, the run
    log and the writing of every output."""

    def __init__(self, tmp_path, tree):
        self.path = tmp_path / "gate"
        self.reached = tmp_path / "gate.reached"
        self.env_value = tree.path(self.path)

    def close(self):
        self.path.write_text("closed")
        if self.reached.exists():
            self.reached.unlink()

    def open(self):
        self.path.unlink()


def timed_run(tree, args, env, gate):
    """A complete run: its standard output, the time to the gate and the time
    from the gate's release to the end."""
    gate.close()
    began = time.time()
    proc = start(tree, args, env)
    wait_for(gate.reached, proc)
    reached = time.time()
    gate.open()
    stdout, _ = proc.communicate(timeout=300)
    assert proc.returncode == 0
    return stdout, reached - began, time.time() - reached


def kill_at(proc, out, gate, rng, before, after):
    """Kills the run at a random time before the gate, or at a random time
    after its release. Returns the console log's content last seen before."""
    if rng.random() < 0.25:
        time.sleep(rng.uniform(0, before))
    else:
        wait_for(gate.reached, proc)
        gate.open()
        time.sleep(rng.uniform(0, after))
    seen = read_log(out) or b""
    proc.kill()
    proc.communicate(timeout=120)
    return seen


@pytest.mark.parametrize("scenario", sorted(SCENARIOS))
def test_a_killed_run_leaves_whole_outputs_and_its_transcript(target, tmp_path, dmi, scenario):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml", "html", "text"],
                            fixtures=["fixture_collector", "fixture_gate"])
    gate = Gate(tmp_path, tree)
    out = tmp_path / "out"
    out.mkdir()
    args = SCENARIOS[scenario](tree.path(out))
    env = tree.env(SYSTEMDRIVE="C:", WYX_DMI_DIR=tree.path(dmi), FIXTURE_GATE=gate.env_value)

    # A complete run: every killed run's console log is a prefix of its transcript.
    stdout, before, after = timed_run(tree, args, env, gate)
    transcript = text_of(stdout)
    assert transcript.endswith("OSK finished; exiting.\n")
    assert_complete_outputs(out)
    previous = {f.name: f.read_bytes() for f in out.glob("*.xml.gz")}
    assert len(previous) == 1

    rng = random.Random("%s-%s" % (tree.name, scenario))
    for _ in range(KILLS):
        gate.close()
        proc = start(tree, args, env)
        seen = kill_at(proc, out, gate, rng, before, after)
        log = console_log(out)
        if log is None:
            # Killed before the log was opened, or the run ended in order before
            # the kill (perhaps after seen was read): then seen is a prefix.
            assert not seen or (proc.returncode == 0 and transcript.startswith(text_of(seen)))
        else:
            content = log.read_bytes()
            assert content.startswith(seen)
            assert transcript.startswith(text_of(content))
            assert content == b"" or content.endswith(b"\n")
            log.unlink()
        for name, data in previous.items():
            kept = out / name
            assert kept.exists(), name
            if kept.read_bytes() != data:
                assert_complete_xml(kept)
        assert_complete_outputs(out)
        for f in out.iterdir():
            if f.is_dir():
                shutil.rmtree(f)
            elif f.name not in previous:
                f.unlink()
        previous = {name: (out / name).read_bytes() for name in previous}


def test_console_text_reaches_a_pipe_as_it_is_written(target, tmp_path, dmi):
    """What was shown before a stall (or a crash) is with the reader already:
    the Windows build used to hold a pipe's text until the end."""
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"], fixtures=["fixture_gate"])
    gate = Gate(tmp_path, tree)
    out = tmp_path / "out"
    env = tree.env(SYSTEMDRIVE="C:", WYX_DMI_DIR=tree.path(dmi), FIXTURE_GATE=gate.env_value)
    gate.close()
    proc = start(tree, ["/b", "/c", "/d", tree.path(out)], env)
    try:
        wait_for(gate.reached, proc)
        os.set_blocking(proc.stdout.fileno(), False)
        received = b""
        deadline = time.time() + 30
        while b"Running collector plug-ins pass 1." not in received and time.time() < deadline:
            received += proc.stdout.read() or b""
            time.sleep(0.01)
        assert "Running collector plug-ins pass 1.\n" in text_of(received), received
    finally:
        gate.open()
        proc.communicate(timeout=300)
    assert proc.returncode == 0


INTERRUPTS = 10    # per signal and target
# Each row: a signal, and how the run ends on each target when the signal
# comes before the orderly end. Native only for now: Wine ends a program on
# SIGTERM without telling it, as a kill; SIGINT it turns into the console's
# Ctrl-C event (STATUS_CONTROL_C_EXIT, 58 in the low byte), but within this
# suite's Wine session about one interruption in ten still leaves the console
# log, a fault not yet explained.
INTERRUPTIONS = {
    "SIGTERM": (signal.SIGTERM, {"native": -signal.SIGTERM}),
    "SIGINT": (signal.SIGINT, {"native": -signal.SIGINT}),
}


@pytest.mark.parametrize("name", sorted(INTERRUPTIONS))
def test_an_interrupted_run_removes_its_temporaries_and_console_log(target, tmp_path, dmi, name):
    """Interrupted at random points (held at the gate, or after its release:
    the collection, the run log, every write): the run dies of the
    interruption, every output name holds the previous output, a complete new
    one or nothing, and no temporary file or directory and no console log is
    left."""
    signum, status = INTERRUPTIONS[name]
    expected = status.get("windows" if target.windows else "native")
    if expected is None:
        pytest.skip("see INTERRUPTIONS")
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml", "html", "text"],
                            fixtures=["fixture_collector", "fixture_gate"])
    gate = Gate(tmp_path, tree)
    out = tmp_path / "out"
    out.mkdir()
    args = SCENARIOS["all_outputs"](tree.path(out))
    env = tree.env(SYSTEMDRIVE="C:", WYX_DMI_DIR=tree.path(dmi), FIXTURE_GATE=gate.env_value)
    _, before, after = timed_run(tree, args, env, gate)
    previous = {f.name: f.read_bytes() for f in out.glob("*.xml.gz")}
    rng = random.Random("%s-%s" % (tree.name, name))
    for round in range(INTERRUPTS):
        gate.close()
        proc = start(tree, args, env)
        if round % 4 == 0:
            wait_for(gate.reached, proc)            # held, the console log open
        else:
            wait_for(gate.reached, proc)
            gate.open()
            time.sleep(rng.uniform(0, after))
        proc.send_signal(signum)
        stdout, _ = proc.communicate(timeout=120)
        finished = text_of(stdout).endswith("OSK finished; exiting.\n")
        assert proc.returncode == expected or (finished and proc.returncode == 0), (round, proc.returncode)
        # The dump file (OSK_Output_<stamp>.xml.gz) is an output, whole: it may stay.
        left = sorted(f.name for f in out.iterdir() if f.name.endswith(".tmp") or f.match("OSK_Output_*.txt"))
        assert left == [], (round, left, proc.returncode, text_of(stdout)[-300:])
        for name_, data in previous.items():
            assert (out / name_).exists(), name_
            if (out / name_).read_bytes() != data:
                assert_complete_xml(out / name_)
        assert_complete_outputs(out)
        if gate.path.exists():
            gate.open()
        for f in out.iterdir():
            if f.is_dir():
                shutil.rmtree(f)
            elif f.name not in previous:
                f.unlink()
        previous = {n: (out / n).read_bytes() for n in previous}
