"""A collector that faults during its query: OSK_Core.dmp in the output
directory, the messages, and the console log left on disk."""
import os
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
def crash_env(target, tmp_path):
    """Environment of a run with the tree's plug-ins and the crashing collector."""
    plugins = target.plugin_dir(tmp_path, *[p.name[:-len(target.ext)] for p in (target.bin / "plugins").iterdir()
                                            if p.name.endswith(target.ext)], fixtures=["fixture_crasher"])
    for extra in (target.bin / "plugins").glob("*.txt"):
        shutil.copy(extra, plugins)
    schema = tmp_path / "schema"
    shutil.copytree(target.bin / "schema", schema)
    (schema / "zz_crasher.xml").write_text(CRASHER_SCHEMA)
    return {"WYX_PLUGIN_DIR": target.path(plugins), "WYX_SCHEMA_DIR": target.path(schema)}


def crash(target, out, env, bin_copy=None):
    args = ["/b", "/d", target.path(out)]
    if bin_copy is None:
        return target.run(args, env=env)
    # A copy of the tree: the program's own directory is under test.
    saved = target.exe
    target.exe = bin_copy / target.exe.name
    try:
        return target.run(args, env=env)
    finally:
        target.exe = saved


def dump_header(target):
    return b"MDMP" if target.windows else b"OSK_Core crash dump\n"


def test_crash_leaves_dump_message_and_console_log(target, tmp_path, crash_env):
    out = tmp_path / "out"
    out.mkdir()
    result = crash(target, out, crash_env)
    dump_path = target.path(out) + target.sep + "OSK_Core.dmp"

    assert OPENING + "\nSaved debugging file to '" + dump_path + "'" in result.stdout
    assert FINISHED not in result.stdout
    if target.windows:
        assert result.returncode not in (0, 1)
    else:
        assert result.returncode == -signal.SIGSEGV
    dump = (out / "OSK_Core.dmp").read_bytes()
    assert dump.startswith(dump_header(target))
    if not target.windows:
        text = dump.decode("latin-1")
        for part in ("Signal: 11 (SIGSEGV)", "Fault address: 0x0\n", "\nBacktrace:\n", "\nModules:\n",
                     "fixture_crasher" + target.ext):
            assert part in text
    logs = list(out.glob("OSK_Output_*.txt"))
    assert len(logs) == 1
    assert target.nl("Logging console output to file ") in logs[0].read_bytes().decode("latin-1")


def test_second_crash_replaces_the_dump(target, tmp_path, crash_env):
    out = tmp_path / "out"
    out.mkdir()
    crash(target, out, crash_env)
    first = (out / "OSK_Core.dmp").read_bytes()
    crash(target, out, crash_env)
    second = (out / "OSK_Core.dmp").read_bytes()
    assert second.startswith(dump_header(target))
    assert second.count(dump_header(target)) == 1
    assert second != first


@pytest.mark.parametrize("how", ["dump_name_taken_by_a_directory", "read_only_directory"])
def test_dump_that_cannot_be_created(target, tmp_path, crash_env, how):
    out = tmp_path / "out"
    out.mkdir()
    if how == "dump_name_taken_by_a_directory":
        (out / "OSK_Core.dmp").mkdir()
    else:
        if os.geteuid() == 0:
            pytest.skip("permissions do not bind root")
        out.chmod(0o555)
    try:
        result = crash(target, out, crash_env)
    finally:
        out.chmod(0o755)
    dump_path = target.path(out) + target.sep + "OSK_Core.dmp"
    assert OPENING + "\nFailed to create debugging file '" + dump_path + "'" in result.stdout
    assert "Saved debugging file" not in result.stdout
    assert FINISHED not in result.stdout
    assert not (out / "OSK_Core.dmp").is_file()


def test_crash_before_the_handler_is_installed_leaves_no_dump(target, tmp_path, crash_env):
    out = tmp_path / "out"
    out.mkdir()
    result = crash(target, out, dict(crash_env, CRASHER_AT_LOAD="1"))
    assert OPENING not in result.stdout
    assert result.returncode != 0
    assert list(out.iterdir()) == []


def test_debugging_library_beside_the_program_comes_first(target, tmp_path, crash_env):
    if not target.windows:
        pytest.skip("the debugging library is a Windows matter")
    copy = tmp_path / "bin"
    shutil.copytree(target.bin, copy)
    # A library that lacks MiniDumpWriteDump, under the debugging library's name.
    shutil.copy(copy / "libwinpthread-1.dll", copy / "DBGHELP.DLL")
    out = tmp_path / "out"
    out.mkdir()
    env = dict(crash_env, WINEDLLOVERRIDES="mscoree,mshtml=;dbghelp=n,b")
    result = crash(target, out, env, bin_copy=copy)
    assert (OPENING + "\nFailed to save debugging file, incompatible dbghelp.dll loaded"
            + "\n[Win32 Error: 127: ") in result.stdout
    assert not (out / "OSK_Core.dmp").exists()
