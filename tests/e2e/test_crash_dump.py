"""A collector that faults during its query: OSK_Core.dmp in the output
directory, the messages, and the console log left on disk."""
import os
import re
import shutil
import signal

import pytest

OPENING = "\nAn error occured during the execution of OSK, saving debugging information."
FINISHED = "OSK finished; exiting.\n"
# The crashing fixture collects this class in the first pass, so the query
# manager calls it.
CRASHER_SCHEMA = """<?xml version="1.0" encoding="UTF-8"?>
<CIM CIMVERSION="2.0" DTDVERSION="2.2">
<DECLARATION>
<DECLGROUP>
<VALUE.OBJECT>
  <CLASS NAME="VARNSG_CrasherFault">
    <QUALIFIER NAME="Provider" TYPE="string"><VALUE>fixture_crasher</VALUE></QUALIFIER>
    <QUALIFIER NAME="ProviderPass" TYPE="uint16"><VALUE>0</VALUE></QUALIFIER>
    <PROPERTY NAME="Name" TYPE="string"/>
  </CLASS>
</VALUE.OBJECT>
</DECLGROUP>
</DECLARATION>
</CIM>
"""


@pytest.fixture
def tree(target, tmp_path):
    """A copy of the built tree with its own plug-ins and the crashing collector."""
    tree = target.copy_tree(tmp_path / "bin", fixtures=["fixture_crasher"], fixture_schema=False)
    (tree.bin / "schema" / "zz_crasher.xml").write_text(CRASHER_SCHEMA)
    return tree


def crash(tree, out, env=None):
    return tree.run(["/b", "/d", tree.path(out)], env=env)


def dump_header(tree):
    return b"MDMP" if tree.windows else b"OSK_Core crash dump\n"


def test_crash_leaves_dump_message_and_console_log(tree, tmp_path):
    out = tmp_path / "out"
    out.mkdir()
    result = crash(tree, out)
    dump_path = tree.path(out) + tree.sep + "OSK_Core.dmp"

    saved = OPENING + "\nSaved debugging file to '" + dump_path + "'"
    assert saved in result.stdout
    if tree.windows:
        # The thread's last error follows a successful dump too, whatever it is then.
        assert re.search(re.escape(saved) + r"\n\[Win32 Error: \d+(: [^\]\n]*)?\]", result.stdout), result.stdout
    # What the console showed before the crash is not lost on the way out.
    assert "\nRunning collector plug-ins pass 1.\n" in result.stdout.split(OPENING)[0]
    assert FINISHED not in result.stdout
    if tree.windows:
        assert result.returncode not in (0, 1)
    else:
        assert result.returncode == -signal.SIGSEGV
    dump = (out / "OSK_Core.dmp").read_bytes()
    assert dump.startswith(dump_header(tree))
    if not tree.windows:
        text = dump.decode("latin-1")
        for part in ("Signal: 11 (SIGSEGV)", "Fault address: 0x0\n", "\nBacktrace:\n", "\nModules:\n",
                     "fixture_crasher" + tree.ext):
            assert part in text
    logs = list(out.glob("OSK_Output_*.txt"))
    assert len(logs) == 1
    assert tree.nl("Logging console output to file ") in logs[0].read_bytes().decode("latin-1")


def test_second_crash_replaces_the_dump(tree, tmp_path):
    out = tmp_path / "out"
    out.mkdir()
    crash(tree, out)
    first = (out / "OSK_Core.dmp").read_bytes()
    crash(tree, out)
    second = (out / "OSK_Core.dmp").read_bytes()
    assert second.startswith(dump_header(tree))
    assert second.count(dump_header(tree)) == 1
    assert second != first


@pytest.mark.parametrize("how", ["dump_name_taken_by_a_directory", "read_only_directory"])
def test_dump_that_cannot_be_created(tree, tmp_path, how):
    out = tmp_path / "out"
    out.mkdir()
    if how == "dump_name_taken_by_a_directory":
        (out / "OSK_Core.dmp").mkdir()
    else:
        if os.geteuid() == 0:
            pytest.skip("permissions do not bind root")
        out.chmod(0o555)
    try:
        result = crash(tree, out)
    finally:
        out.chmod(0o755)
    dump_path = tree.path(out) + tree.sep + "OSK_Core.dmp"
    assert OPENING + "\nFailed to create debugging file '" + dump_path + "'" in result.stdout
    assert "Saved debugging file" not in result.stdout
    assert FINISHED not in result.stdout
    assert not (out / "OSK_Core.dmp").is_file()


def test_crash_before_the_handler_is_installed_leaves_no_dump(tree, tmp_path):
    out = tmp_path / "out"
    out.mkdir()
    result = crash(tree, out, {"CRASHER_AT_LOAD": "1"})
    assert OPENING not in result.stdout
    assert result.returncode != 0
    assert list(out.iterdir()) == []


def test_debugging_library_beside_the_program_comes_first(tree, tmp_path):
    if not tree.windows:
        pytest.skip("the debugging library is a Windows matter")
    # A library that lacks MiniDumpWriteDump, under the debugging library's name.
    shutil.copy(tree.bin / "libwinpthread-1.dll", tree.bin / "DBGHELP.DLL")
    out = tmp_path / "out"
    out.mkdir()
    # Wine would otherwise prefer its own built-in library.
    result = crash(tree, out, {"WINEDLLOVERRIDES": "mscoree,mshtml=;dbghelp=n,b"})
    assert (OPENING + "\nFailed to save debugging file, incompatible dbghelp.dll loaded"
            + "\n[Win32 Error: 127: ") in result.stdout
    assert not (out / "OSK_Core.dmp").exists()
