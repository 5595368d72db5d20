"""Faults around a run: an output directory that is read-only, removed during
the run or on a full file system; a plug-in directory that is missing or holds
files that are not libraries; a schema that lacks a class. Each fault ends with
a clear message and status 1 (or is logged and the run goes on), and never
leaves a partial output file under its final name."""
import errno
import os
import re
import shutil
import subprocess
import time
import xml.etree.ElementTree as ET
from contextlib import contextmanager

import pytest

from cimxml import of_class, read_instances
from runs import BANNER, PROMPT, setup_lines

LISTING = "   fixture_collector: Fixture Collector\n   system: System\n"


def collection(listing=LISTING):
    return ("Running collector plug-ins pass 1.\n" + listing
            + "\nRunning collector plug-ins pass 2.\n" + listing + "\n")


@pytest.fixture
def tree(target, tmp_path):
    return target.copy_tree(tmp_path / "bin", plugins=["system", "xml", "html", "text"],
                            fixtures=["fixture_collector"])


def run(tree, args, dmi, env=None, **kw):
    e = {"SYSTEMDRIVE": "C:", "WYX_DMI_DIR": tree.path(dmi)}
    e.update(env or {})
    return tree.run(args, env=e, **kw)


def split(tree, result, out_dir_text, warning=False):
    """(stamp, standard output after the set-up lines); with warning, the
    console log could not be opened."""
    head = re.escape(BANNER + "Loading plug-ins.\n")
    if warning:
        log = re.escape(out_dir_text + tree.sep + "OSK_Output_") + r"(\d{8}-\d{6})\.txt"
        head += re.escape("WARNING: Couldn't open file '") + log + re.escape("' for logging.\n\n")
        head += (re.escape("Logging console output to file ") + log.replace("(", "(?:") + "\n"
                 + re.escape("Logging level set to Verbose.\n\n"))
    else:
        head = setup_lines(tree, out_dir_text)
    m = re.match(head, result.stdout)
    assert m, result.stdout
    return m.group(1), result.stdout[m.end():]


def rest_after_setup(tree, result, out_dir_text, warning=False):
    return split(tree, result, out_dir_text, warning)[1]


@contextmanager
def mounted(point, *options):
    """A file system mounted at point for the block; skips when this machine
    cannot mount (not root, no privilege)."""
    if os.geteuid() != 0:
        pytest.skip("mounting needs root")
    proc = subprocess.run(["mount", *options, str(point)], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if proc.returncode != 0:
        pytest.skip("cannot mount here: " + proc.stdout.decode("latin-1").strip())
    try:
        yield point
    finally:
        if subprocess.call(["umount", str(point)], stderr=subprocess.DEVNULL) != 0:
            subprocess.call(["umount", "-l", str(point)])


def fill(directory):
    """Fills the file system of directory to the last byte."""
    fd = os.open(str(directory / "filler"), os.O_WRONLY | os.O_CREAT, 0o644)
    try:
        while True:
            os.write(fd, b"\0" * 4096)
    except OSError as e:
        assert e.errno == errno.ENOSPC
    finally:
        os.close(fd)


def previous_output(tree, tmp_path, dmi):
    """The complete XML output of an earlier dirmode run."""
    earlier = tmp_path / "earlier"
    earlier.mkdir()
    assert run(tree, ["dirmode", tree.path(earlier)], dmi).returncode == 0
    return (earlier / "dir_temp.xml.gz").read_bytes()


# What a run writes last before it fails, by its outputs; {base} is the output
# path without extension.
FAILURES = {
    "xml": (["dirmode"], lambda base, why: (
        "Adding VARN OSK log entries to XML file.\n" + "Writing XML data to file " + base + ".xml.gz\n"
        + "ERROR: Couldn't write XML file.\n")),
    "html": (["/b", "/x", "/v"], lambda base, why: (
        "Writing HTML files to directory " + base + "\n"
        + ("ERROR: Access denied trying to write HTML files.\n" if why == "denied"
           else "ERROR: HTML WriteContainer returned exception code " + why + "\n"))),
    "text": (["/b", "/x", "/text"], lambda base, why: (
        "Writing Text report file " + base + ".txt\n"
        + ("ERROR: Access denied trying to write Text files.\n" if why == "denied"
           else "ERROR: Text WriteContainer returned exception code " + why + "\n"))),
}


def failing_run(tree, out, dmi, output, warning, why):
    """Runs into out, which cannot take the output; checks the transcript and
    returns the stamp."""
    options, tail = FAILURES[output]
    d = tree.path(out)
    args = options + [d] if output == "xml" else options + ["/d", d]
    result = run(tree, args, dmi)
    stamp, rest = split(tree, result, d, warning=warning)
    name = "dir_temp" if output == "xml" else "8842-AB1_KD12345_" + stamp
    assert rest == collection() + tail(d + tree.sep + name, why)
    assert result.returncode == 1
    return stamp


def no_partial_files(out):
    left = [f.name for f in out.rglob("*") if f.name.endswith((".part", ".partial", ".tmp"))]
    assert left == []
    for page in out.rglob("*.html"):
        assert page.read_bytes().rstrip().endswith(b"</html>"), page


@pytest.mark.parametrize("output", sorted(FAILURES))
def test_read_only_output_directory(tree, tmp_path, dmi, output):
    previous = previous_output(tree, tmp_path, dmi)
    source = tmp_path / "source"
    source.mkdir()
    (source / "dir_temp.xml.gz").write_bytes(previous)
    out = tmp_path / "out"
    out.mkdir()
    with mounted(out, "--bind", "-o", "ro", str(source)):
        failing_run(tree, out, dmi, output, warning=True, why="denied")
        assert [f.name for f in out.iterdir()] == ["dir_temp.xml.gz"]
        assert (out / "dir_temp.xml.gz").read_bytes() == previous


def test_output_directory_removed_during_the_run(target, tmp_path, dmi):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"],
                            fixtures=["fixture_collector", "fixture_gate"])
    out = tmp_path / "out"
    out.mkdir()
    gate = tmp_path / "gate"
    gate.write_text("closed")
    reached = tmp_path / "gate.reached"
    d = tree.path(out)
    env = tree.env(SYSTEMDRIVE="C:", WYX_DMI_DIR=tree.path(dmi), FIXTURE_GATE=tree.path(gate))
    proc = subprocess.Popen(tree.command(["/b", "/d", d]), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env)
    try:
        deadline = time.time() + 120
        while not reached.exists() and proc.poll() is None and time.time() < deadline:
            time.sleep(0.05)
        assert reached.exists(), "the run never reached the gate"
        shutil.rmtree(out)
        gate.unlink()
        stdout, _ = proc.communicate(timeout=120)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.communicate()
    text = stdout.decode("latin-1").replace("\r\n", "\n")
    m = re.match(setup_lines(tree, d), text)
    assert m, text
    base = "8842-AB1_KD12345_" + m.group(1)
    listing = ("   fixture_collector: Fixture Collector\n   fixture_gate: Fixture Gate\n   system: System\n")
    assert text[m.end():] == collection(listing) + FAILURES["xml"][1](d + tree.sep + base, None)
    assert proc.returncode == 1
    assert not out.exists()             # nothing re-created it


@pytest.mark.parametrize("output", sorted(FAILURES))
def test_full_file_system(tree, tmp_path, dmi, output):
    previous = previous_output(tree, tmp_path, dmi)
    out = tmp_path / "out"
    out.mkdir()
    with mounted(out, "-t", "tmpfs", "-o", "size=256k", "tmpfs"):
        (out / "dir_temp.xml.gz").write_bytes(previous)
        fill(out)
        # The console log file opens (an empty file needs no room) and then
        # takes no text; the run goes on to the write that fails.
        failing_run(tree, out, dmi, output, warning=False, why="Disk full")
        assert (out / "dir_temp.xml.gz").read_bytes() == previous
        no_partial_files(out)
        # The HTML pages go into a temporary directory, removed with the failure.
        assert sorted(f.name for f in out.iterdir()) == ["dir_temp.xml.gz", "filler"]


@pytest.mark.parametrize("how", ["missing", "a_file"])
def test_plugin_directory_missing(target, tmp_path, how):
    plugins = tmp_path / "plugins"
    if how == "a_file":
        plugins.write_text("not a directory")
    result = target.run(["/b"], env={"WYX_PLUGIN_DIR": target.path(plugins), "SYSTEMDRIVE": "C:"})
    # The plug-ins load before the command line is read, so /b does not hold yet.
    assert result.stdout == (BANNER + "Loading plug-ins."
                             + "ERROR: LoadPlugins returned exception code Plug-in directory not found\n" + PROMPT)
    assert result.returncode == 1


def truncated_library(target, path):
    """A plug-in cut short after its headers, as a broken copy leaves it."""
    path.write_bytes((target.bin / "plugins" / ("xml" + target.ext)).read_bytes()[:4096])


@pytest.mark.parametrize("make", [
    lambda t, p: p.write_text("this is not a library\n"),
    lambda t, p: p.write_bytes(b""),
    lambda t, p: p.write_bytes(b"\x7fELF" + b"\xff" * 60 if not t.windows else b"MZ" + b"\xff" * 62),
    truncated_library,
], ids=["text", "empty", "bad_header", "truncated"])
def test_plugin_directory_holding_a_file_that_is_not_a_library(target, tmp_path, dmi, make):
    plugins = target.plugin_dir(tmp_path, "system", "xml")
    junk = plugins / ("aaa_junk" + target.ext)
    make(target, junk)
    (plugins / ("subdir" + target.ext)).mkdir()     # not a file: not even tried
    out = tmp_path / "out"
    out.mkdir()
    d = target.path(out)
    result = run(target, ["/b", "/d", d], dmi, env={"WYX_PLUGIN_DIR": target.path(plugins)})
    assert rest_after_setup(target, result, d).startswith(collection("   system: System\n"))
    assert result.returncode == 0
    [xml] = out.glob("*.xml.gz")
    records = of_class(read_instances(xml), "VARNSG_OSKLogRecord")
    prefix = "Couldn't load plug-in " + target.path(junk) + ": "
    failures = [r for r in records if r["Message"].startswith("Couldn't load plug-in ")]
    assert len(failures) == 1, records
    assert failures[0]["Message"].startswith(prefix) and len(failures[0]["Message"]) > len(prefix)
    assert (failures[0]["Source"], failures[0]["Type"]) == ("Core", "0")


def drop_class(schema_dir, name):
    """Removes the declaration of one class from the schema files."""
    found = False
    for f in schema_dir.glob("*.xml"):
        root = ET.parse(f).getroot()
        for group in root.iter("DECLGROUP"):
            for obj in list(group):
                cls = obj.find("CLASS")
                if cls is not None and cls.get("NAME") == name:
                    group.remove(obj)
                    found = True
        ET.ElementTree(root).write(f, encoding="UTF-8", xml_declaration=True)
    assert found, name


@pytest.mark.parametrize("missing", ["VARNSG_OSKMessageLog", "VARNSG_HeavyHittersMessageLog",
                                     "VARNSG_OSKLogRecord", "VARNSG_HeavyHittersLogRecord"])
def test_schema_missing_a_run_log_class(tree, tmp_path, dmi, missing):
    drop_class(tree.bin / "schema", missing)
    out = tmp_path / "out"
    out.mkdir()
    d = tree.path(out)
    result = run(tree, ["/b", "/d", d], dmi)
    assert rest_after_setup(tree, result, d) == (collection() + "Adding VARN OSK log entries to XML file.\n"
                                                 + "ERROR: Couldn't find " + missing + "\n")
    assert result.returncode == 1
    assert list(out.iterdir()) == []


def remove_schema(schema_dir):
    shutil.rmtree(schema_dir)


def empty_schema(schema_dir):
    for f in schema_dir.glob("*.xml"):
        f.unlink()


def spoil_schema(schema_dir):
    for f in schema_dir.glob("*.xml"):
        f.write_text("<CIM>")


@pytest.mark.parametrize("spoil, status", [
    (lambda d: drop_class(d, "VARNSG_ComputerSystem"), "Class not declared in the schema"),
    (remove_schema, "Class schema not found"),          # the directory absent
    (empty_schema, "Class schema not found"),           # no schema file in it
    (spoil_schema, "Class schema is invalid"),
])
def test_schema_without_the_computer_system_class(tree, tmp_path, dmi, spoil, status):
    spoil(tree.bin / "schema")
    out = tmp_path / "out"
    out.mkdir()
    d = tree.path(out)
    result = run(tree, ["/b", "/d", d], dmi)
    assert rest_after_setup(tree, result, d) == (
        "Running collector plug-ins pass 1.\n"
        + "ERROR: RunQuery returned exception code " + status + "\n")
    assert result.returncode == 1
    assert list(out.iterdir()) == []
