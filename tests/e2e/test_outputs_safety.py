"""Outputs that no run, file or neighbour can lose, corrupt or steer: names
made from data, two runs at once, planted links, modes, the default
directory, re-rendering into an existing directory."""
import gzip
import os
import subprocess
import time

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
            for page in listed:
                assert (f / page).read_bytes().rstrip().endswith(b"</html>"), page


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
