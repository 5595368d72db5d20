"""Outputs that no run, file or neighbour can lose, corrupt or steer: names
made from data, two runs at once, planted links, modes, the default
directory, re-rendering into an existing directory; plug-ins that throw
standard exceptions, a closed standard output, saved files too big or not what
they claim, a relocated tree."""
import gzip
import os
import shutil
import struct
import subprocess
import time
import zlib
from pathlib import Path

import pytest

from cimxml import of_class, read_instances, write_cim_xml
from runs import split_setup

MANIFEST = "norbix-files.txt"


@pytest.fixture
def tree(target, tmp_path):
    return target.copy_tree(tmp_path / "bin", plugins=["system", "xml", "html", "text"])


def identity(tmp_path, serial, name="dmi"):
    d = tmp_path / name
    d.mkdir()
    (d / "sys_vendor").write_text("VARN\n")
    (d / "product_name").write_text("8842-AB1\n")
    (d / "product_serial").write_bytes(serial.encode("latin-1") + b"\n")
    return d


def run(tree, args, dmi=None, **env):
    e = {"SYSTEMDRIVE": "C:", "OSK_INCLUDE": ""}      # no collector: a small, quick collection
    if dmi is not None:
        e["WYX_DMI_DIR"] = tree.path(dmi)
    e.update(env)
    return tree.run(args, env=e)


def everything_under(root):
    return sorted(str(p.relative_to(root)) for p in root.rglob("*"))


@pytest.mark.parametrize("serial, part", [
    ("N/A", "N_A"),                     # once: "Couldn't write XML file." and the collection lost
    ("\\..\\..\\x", "_.._.._x"),        # once: the Windows build wrote outside /d
    ("../../x", "_._.._x"),
], ids=["not_available", "backslashes_climbing", "slashes_climbing"])
def test_a_serial_number_names_only_a_safe_file(tree, tmp_path, serial, part):
    dmi = identity(tmp_path, serial)
    out = tmp_path / "deep" / "out"
    out.mkdir(parents=True)
    d = tree.path(out)
    result = run(tree, ["/b", "/v", "/text", "/d", d], dmi=dmi)
    stamp, rest = split_setup(tree, result, d)
    name = "8842-AB1_" + part + "_" + stamp
    assert rest.endswith("Writing Text report file " + d + tree.sep + name + ".txt\nOSK finished; exiting.\n")
    assert result.returncode == 0
    assert sorted(f.name for f in out.iterdir()) == [name, name + ".txt", name + ".xml.gz"]
    [system] = of_class(read_instances(out / (name + ".xml.gz")), "VARNSG_ComputerSystem")
    assert system["SerialNumber"] == serial             # the data as read

    # Read back with /i: the serial comes from the file this time.
    again = tmp_path / "deep" / "again"
    again.mkdir()
    result = run(tree, ["/b", "/i", tree.path(out / (name + ".xml.gz")), "/d", tree.path(again)])
    stamp, _ = split_setup(tree, result, tree.path(again))
    assert result.returncode == 0
    assert [f.name for f in again.iterdir()] == ["8842-AB1_" + part + "_" + stamp + ".xml.gz"]
    assert everything_under(tmp_path / "deep") == sorted(
        ["again", "out", "again/" + "8842-AB1_" + part + "_" + stamp + ".xml.gz"]
        + ["out/" + n for n in (name, name + ".txt", name + ".xml.gz")]
        + ["out/" + name + "/" + p.name for p in (out / name).iterdir()])


def saved_file(path):
    write_cim_xml(path, [("Test_Extra", [("Name", "string")], [{"Name": "one"}])])
    return path


def climbing(tree, inputs):
    """inputs/a/b/../../evil.xml.gz with "/" between the parts: Windows takes
    "/" as a separator too, so the name after the last "\\" climbed out of /d."""
    (inputs / "a" / "b").mkdir(parents=True)
    saved_file(inputs / "evil.xml.gz")
    return tree.path(inputs / "a" / "b") + "/../../evil.xml.gz", "b_.._.._evil" if tree.windows else "evil"


@pytest.mark.parametrize("make", [
    # The name left after the extension is ".": /d itself.
    lambda tree, inputs: (tree.path(saved_file(inputs / "..xml.gz")), "_"),
    climbing,
], ids=["dot_dot_xml_gz", "climbing"])
def test_website_names_only_a_safe_directory(tree, tmp_path, make):
    inputs = tmp_path / "inputs"
    inputs.mkdir()
    given, base = make(tree, inputs)
    out = tmp_path / "out"
    out.mkdir()
    result = run(tree, ["/website", "/i", given, "/d", tree.path(out)])
    _, rest = split_setup(tree, result, tree.path(out))
    assert rest == ("Reading input file.\nWriting HTML files to directory " + tree.path(out) + tree.sep + base
                    + "\nOSK finished; exiting.\n")
    assert result.returncode == 0
    assert [f.name for f in out.iterdir()] == [base]
    assert (out / base / "Test_Extra.html").exists()
    assert sorted(f.name for f in tmp_path.iterdir()) == ["bin", "inputs", "out"]
    assert not (inputs / "evil").exists()


def start(tree, args, env):
    return subprocess.Popen(tree.command(args), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env)


def assert_whole_outputs(out):
    for f in out.iterdir():
        assert not f.name.endswith(".tmp") and ".old" not in f.name, f.name
        if f.name.endswith(".xml.gz"):
            assert b"</CIM>" in gzip.decompress(f.read_bytes()), f.name
        elif f.name.endswith(".txt"):
            assert f.read_bytes().endswith(b"\n") and f.stat().st_size > 100, f.name
        elif f.is_dir():
            listed = (f / MANIFEST).read_text().split()
            assert sorted(listed + [MANIFEST]) == sorted(p.name for p in f.iterdir())
            ends = {".html": b"</html>", ".js": b");", ".css": b"}"}   # pages, their data and script, the style
            for page in listed:
                assert (f / page).read_bytes().rstrip().endswith(ends[Path(page).suffix]), page


ROUNDS = 20


def test_two_runs_at_once_into_one_directory(tree, tmp_path):
    """Two runs in the same second share every name; each reports its own
    outcome, and every file is whole: last one wins."""
    dmi = identity(tmp_path, "KD12345")
    out = tmp_path / "out"
    out.mkdir()
    d = tree.path(out)
    env = tree.env(SYSTEMDRIVE="C:", OSK_INCLUDE="", WYX_DMI_DIR=tree.path(dmi))
    for round in range(ROUNDS):
        # dirmode always shares the XML name; a full run shares all names within a second.
        args = ["dirmode", d] if round % 2 else ["/b", "/v", "/text", "/d", d]
        runs = [start(tree, args, env) for _ in range(2)]
        for proc in runs:
            stdout, stderr = proc.communicate(timeout=300)
            text = stdout.decode("latin-1").replace("\r\n", "\n")
            assert proc.returncode == 0 and text.endswith("OSK finished; exiting.\n"), (round, text, stderr)
        assert_whole_outputs(out)


def plant(link, victim):
    try:
        os.symlink(victim, link)
    except OSError:
        pytest.skip("no symbolic links here")


def test_links_planted_at_every_name_are_never_written_through(tree, tmp_path):
    """A link planted in the output directory at a name a run writes (the
    output, a temporary name once used, the console log of the next seconds,
    the HTML directory's temporary name) leaves its target untouched. Wine
    maps the Windows calls onto the same directory, so both builds meet the
    same links."""
    dmi = identity(tmp_path, "KD12345")
    out = tmp_path / "out"
    out.mkdir()
    victim = tmp_path / "victim"
    victim.write_text("someone else's file")
    names = ["dir_temp.xml.gz", "dir_temp.xml.gz.part", "dir_temp.xml.gz.partial", "dir_temp.xml.gz.tmp"]
    now = time.time()
    names += [time.strftime("OSK_Output_%Y%m%d-%H%M%S.txt", time.gmtime(now + s)) for s in range(-1, 30)]
    for name in names:
        plant(out / name, victim)
    result = run(tree, ["dirmode", tree.path(out)], dmi=dmi)
    assert result.returncode == 0, result.stdout
    assert victim.read_text() == "someone else's file"
    assert not (out / "dir_temp.xml.gz").is_symlink()
    assert b"</CIM>" in gzip.decompress((out / "dir_temp.xml.gz").read_bytes())


def mode(path):
    return oct(os.lstat(path).st_mode & 0o777)


def test_outputs_and_directories_are_private(tree, tmp_path):
    """POSIX: files 0600, directories 0700. Windows: an ACL for the
    administrators and the user; Wine keeps no ACL but maps the one it is
    given onto the mode bits, where others get nothing."""
    dmi = identity(tmp_path, "KD12345")
    out = tmp_path / "made" / "by" / "norbix"
    result = run(tree, ["/b", "/c", "/v", "/text", "/d", tree.path(out)], dmi=dmi)
    assert result.returncode == 0, result.stdout
    [pages] = [f for f in out.iterdir() if f.is_dir()]
    directories = [tmp_path / "made", tmp_path / "made" / "by", out, pages]
    files = [f for f in out.iterdir() if f.is_file()] + list(pages.iterdir())
    assert len(files) > 3
    if tree.windows:
        assert {str(f): mode(f) for f in directories + files if os.lstat(f).st_mode & 0o007} == {}
    else:
        assert {str(d): mode(d) for d in directories} == {str(d): "0o700" for d in directories}
        assert {f.name: mode(f) for f in files} == {f.name: "0o600" for f in files}


@pytest.mark.parametrize("how, problem", [
    ("link", "is a symbolic link"),
    ("other_user", "belongs to another user"),
])
def test_a_default_directory_planted_by_someone_else_is_refused(target, tmp_path, how, problem):
    if target.windows:
        pytest.skip("ownership and links of POSIX directories")
    drive = tmp_path / "drive"
    drive.mkdir()
    default = drive / "VARN_Support"
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    if how == "link":
        default.symlink_to(elsewhere)
    else:
        if os.geteuid() != 0:
            pytest.skip("giving a directory away needs root")
        default.mkdir()
        os.chown(default, 65534, 65534)
    result = target.run(["/b"], env={"SYSTEMDRIVE": str(drive), "WYX_DMI_DIR": str(identity(tmp_path, "S"))})
    assert result.stdout.endswith("Loading plug-ins.\nERROR: Refusing default directory '" + str(default)
                                  + "': it " + problem + ".\n")
    assert result.returncode == 1
    assert list(elsewhere.iterdir()) == [] and (how == "link" or list(default.iterdir()) == [])


def test_rerendering_leaves_no_stale_page_and_keeps_the_users_files(tree, tmp_path):
    inputs = tmp_path / "inputs"
    inputs.mkdir()
    saved = inputs / "srv.xml"
    out = tmp_path / "out"
    out.mkdir()
    args = ["/website", "/i", tree.path(saved), "/d", tree.path(out)]
    write_cim_xml(saved, [("Test_Extra", [("Name", "string")], [{"Name": "one"}]),
                          ("Test_Gone", [("Name", "string")], [{"Name": "two"}])])
    assert run(tree, args).returncode == 0
    pages = out / "srv"
    assert (pages / "Test_Gone.html").exists()
    (pages / "notes.txt").write_text("the user's")
    write_cim_xml(saved, [("Test_Extra", [("Name", "string")], [{"Name": "three"}])])
    assert run(tree, args).returncode == 0
    assert not (pages / "Test_Gone.html").exists()
    assert "three" in (pages / "Test_Extra.html").read_text(encoding="latin-1")
    assert (pages / "notes.txt").read_text() == "the user's"
    assert [f.name for f in out.iterdir()] == ["srv"]


def link_to_file(pages, page, elsewhere):
    os.symlink(elsewhere / "victim.txt", pages / page)


def link_to_directory(pages, page, elsewhere):
    os.symlink(elsewhere, pages / page)


def sparse_manifest(pages, page, elsewhere):
    os.truncate(pages / MANIFEST, 6 << 30)


def fifo_manifest(pages, page, elsewhere):
    (pages / MANIFEST).unlink()
    os.mkfifo(pages / MANIFEST)


def directory_manifest(pages, page, elsewhere):
    (pages / MANIFEST).unlink()
    (pages / MANIFEST).mkdir()


# Each row spoils the directory of an earlier render; the re-render ends in
# order, touches nothing outside the directory, strands no user file under a
# temporary name and leaves no "*.old" directory. Links to a page go (Wine
# reaches a link's target with every call on it, so there the link is kept
# beside, never followed); a manifest norbix cannot have written makes the
# directory all the user's: whatever a new page displaces is kept beside.
SPOILED_RENDERS = {
    "page_linked_to_a_file": (link_to_file, "link goes"),
    "page_linked_to_a_directory": (link_to_directory, "link goes"),
    "manifest_of_6_gib": (sparse_manifest, "kept beside"),      # was "Out of memory" after the swap
    "manifest_a_fifo": (fifo_manifest, "kept beside"),         # hung the re-render
    "manifest_a_directory": (directory_manifest, "kept beside"),
}


@pytest.mark.parametrize("case", list(SPOILED_RENDERS))
def test_rerendering_a_spoiled_directory_loses_nothing(tree, tmp_path, case):
    spoil, outcome = SPOILED_RENDERS[case]
    inputs = tmp_path / "inputs"
    inputs.mkdir()
    saved = inputs / "srv.xml"
    write_cim_xml(saved, [("Test_Extra", [("Name", "string")], [{"Name": "one"}])])
    out = tmp_path / "out"
    out.mkdir()
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    (elsewhere / "victim.txt").write_text("someone else's")
    args = ["/website", "/i", tree.path(saved), "/d", tree.path(out)]
    assert run(tree, args).returncode == 0
    pages = out / "srv"
    (pages / "notes.txt").write_text("the user's")
    (pages / "Test_Extra.html").unlink()
    spoil(pages, "Test_Extra.html", elsewhere)
    result = tree.run(args, env={"SYSTEMDRIVE": "C:", "OSK_INCLUDE": ""}, timeout=120)
    assert result.returncode == 0 and result.stdout.endswith("OSK finished; exiting.\n"), result.stdout
    assert everything_under(elsewhere) == ["victim.txt"]
    assert (elsewhere / "victim.txt").read_text() == "someone else's"
    assert (pages / "notes.txt").read_text() == "the user's"
    assert not os.path.islink(pages / "Test_Extra.html")
    assert "one" in (pages / "Test_Extra.html").read_text(encoding="latin-1")
    names = sorted(f.name for f in out.iterdir())
    assert [n for n in names if n.endswith(".tmp") or ".old" in n] == []
    if outcome == "link goes" and not tree.windows:
        assert names == ["srv"]
    else:
        [kept] = [n for n in names if n.startswith("srv.kept-")]
        assert names == sorted(["srv", kept])
        assert os.path.lexists(out / kept / ("Test_Extra.html" if outcome == "link goes" else MANIFEST))


def test_a_class_named_like_a_windows_device_gets_its_page(tree, tmp_path):
    """The class's page was named CON.html: the whole HTML output was lost
    ("ERROR: HTML WriteContainer returned exception code Invalid argument")."""
    saved = tmp_path / "srv.xml"
    write_cim_xml(saved, [(name, [("Name", "string")], [{"Name": name}]) for name in ("CON", "nul", "Com1")])
    out = tmp_path / "out"
    out.mkdir()
    result = run(tree, ["/website", "/i", tree.path(saved), "/d", tree.path(out)])
    assert result.returncode == 0 and result.stdout.endswith("OSK finished; exiting.\n"), result.stdout
    for name in ("CON", "nul", "Com1"):
        assert ">%s<" % name in (out / "srv" / ("_" + name + ".html")).read_text(encoding="latin-1"), name


def guard_tree(target, tmp_path, plugins=("system", "xml"), fixtures=()):
    return target.copy_tree(tmp_path / "bin", plugins=list(plugins), fixtures=list(fixtures))


def guard_run(tree, args, dmi, env=None, **kw):
    e = {"SYSTEMDRIVE": "C:", "WYX_DMI_DIR": tree.path(dmi)}
    e.update(env or {})
    return tree.run(args, env=e, **kw)


def guard_out(tmp_path):
    out = tmp_path / "out"
    out.mkdir()
    return out


def guard_core_log(xml):
    return [r["Message"] for r in of_class(read_instances(xml), "VARNSG_OSKLogRecord")]


# Each row: a plug-in whose own code lets out a standard exception. The run ends
# with the message of that step and its status, or logs it and goes on; it never
# dies of it.
GUARD_CASES = {
    # the creation entry throws: the plug-in is refused and logged, the run completes
    "creation": dict(plugins=("system", "xml"), fixtures=("fixture_throw_create",), args=[],
                     tail="OSK finished; exiting.\n", status=0,
                     logged="Couldn't load plug-in {plugins}{sep}fixture_throw_create{ext}: "
                            "Plug-in could not be loaded: fixture_throw_create: fixture failure"),
    # std::bad_alloc from the XML writer
    "xml_writer": dict(plugins=("system",), fixtures=("fixture_xml_throwing",), args=[],
                       tail="ERROR: Couldn't write XML file.\n", status=1),
    # std::runtime_error from the HTML writer
    "html_writer": dict(plugins=("system", "xml"), fixtures=("fixture_html_throwing",), args=["/v"],
                        tail="ERROR: HTML WriteContainer returned exception code Plug-in failed\n", status=1),
    # std::bad_alloc from the Text writer
    "text_writer": dict(plugins=("system", "xml"), fixtures=("fixture_text_throwing",), args=["/text"],
                        tail="ERROR: Text WriteContainer returned exception code Out of memory\n", status=1),
    # std::runtime_error from a collector's query
    "query": dict(plugins=("system", "xml"), fixtures=("fixture_std_thrower",), args=[],
                  tail="ERROR: RunQuery returned exception code Plug-in query failed\n", status=1),
    # std::runtime_error from the version checker: only a core-log record
    "checker": dict(plugins=("system", "xml"), fixtures=("fixture_kalvix_throwing",), args=["/u", "{media}"],
                    tail="OSK finished; exiting.\n", status=0,
                    logged="Plug-in Kalvix Version Checker threw exception Plug-in failed"),
}


@pytest.mark.parametrize("case", list(GUARD_CASES))
def test_guard_a_plugin_throwing_a_standard_exception(target, tmp_path, dmi, case):
    c = GUARD_CASES[case]
    tree = guard_tree(target, tmp_path, c["plugins"], c["fixtures"])
    if case == "query":
        # Named as the fixture collector whose classes the fixture schema registers.
        (tree.bin / "plugins" / ("fixture_std_thrower" + tree.ext)).rename(
            tree.bin / "plugins" / ("fixture_thrower" + tree.ext))
    out = guard_out(tmp_path)
    d = tree.path(out)
    args = [a.replace("{media}", tree.path(tmp_path)) for a in c["args"]]
    result = guard_run(tree, ["/b", "/d", d] + args, dmi)
    stamp, rest = split_setup(tree, result, d)
    assert rest.endswith(c["tail"]), rest
    assert result.returncode == c["status"]
    assert not list(out.glob("OSK_Output_*.txt"))           # ended in order
    if "logged" in c:
        xml = out / ("8842-AB1_KD12345_" + stamp + ".xml.gz")
        expected = c["logged"].format(plugins=tree.path(tree.bin / "plugins"), sep=tree.sep, ext=tree.ext)
        assert expected in guard_core_log(xml)


def closed_pipe():
    """The writing end of a pipe whose reader has gone."""
    r, w = os.pipe()
    os.close(r)
    return w


@pytest.mark.parametrize("how", ["reader_gone", "descriptor_closed"])
def test_closed_stdout_the_run_completes(target, tmp_path, dmi, how):
    tree = guard_tree(target, tmp_path, ("system", "xml", "html", "text"))
    if target.windows and how == "descriptor_closed":
        pytest.skip("Windows has no descriptor 1 for a file to inherit")
    out = guard_out(tmp_path)
    env = tree.env(SYSTEMDRIVE="C:", WYX_DMI_DIR=tree.path(dmi))
    args = tree.command(["/b", "/v", "/text", "/d", tree.path(out)])
    if how == "reader_gone":
        w = closed_pipe()
        proc = subprocess.run(args, stdout=w, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, env=env,
                              timeout=300)
        os.close(w)
    else:
        proc = subprocess.run(args, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, env=env, timeout=300,
                              preexec_fn=lambda: os.close(1))
    assert proc.returncode == 0, proc.stderr
    names = sorted(p.name for p in out.iterdir())
    assert len(names) == 3 and names[1].endswith(".txt") and names[2].endswith(".xml.gz"), names
    assert not [n for n in names if n.startswith("OSK_Output_")]
    assert of_class(read_instances(out / names[2]), "VARNSG_ComputerSystem")
    assert (out / names[0] / "index.html").exists()


def peak_rss_mib(command, env):
    """Runs command; returns (exit status, standard output, its peak resident memory in MiB)."""
    proc = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            stdin=subprocess.DEVNULL, env=env)
    stdout = proc.stdout.read()
    proc.stdout.close()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    return proc.returncode, stdout, usage.ru_maxrss / 1024


HEAD = (b'<?xml version="1.0" encoding="UTF-8"?>\n<CIM CIMVERSION="2.0" DTDVERSION="2.2">'
        b'<DECLARATION><DECLGROUP>')
TAIL = b"</DECLGROUP></DECLARATION></CIM>\n"


def blank_bomb(path, blanks_mib):
    """A compressed CIM-XML header and blanks_mib MiB of blanks: about 1 KiB a
    MiB on disk. After a full flush deflate starts afresh, so every MiB of
    blanks compresses to the same block, made once."""
    z = zlib.compressobj(9, zlib.DEFLATED, -zlib.MAX_WBITS)
    chunk = b" " * (1 << 20)
    head = z.compress(HEAD) + z.flush(zlib.Z_FULL_FLUSH)
    block = z.compress(chunk) + z.flush(zlib.Z_FULL_FLUSH)
    tail = z.compress(TAIL) + z.flush()
    crc = zlib.crc32(HEAD)
    for _ in range(blanks_mib):
        crc = zlib.crc32(chunk, crc)
    size = len(HEAD) + blanks_mib * len(chunk) + len(TAIL)
    with open(path, "wb") as f:
        f.write(b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff" + head)
        for _ in range(blanks_mib):
            f.write(block)
        f.write(tail + struct.pack("<II", zlib.crc32(TAIL, crc), size & 0xFFFFFFFF))


def huge_plain(path, blanks_mib):
    chunk = b" " * (1 << 20)
    with open(path, "wb") as f:
        f.write(HEAD)
        for _ in range(blanks_mib):
            f.write(chunk)
        f.write(TAIL)


# The bound is asserted on the peak resident memory of the child (os.wait4), on
# both trees: RLIMIT_AS cannot bound the sanitizer build, which reserves terabytes
# of address space, nor Wine. Before the bound the bomb took over 1.8 GB.
MEMORY_BOUND_MIB = 400


@pytest.mark.parametrize("make, blanks_mib", [(blank_bomb, 1100), (huge_plain, 100)],
                         ids=["compressed_blank_bomb", "huge_plain_file"])
def test_bounded_reading_of_a_file_too_large(target, tmp_path, dmi, make, blanks_mib):
    tree = guard_tree(target, tmp_path)
    src = tmp_path / "big.xml.gz"
    make(src, blanks_mib)
    out = guard_out(tmp_path)
    env = tree.env(SYSTEMDRIVE="C:", WYX_DMI_DIR=tree.path(dmi))
    status, stdout, peak = peak_rss_mib(tree.command(["/b", "/i", tree.path(src), "/d", tree.path(out)]), env)
    text = stdout.decode("latin-1").replace("\r\n", "\n")
    assert text.endswith("Reading input file.\n"
                         "ERROR: PopulateContainerFromFile returned exception code File is too large\n"), text
    assert status == 1
    assert peak < MEMORY_BOUND_MIB, f"peak {peak:.0f} MiB"
    assert list(out.iterdir()) == []


def guard_saved(body):
    return HEAD + body + TAIL


# Files that the CIM-XML DTD forbids in a way that would drop data, and
# ill-formed XML: refused, never read in part.
BAD_FILES = {
    "two_instances_in_one_object": (
        b'<VALUE.OBJECT><INSTANCE CLASSNAME="Test_A"/><INSTANCE CLASSNAME="Test_A"/></VALUE.OBJECT>',
        "File is not CIM-XML"),
    "two_declarations": (b"</DECLGROUP></DECLARATION><DECLARATION><DECLGROUP>", "File is not CIM-XML"),
    "second_value": (
        b'<VALUE.OBJECT><CLASS NAME="Test_A"><PROPERTY NAME="N" TYPE="string"/></CLASS></VALUE.OBJECT>'
        b'<VALUE.OBJECT><INSTANCE CLASSNAME="Test_A"><PROPERTY NAME="N" TYPE="string">'
        b"<VALUE>a</VALUE><VALUE>b</VALUE></PROPERTY></INSTANCE></VALUE.OBJECT>",
        "File is not CIM-XML"),
    "undefined_entity": (
        b'<VALUE.OBJECT><INSTANCE CLASSNAME="Test_A"><PROPERTY NAME="N" TYPE="string">'
        b"<VALUE>&nbsp;</VALUE></PROPERTY></INSTANCE></VALUE.OBJECT>",
        "File is not well-formed XML"),
    "bare_ampersand": (
        b'<VALUE.OBJECT><INSTANCE CLASSNAME="Test_A"><PROPERTY NAME="N" TYPE="string">'
        b"<VALUE>a & b</VALUE></PROPERTY></INSTANCE></VALUE.OBJECT>",
        "File is not well-formed XML"),
}


@pytest.mark.parametrize("case", list(BAD_FILES))
def test_bounded_reading_refuses_what_it_would_read_in_part(target, tmp_path, dmi, case):
    body, status_text = BAD_FILES[case]
    tree = guard_tree(target, tmp_path)
    src = tmp_path / "saved.xml.gz"
    src.write_bytes(gzip.compress(guard_saved(body)))
    out = guard_out(tmp_path)
    result = guard_run(tree, ["/b", "/i", tree.path(src), "/d", tree.path(out)], dmi)
    _, rest = split_setup(tree, result, tree.path(out))
    assert rest == ("Reading input file.\n"
                    "ERROR: PopulateContainerFromFile returned exception code " + status_text + "\n")
    assert result.returncode == 1


def elf_runpaths(path):
    """The RUNPATH and RPATH entries of an ELF file, None for another file."""
    with open(path, "rb") as f:
        if f.read(4) != b"\x7fELF":
            return None
    dynamic = subprocess.run(["readelf", "-d", str(path)], stdout=subprocess.PIPE, check=True, text=True).stdout
    entries = []
    for line in dynamic.splitlines():
        if "(RUNPATH)" in line or "(RPATH)" in line:
            entries += line.split("[", 1)[1].rstrip("]").split(":")
    return entries


@pytest.mark.parametrize("driver", ["beside_the_program", "beside_the_plugins"])
def test_relocated_tree_loads_every_plugin(target, tmp_path, dmi, driver):
    tree = target.copy_tree(tmp_path / "moved" / "bin", fixture_schema=False)
    if not target.windows:
        for f in tree.bin.rglob("*"):
            paths = elf_runpaths(f) if f.is_file() else None
            if paths is not None:
                assert all(p.startswith("$ORIGIN") for p in paths), (f, paths)
    # The plug-ins elsewhere, named by WYX_PLUGIN_DIR.
    plugins = tmp_path / "elsewhere" / "plugins"
    shutil.move(str(tree.bin / "plugins"), str(plugins))
    if driver == "beside_the_plugins":       # a plug-in's own folder is searched for what it needs
        lib = "vantlib.dll" if target.windows else "libvantlib.so"
        shutil.move(str(tree.bin / lib), str(plugins / lib))
    out = guard_out(tmp_path)
    env = {"WYX_PLUGIN_DIR": tree.path(plugins), "LD_LIBRARY_PATH": None}
    result = guard_run(tree, ["/b", "/v", "/text", "/d", tree.path(out)], dmi, env=env, cwd=tmp_path)
    stamp, rest = split_setup(tree, result, tree.path(out))
    assert rest.endswith("OSK finished; exiting.\n")
    assert result.returncode == 0
    base = "8842-AB1_KD12345_" + stamp
    log = guard_core_log(out / (base + ".xml.gz"))
    assert not [m for m in log if m.startswith("Couldn't load plug-in")], log
    assert (out / base / "index.html").exists() and (out / (base + ".txt")).exists()
