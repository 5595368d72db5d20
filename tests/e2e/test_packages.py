"""The packages: the .deb installs a tree that runs a whole collection on its
own, and the Windows .zip holds the whole set, every DLL it imports included."""
import os
import re
import subprocess
import tarfile
import zipfile

import pytest

from conftest import BUILD, ROOT, Target, windows_target
from quarnel_support import instances

EXAMPLE = ROOT / "examples" / "dot-two-processors.img"
PLUGINS = ["analysis", "health", "html", "inventory", "oslog", "quarnel", "sel", "sensors", "system", "text", "versioncheck",
           "versions", "xml"]
# DLLs every Windows installation has.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll", "wininet.dll", "ws2_32.dll",
               "shell32.dll", "ole32.dll", "oleaut32.dll", "dbghelp.dll", "psapi.dll", "version.dll",
               "iphlpapi.dll", "setupapi.dll", "wevtapi.dll", "winhttp.dll"}


def pack(build, generator, dest):
    """The package the build tree makes with one CPack generator, staged in dest."""
    if not (build / "CPackConfig.cmake").exists():
        pytest.fail(f"{build} is not configured: run scripts/build.sh")
    proc = subprocess.run(["cpack", "-G", generator, "-B", str(dest)], cwd=build, capture_output=True,
                          timeout=600)
    assert proc.returncode == 0, proc.stdout.decode() + proc.stderr.decode()
    found = [p for p in dest.iterdir() if p.suffix in (".deb", ".zip", ".gz")]
    assert len(found) == 1, found
    return found[0]


def check_outputs(out):
    ulk = instances(out, "VARNSG_ULKLog")
    assert len(ulk) == 16
    reports = [p for p in out.iterdir() if p.suffix == ".txt"]
    assert len(reports) == 1 and "VARNSG_ULKLog (16 instances)" in reports[0].read_text()
    assert (out / reports[0].stem / "index.html").is_file()


def test_deb_installs_a_tree_that_runs_alone(tmp_path, dmi):
    build = BUILD / "native"
    deb = pack(build, "DEB", tmp_path / "pack")
    root = tmp_path / "root"
    subprocess.run(["dpkg", "-x", str(deb), str(root)], check=True)
    tree = root / "opt" / "norbix"
    assert os.readlink(root / "usr" / "bin" / "norbix") == "/opt/norbix/norbix"
    assert sorted(p.name for p in (tree / "plugins").iterdir()) == \
        sorted([n + ".pi.so" for n in PLUGINS] + ["quarnelentry.txt"])
    assert (tree / "schema").is_dir() and any((tree / "schema").iterdir())
    # The installed copy names nothing of the build: no search path, no file.
    for f in tree.rglob("*"):
        if f.is_file():
            assert str(build).encode() not in f.read_bytes(), f

    out = tmp_path / "out"
    env = Target("native").env(VANT_SP_IMAGE=str(EXAMPLE), WYX_DMI_DIR=str(dmi), LD_DEBUG="files")
    proc = subprocess.run([str(tree / "norbix"), "/b", "/v", "/text", "/c", "/d", str(out)], env=env,
                          capture_output=True, timeout=300)
    assert proc.returncode == 0, proc.stdout.decode("latin-1")
    loaded = re.findall(r"calling init: (\S+)", proc.stderr.decode("latin-1"))
    ours = [p for p in loaded if "norbix" in p or p.endswith(".pi.so")]
    assert sorted(os.path.relpath(p, tree) for p in ours) == \
        sorted(["libwyxcore.so", "libvantlib.so"] + ["plugins/" + n + ".pi.so" for n in PLUGINS]), loaded
    check_outputs(out)



@pytest.mark.parametrize("tree", ["win32", "win64"])
def test_zip_holds_the_windows_set(tmp_path, tree, dmi):
    build = BUILD / tree
    if tree == "win64" and windows_target() != "win64":
        pytest.skip("win64 is built only where 32-bit programs cannot run")
    archive = pack(build, "ZIP", tmp_path / "pack")
    unpacked = tmp_path / "unpacked"
    with zipfile.ZipFile(archive) as z:
        z.extractall(unpacked)
    (top,) = list(unpacked.iterdir())
    files = {str(p.relative_to(top)).replace(os.sep, "/") for p in top.rglob("*") if p.is_file()}
    runtime = {"libstdc++-6.dll", "libwinpthread-1.dll",
               "libgcc_s_dw2-1.dll" if tree == "win32" else "libgcc_s_seh-1.dll"}
    assert {"norbix.exe", "wyxcore.dll", "vantlib.dll", "plugins/quarnelentry.txt"} | runtime <= files
    assert {"plugins/" + n + ".pi.dll" for n in PLUGINS} <= files
    assert any(f.startswith("schema/") for f in files)
    assert not any(f.endswith((".a", ".lib")) for f in files), files

    objdump = ("i686" if tree == "win32" else "x86_64") + "-w64-mingw32-objdump"
    shipped = {os.path.basename(f).lower() for f in files}
    for f in sorted(f for f in files if f.endswith((".exe", ".dll"))):
        imports = subprocess.run([objdump, "-p", str(top / f)], capture_output=True, check=True).stdout
        for dll in re.findall(rb"DLL Name: (\S+)", imports):
            name = dll.decode().lower()
            assert name in shipped or name in SYSTEM_DLLS or name.startswith("api-ms-win-"), (f, name)

    if tree == windows_target():   # this machine runs it
        t = Target(tree)
        t.exe = top / "norbix.exe"
        out = tmp_path / "out"
        result = t.run(["/b", "/v", "/text", "/c", "/d", t.path(out)],
                       env={"VANT_SP_IMAGE": t.path(EXAMPLE), "WYX_DMI_DIR": t.path(dmi)})
        assert result.returncode == 0, result.stdout
        check_outputs(out)
