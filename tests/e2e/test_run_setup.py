"""Run set-up as a user meets it: the output directory, the console log file,
the writer checks and the option checks."""
import datetime
import os
import shutil
import subprocess
import time

import re

import pytest

from runs import BANNER, PROMPT, split_setup
from test_command_line import usage


@pytest.fixture
def plugins(target, tmp_path):
    return target.plugin_dir(tmp_path, fixtures=["fixture_html", "fixture_xml", "fixture_text",
                                                 "fixture_kalvix"])


def run(target, plugin_dir, args, env=None, **kw):
    e = {"WYX_PLUGIN_DIR": target.path(plugin_dir), "SYSTEMDRIVE": "C:"}
    e.update(env or {})
    return target.run(args, env=e, **kw)


CHECKS = [
    (["/t", "/x"], "ERROR: /t requires a compressed XML file be generated.  You can't specify\n"
                   "both /t and /x.\n\n"),
    (["/t", "/x", "/dumpxml", "/v"], "ERROR: /t requires a compressed XML file be generated.  You can't specify\n"
                                     "both /t and /x.\n\n"),
    (["/dumpxml", "/i", "f"], "ERROR: /dumpxml can't be used with /x or /i.\n\n"),
    (["/dumpxml", "/x", "/v"], "ERROR: /dumpxml can't be used with /x or /i.\n\n"),
    (["/x"], "ERROR: You should specify /v with /x.  Using /x alone will result in no output.\n\n"),
]


@pytest.mark.parametrize("args, message", CHECKS)
def test_option_checks_show_their_message_and_the_usage(target, plugins, tmp_path, args, message):
    out = tmp_path / "out"
    out.mkdir()
    result = run(target, plugins, args + ["/d", target.path(out)], input=b"\n")
    _, rest = split_setup(target, result, target.path(out))
    assert rest == message + usage(target, target.path(target.exe)) + PROMPT
    assert result.returncode == 1
    assert list(out.iterdir()) == []          # the console log file is gone


@pytest.mark.parametrize("args", [["/x", "/v"], ["/x", "/text"], ["/dumpxml"]])
def test_accepted_combinations_pass_the_checks(target, plugins, tmp_path, args):
    out = tmp_path / "out"
    out.mkdir()
    result = run(target, plugins, args + ["/b", "/d", target.path(out)])
    _, rest = split_setup(target, result, target.path(out))
    assert "ERROR: You should" not in rest and "can't be used" not in rest
    # No "System" plug-in in this directory: the run stops at collection.
    assert rest.endswith("Running collector plug-ins pass 1.\nERROR: System plug-in not found\n")
    assert result.returncode == 1


def test_c_without_d(target, plugins):
    result = run(target, plugins, ["/c"], input=b"\n")
    assert result.stdout == (BANNER + "Loading plug-ins.\n"
                             + "ERROR: If you specify /c, you must also specify a directory with /d.\n\n"
                             + usage(target, target.path(target.exe)) + PROMPT)
    assert result.returncode == 1


def test_a_missing_directory_without_c_stops_without_a_console_log(target, plugins, tmp_path):
    missing = tmp_path / "missing"
    result = run(target, plugins, ["/b", "/d", target.path(missing)])
    assert result.stdout == (BANNER + "Loading plug-ins.\n"
                             + "Directory '" + target.path(missing) + "' doesn't exist.\n"
                             + "Specify /c to have it created.\n")
    assert result.returncode == 1
    assert not missing.exists()


def test_c_creates_every_missing_level(target, plugins, tmp_path):
    nested = tmp_path / "a" / "b" / "c"
    result = run(target, plugins, ["/b", "/x", "/c", "/d", target.path(nested)])
    split_setup(target, result, target.path(nested))
    assert nested.is_dir()


def test_a_trailing_separator_is_kept_in_file_names(target, plugins, tmp_path):
    out = tmp_path / "out"
    out.mkdir()
    given = target.path(out) + target.sep
    result = run(target, plugins, ["/b", "/x", "/d", given])
    split_setup(target, result, given)       # ".../out//OSK_Output_..." with two separators


def test_the_default_directory_is_created_without_c(target, plugins, tmp_path):
    if target.windows:
        default = target.build / "wineprefix" / "drive_c" / "VARN_Support"
        result = run(target, plugins, ["/b", "/x"])
        split_setup(target, result, "C:\\VARN_Support")
    else:
        default = tmp_path / "VARN_Support"
        result = run(target, plugins, ["/b", "/x"], env={"SYSTEMDRIVE": str(tmp_path)})
        split_setup(target, result, str(default))
    assert default.is_dir()
    assert result.returncode == 1


def test_an_invalid_directory_name(target, plugins, tmp_path):
    bad = "Z:\\bad<|>dir" if target.windows else str(tmp_path / ("x" * 5000))
    result = run(target, plugins, ["/b", "/d", bad])
    assert result.stdout == BANNER + "Loading plug-ins.\n" + "ERROR: Invalid directory '" + bad + "' specified.\n"
    assert result.returncode == 1


def test_a_directory_that_cannot_be_created(target, plugins, tmp_path):
    blocker = tmp_path / "file"
    blocker.write_text("a file where a directory should be")
    wanted = blocker / "sub"
    result = run(target, plugins, ["/b", "/c", "/d", target.path(wanted)])
    assert result.stdout == (BANNER + "Loading plug-ins.\n"
                             + "Couldn't create directory '" + target.path(wanted) + "'.\n")
    assert result.returncode == 1


@pytest.mark.parametrize("fixtures, args, message", [
    (["fixture_html", "fixture_text", "fixture_kalvix"], [], "ERROR: Couldn't find XML plug-in.\n"),
    (["fixture_html", "fixture_text", "fixture_kalvix"], ["/website", "/i", "a.xml"],
     "ERROR: Couldn't find XML plug-in.\n"),
    (["fixture_xml", "fixture_html"], ["/u", "cd", "/v", "/text"], "ERROR: Couldn't find Kalvix plug-in.\n"),
    (["fixture_xml", "fixture_text"], ["/v", "/text"], "ERROR: Couldn't find HTML plug-in.\n"),
    (["fixture_xml", "fixture_html"], ["/v", "/text"], "ERROR: Couldn't find Text plug-in.\n"),
    # The writer checks come before the option checks.
    (["fixture_html"], ["/t", "/x"], "ERROR: Couldn't find HTML plug-in.\n"[0:0] + "ERROR: /t requires"),
])
def test_missing_writers_stop_the_run(target, tmp_path, fixtures, args, message):
    d = target.plugin_dir(tmp_path, fixtures=fixtures)
    out = tmp_path / "out"
    out.mkdir()
    result = run(target, d, args + ["/b", "/d", target.path(out)])
    _, rest = split_setup(target, result, target.path(out))
    if message.endswith("\n"):
        assert rest == message
    else:
        assert rest.startswith(message)
    assert result.returncode == 1
    assert list(out.iterdir()) == []


@pytest.mark.parametrize("fixtures, args, message", [
    (["fixture_xml", "fixture_html"], ["/website"], "ERROR: Input filename not specified.\n\n"),
    (["fixture_xml"], ["/website", "/i", "run.xml.gz"], "ERROR: Couldn't find HTML plug-in.\n"),
    (["fixture_xml", "fixture_html"], ["/website", "/i", "run.XML"],
     "ERROR: Input filename doesn't end in '.xml.gz' or '.xml'.\n\n"),
    (["fixture_xml", "fixture_html"], ["/website", "/i", "my.xml.old"],
     "ERROR: Input filename doesn't end in '.xml.gz' or '.xml'.\n\n"),
])
def test_website_refusals_never_prompt(target, tmp_path, fixtures, args, message):
    d = target.plugin_dir(tmp_path, fixtures=fixtures)
    out = tmp_path / "out"
    out.mkdir()
    result = run(target, d, args + ["/d", target.path(out)])    # no /b: /website implies it
    _, rest = split_setup(target, result, target.path(out))
    assert rest == message
    assert result.returncode == 1


@pytest.mark.parametrize("include, exclude", [("a", "b"), ("", ""), ("quarnel", "")])
def test_include_and_exclude_together_stop_the_run(target, plugins, tmp_path, include, exclude):
    out = tmp_path / "out"
    out.mkdir()
    result = run(target, plugins, ["/b", "/d", target.path(out)],
                 env={"OSK_INCLUDE": include, "OSK_EXCLUDE": exclude})
    _, rest = split_setup(target, result, target.path(out))
    assert rest == "ERROR: OSK_INCLUDE and OSK_EXCLUDE can't both be set.\n\n"
    assert result.returncode == 1


@pytest.mark.parametrize("level, name", [("0", "Error"), ("1", "Warning"), ("3", "Debug")])
def test_the_logging_level_is_reported(target, plugins, tmp_path, level, name):
    out = tmp_path / "out"
    out.mkdir()
    result = run(target, plugins, ["/b", "/x", "/d", target.path(out)], env={"WYX_LOG_LEVEL": level})
    split_setup(target, result, target.path(out), level=name)


def test_console_log_holds_the_transcript_until_the_run_ends(target, plugins, tmp_path):
    """While the prompt waits, the file holds every message shown so far; a killed
    run leaves it behind, an orderly end deletes it."""
    out = tmp_path / "out"
    out.mkdir()
    for kill in (True, False):
        proc = subprocess.Popen(target.command(["/x", "/d", target.path(out)]), stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE,
                                env=target.env(WYX_PLUGIN_DIR=target.path(plugins), SYSTEMDRIVE="C:"))
        logs = []
        deadline = time.time() + 60
        expected_tail = target.nl(PROMPT)
        while time.time() < deadline:
            logs = list(out.glob("OSK_Output_*.txt"))
            if logs and logs[0].read_bytes().endswith(expected_tail.encode()):
                break
            time.sleep(0.2)
        assert logs, "no console log file"
        content = logs[0].read_bytes().decode("latin-1")
        if kill:
            proc.kill()
            stdout = proc.communicate()[0]
            assert logs[0].exists()
        else:
            stdout = proc.communicate(b"\n", timeout=60)[0]
            assert proc.returncode == 1
            assert not logs[0].exists()
        if target.windows:
            content = content.replace("\r\n", "\n")
        assert content.startswith(BANNER + "Loading plug-ins.\nLogging console output to file ")
        assert content.endswith("Using /x alone will result in no output.\n\n"
                                + usage(target, target.path(target.exe)) + PROMPT)
        if not kill:
            shown = stdout.decode("latin-1").replace("\r\n", "\n")
            assert shown == content
        for f in out.iterdir():
            f.unlink()


def test_the_run_lowers_its_priority(target, tmp_path, dmi):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"])
    shutil.copy(target.fixtures / "priority" / ("fixture_collector" + target.ext), tree.bin / "plugins")
    out = tmp_path / "out"
    out.mkdir()
    result = tree.run(["/b", "/d", tree.path(out)], env={"SYSTEMDRIVE": "C:", "WYX_DMI_DIR": tree.path(dmi)})
    assert result.returncode == 0, result.stdout
    [written] = out.glob("*.xml.gz")
    from cimxml import of_class, read_instances
    [record] = of_class(read_instances(written), "VARNSG_FixtureRecord")
    # Natively a nice value of 5, unless the run started lower already.
    expected = "class 0x4000" if target.windows else "nice %d" % max(5, os.getpriority(os.PRIO_PROCESS, 0))
    assert record["Source"] == expected


def upcoming_console_logs(out, seconds=8):
    """The console log names of runs started in the next few seconds."""
    now = datetime.datetime.now()
    return [out / ("OSK_Output_" + (now + datetime.timedelta(seconds=s)).strftime("%Y%m%d-%H%M%S") + ".txt")
            for s in range(seconds)]


def test_the_console_log_replaces_an_earlier_file(target, plugins, tmp_path):
    out = tmp_path / "out"
    out.mkdir()
    for f in upcoming_console_logs(out):
        f.write_bytes(b"an earlier run's transcript\n" * 1000)
    proc = subprocess.Popen(target.command(["/x", "/d", target.path(out)]), stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE,
                            env=target.env(WYX_PLUGIN_DIR=target.path(plugins), SYSTEMDRIVE="C:"))
    try:
        deadline = time.time() + 60
        while time.time() < deadline:      # the prompt waits: the file holds the whole transcript
            current = [f for f in out.iterdir() if f.read_bytes().endswith(target.nl(PROMPT).encode())]
            if current:
                break
            time.sleep(0.2)
        assert current, "no console log file"
        assert current[0].read_bytes().decode("latin-1").replace("\r\n", "\n").startswith(BANNER)
    finally:
        proc.communicate(b"\n", timeout=60)
    assert not current[0].exists()


def test_a_console_log_that_cannot_be_opened_is_a_warning(target, plugins, tmp_path):
    out = tmp_path / "out"
    out.mkdir()
    for d in upcoming_console_logs(out):
        d.mkdir()                          # a directory where the file would be
    result = run(target, plugins, ["/b", "/x", "/v", "/d", target.path(out)])
    m = re.match(re.escape(BANNER + "Loading plug-ins.\nWARNING: Couldn't open file '")
                 + r"(.*OSK_Output_\d{8}-\d{6}\.txt)" + re.escape("' for logging.\n\n")
                 + r"Logging console output to file (.*)\n" + re.escape("Logging level set to Verbose.\n\n"),
                 result.stdout)
    assert m, result.stdout
    assert m.group(1) == m.group(2)
    assert m.group(1).startswith(target.path(out) + target.sep)
    # The run goes on, on the console only.
    assert result.stdout.endswith("ERROR: System plug-in not found\n")
    assert result.returncode == 1


def test_systemdrive_ending_in_a_separator_is_used_as_it_is(target, plugins, tmp_path):
    if target.windows:
        pytest.skip("Wine always sets SYSTEMDRIVE")
    result = run(target, plugins, ["/b", "/x"], env={"SYSTEMDRIVE": str(tmp_path) + "/"})
    split_setup(target, result, str(tmp_path) + "//VARN_Support")
    assert (tmp_path / "VARN_Support").is_dir()
