"""The live progress line: drawn where a person watches a terminal, erased
before every message, absent through a pipe."""
import os
import re
import subprocess

import pytest

from conftest import ROOT, Target

LIVE = re.compile(r"\r([^\r\n]*)\x1b\[K")


def run_on_terminal(target, args, env):
    """Standard output of a run on a pseudo-terminal, as the terminal received it."""
    leader, follower = os.openpty()
    proc = subprocess.Popen(target.command(args), stdin=subprocess.DEVNULL, stdout=follower,
                            stderr=subprocess.DEVNULL, env=target.env(**env))
    os.close(follower)
    chunks = []
    while True:
        try:
            chunk = os.read(leader, 65536)
        except OSError:   # the terminal is gone once the program has ended
            break
        if not chunk:
            break
        chunks.append(chunk)
    os.close(leader)
    assert proc.wait(timeout=120) == 0
    return b"".join(chunks).decode("latin-1").replace("\r\n", "\n")


def stamps_out(text):
    return re.sub(r"\d{8}-\d{6}", "<stamp>", text)


def test_live_line_on_a_terminal_only(tmp_path, dmi):
    native = Target("native")
    if not native.exe.exists():
        pytest.fail(f"{native.exe} is not built: run scripts/build.sh")
    env = {"VANT_SP_IMAGE": str(ROOT / "examples" / "dot-two-processors.img"), "WYX_DMI_DIR": str(dmi)}
    args = ["/b", "/v", "/c", "/d"]
    shown = run_on_terminal(native, args + [str(tmp_path / "tty")], env)
    piped = native.run(args + [str(tmp_path / "pipe")], env=env)
    assert piped.returncode == 0
    assert "\x1b" not in piped.stdout and "\r" not in piped.stdout

    lines = [m.group(1) for m in LIVE.finditer(shown)]
    steps = {line.rsplit(":", 1)[0] for line in lines if line}
    assert steps >= {"  processor 1 log, entries read", "  processor 2 log, entries read",
                     "  XML file, bytes written", "  HTML pages written"}, lines
    # Each drawn line is erased (an empty live line) before the next message.
    assert re.search(r"\r  processor 2 log, entries read: \d+\x1b\[K(\r[^\r\n]*\x1b\[K)*\r\x1b\[K   \w+: ",
                     shown), shown
    # Without the live lines the terminal shows exactly what a pipe receives.
    assert stamps_out(LIVE.sub("", shown)) == stamps_out(piped.stdout.replace("pipe", "tty"))
