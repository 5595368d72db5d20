"""Checks of the framework library that need the built trees: its CIM-XML file
as each build writes it is valid against the DSP0203 2.2 DTD (when
../shared/cim/ is present), and its keyboard calls see bytes on a piped
standard input. Both drive the unit-test binary of the build."""
import gzip
import os
import shutil
import subprocess

import pytest

from conftest import ROOT


def dtd_path():
    for d in (ROOT.parent / "shared", ROOT.parent.parent / "shared"):
        p = d / "cim" / "DSP0203_2.2.0.dtd"
        if p.exists():
            return p
    return None


def run_unit_test(target, tmp_path, test, input=b"", may_skip=False, **env_overrides):
    exe = target.build / "tests" / ("wyxcore_tests.exe" if target.windows else "wyxcore_tests")
    env = target.env(NORBIX_SOURCE_DIR=target.path(ROOT), NORBIX_BIN=target.path(target.bin),
                     NORBIX_FIXTURES=target.path(target.fixtures), **env_overrides)
    command = [str(exe)]
    if target.windows:
        env["WINEPATH"] = target.path(target.bin)
        command.insert(0, "wine" if target.name == "win32" else "/usr/lib/wine/wine64")
    proc = subprocess.run(command + ["--gtest_filter=" + test], input=input, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, env=env, timeout=300, cwd=str(tmp_path))
    output = proc.stdout.decode("latin-1")
    assert proc.returncode == 0, output
    assert "[  PASSED  ] 1 test" in output or (may_skip and "[  SKIPPED ] 1 test" in output), output
    return output


def test_written_file_is_valid_cim_xml(target, tmp_path):
    dtd = dtd_path()
    if dtd is None or shutil.which("xmllint") is None:
        pytest.skip("the DTD or xmllint is not here")
    out = tmp_path / "sample.xml.gz"
    # The Windows build cannot run xmllint itself: it writes the file, and this checks it.
    run_unit_test(target, tmp_path, "CIMXMLFile.WrittenFileIsValidAgainstTheDtd", may_skip=target.windows,
                  NORBIX_KEEP_XML=target.path(out))
    document = gzip.decompress(out.read_bytes())
    assert document.startswith(b'<?xml version="1.0" encoding="UTF-8"?>')
    lint = subprocess.run(["xmllint", "--nonet", "--noout", "--dtdvalid", str(dtd), str(out)],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    assert lint.returncode == 0, lint.stdout.decode("latin-1")
    assert not os.path.exists(str(out) + ".part")


@pytest.mark.parametrize("piped", ["xy", "q"])
def test_bytes_on_a_piped_stdin_are_keys(target, tmp_path, piped):
    run_unit_test(target, tmp_path, "Keyboard.PipedStandardInput", input=piped.encode(), NORBIX_PIPED_KEYS=piped)


DRIVER_ASSIGNMENTS = ["_ZN6dotCmdaSERKS_", "_ZN7TolmCmdaSERKS_", "_ZN9SPLibraryaSERKS_"]
OBJDUMP = {"win32": "i686-w64-mingw32-objdump", "win64": "x86_64-w64-mingw32-objdump"}


def exported_names(build, name):
    """The names a built plug-in exports: its dynamic symbols, or its PE export table."""
    plugin = build / "bin" / "plugins" / ("quarnel.pi.so" if name == "native" else "quarnel.pi.dll")
    if name == "native":
        out = subprocess.run(["nm", "-D", "--defined-only", str(plugin)], capture_output=True, text=True, check=True)
        return sorted(line.split()[-1] for line in out.stdout.splitlines() if line.strip())
    out = subprocess.run([OBJDUMP[name], "-p", str(plugin)], capture_output=True, text=True, check=True).stdout
    table = out.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return []
    names = []
    for line in table[1].splitlines()[1:]:
        if not line.strip().startswith("["):
            break
        names.append(line.split()[-1])
    return sorted(names)


def test_quarnel_exports_only_the_driver_copy_assignments(target):
    # The win32 tree, the product's target, is checked too where it is built.
    names = [target.name] + [n for n in ("win32",) if target.windows and n != target.name
                             and (ROOT / "build" / n / "bin" / "plugins" / "quarnel.pi.dll").exists()]
    for name in names:
        assert exported_names(ROOT / "build" / name, name) == DRIVER_ASSIGNMENTS, name
