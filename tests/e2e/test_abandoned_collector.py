"""A collector abandoned past its time bound that wakes later: while the
outputs are written, at the end of the run, in an error stop, or (natively)
from an exit handler once the program's objects are destroyed. Every time the
run ends as it would without the hang: its status, its messages, its outputs,
no crash dump and no sanitizer report."""
import subprocess
import threading
import time

import pytest

from cimxml import of_class, read_instances

RUNS = 20
ABANDONED = "Collector Fixture Gate did not finish within 0.3 seconds and was abandoned"
FAULT = "An error occured during the execution of OSK"
SANITIZER = ("AddressSanitizer", "UndefinedBehaviorSanitizer", "runtime error:", "LeakSanitizer",
             "pure virtual")

# case: (arguments after the output directory, the line whose start opens the
# gate (None: the preloaded exit handler opens it), the exit status).
CASES = {
    "during_the_writers": (["/v", "/text"], "Writing HTML files", 0),
    "at_the_end": (["/v", "/text"], "OSK finished; exiting.", 0),
    # dir_temp.xml.gz is a directory there: the XML write fails, the run stops.
    "in_an_error_stop": (None, "ERROR: Couldn't write XML file.", 1),
    "from_an_exit_handler": (["/v", "/text"], None, 0),
}


def opener(target):
    return target.build / "fixtures" / "libfixture_exit_gate_opener.so"


def one_run(tree, target, tmp_path, i, args, wake_at):
    out = tmp_path / f"out{i}"
    out.mkdir()
    gate = tmp_path / f"gate{i}"
    gate.write_text("closed")
    d = tree.path(out)
    if args is None:
        (out / "dir_temp.xml.gz").mkdir()
        command = ["dirmode", d]
    else:
        command = ["/b", "/d", d] + args
    env = tree.env(SYSTEMDRIVE="C:", WYX_COLLECTOR_TIMEOUT="0.3", FIXTURE_GATE=tree.path(gate))
    if wake_at is None:
        env["LD_PRELOAD"] = str(opener(target))
        env["ASAN_OPTIONS"] = "verify_asan_link_order=0"
    proc = subprocess.Popen(tree.command(command), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env)
    lines = []

    def watch():
        for raw in proc.stdout:
            line = raw.decode("latin-1").replace("\r\n", "\n")
            lines.append(line)
            if wake_at is not None and line.startswith(wake_at) and gate.exists():
                gate.unlink()

    watcher = threading.Thread(target=watch)
    watcher.start()
    try:
        stderr = proc.stderr.read().decode("latin-1")
        proc.wait(timeout=120)
    finally:
        if proc.poll() is None:
            proc.kill()
        watcher.join()
    # The gate fixture's thread may still be polling when the process ends; a
    # gate left closed does not keep anything waiting.
    if gate.exists():
        gate.unlink()
    return proc.returncode, "".join(lines), stderr, out


@pytest.mark.parametrize("case", sorted(CASES))
def test_an_abandoned_collector_that_wakes_late_costs_nothing(target, tmp_path, case):
    args, wake_at, status = CASES[case]
    if wake_at is None and target.windows:
        pytest.skip("an exit handler preloaded into the process exists natively only")
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml", "html", "text"],
                            fixtures=["fixture_gate"])
    for i in range(RUNS):
        code, stdout, stderr, out = one_run(tree, target, tmp_path, i, args, wake_at)
        where = f"run {i}: {stdout}{stderr}"
        assert code == status, where
        assert FAULT not in stdout, where
        assert not any(s in stderr for s in SANITIZER), where
        assert not (out / "OSK_Core.dmp").exists(), where
        assert not list(out.glob("*.tmp")), where
        if status == 0:
            assert stdout.endswith("OSK finished; exiting.\n"), where
            xml, = out.glob("*.xml.gz")
            instances = read_instances(xml)
            errors = [r["Message"] for r in of_class(instances, "VARNSG_OSKLogRecord") if r["Type"] == "0"]
            assert errors == [ABANDONED], where
            assert of_class(instances, "VARNSG_FixtureGate") == [], where
            assert len(list(out.glob("*.txt"))) == 1 and len([p for p in out.iterdir() if p.is_dir()]) == 1, where
        else:
            assert stdout.endswith("ERROR: Couldn't write XML file.\n"), where
            assert sorted(p.name for p in out.iterdir()) == ["dir_temp.xml.gz"], where
