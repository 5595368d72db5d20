"""Outputs that no run, file or neighbour can lose, corrupt or steer: plug-ins
that throw standard exceptions, a closed standard output, saved files too big
or not what they claim, a relocated tree."""
import gzip
import os
import shutil
import struct
import subprocess
import zlib

import pytest

from cimxml import of_class, read_instances
from runs import split_setup


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
