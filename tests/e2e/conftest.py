"""Runs the built trees of norbix as a user would.

The `target` fixture is parametrised over the native build and the Windows build
(win32 where this machine can run 32-bit code, else win64 under wine64).
"""
import os
import shutil
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"


def windows_target():
    return os.environ.get("NORBIX_WIN_TARGET") or (
        "win32" if subprocess.call([str(ROOT / "scripts" / "can-run-win32.sh")]) == 0 else "win64")


class Result:
    def __init__(self, proc, target):
        self.returncode = proc.returncode
        self.raw = proc.stdout
        self.stderr = proc.stderr
        self.target = target

    @property
    def stdout(self):
        """Standard output as text, line ends as the program meant them ("\n")."""
        text = self.raw.decode("latin-1")
        return text.replace("\r\n", "\n") if self.target.windows else text


class Target:
    """One built tree: build/<name>/bin."""

    def __init__(self, name):
        self.name = name
        self.windows = name != "native"
        self.build = BUILD / name
        self.bin = self.build / "bin"
        self.fixtures = self.build / "fixtures"
        self.exe = self.bin / ("norbix.exe" if self.windows else "norbix")
        self.sep = "\\" if self.windows else "/"
        self.ext = ".pi.dll" if self.windows else ".pi.so"

    def path(self, p):
        """A host path as the program sees it."""
        p = str(p)
        return "Z:" + p.replace("/", "\\") if self.windows else p

    def nl(self, text):
        """Text as it appears in files the program writes in text mode."""
        return text.replace("\n", "\r\n") if self.windows else text

    def env(self, **overrides):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("WYX_", "OSK_", "VANT_")) and k != "SYSTEMDRIVE"}
        env["TZ"] = "UTC"
        env["WYX_LOG_LEVEL"] = "4"
        if self.windows:
            env["WINEPREFIX"] = str(self.build / "wineprefix")
            env["WINEDEBUG"] = "-all"
            env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
        for k, v in overrides.items():
            if v is None:
                env.pop(k, None)
            else:
                env[k] = v
        return env

    def command(self, args):
        if self.windows:
            wine = "wine" if self.name == "win32" else "/usr/lib/wine/wine64"
            return [wine, str(self.exe)] + list(args)
        return [str(self.exe)] + list(args)

    def run(self, args, env=None, input=b"", cwd=None, timeout=300, stdin=None):
        """Runs norbix with args; env holds overrides (None removes a variable)."""
        kwargs = dict(stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=self.env(**(env or {})),
                      cwd=cwd, timeout=timeout)
        if stdin is not None:
            kwargs["stdin"] = stdin
        else:
            kwargs["input"] = input
        # Under heavy load Wine now and then fails to start a program: nothing on
        # standard output, where norbix always prints its banner first. Such a
        # start is made again, twice at most.
        for attempt in range(3):
            proc = subprocess.run(self.command(args), **kwargs)
            if not self.windows or proc.stdout or stdin is not None:
                break
        return Result(proc, self)

    def copy_tree(self, dest, plugins=None, fixtures=(), fixture_schema=True):
        """A copy of the built bin/ tree at dest, holding only the named plug-ins
        of the tree (all when None) and the named fixture plug-ins; returns the
        Target that runs it."""
        shutil.copytree(self.bin, dest)
        if plugins is not None:
            for f in (dest / "plugins").iterdir():
                if not any(f.name.startswith(n + ".") or f.name == n + "entry.txt" for n in plugins):
                    f.unlink()
        for n in fixtures:
            shutil.copy(self.fixtures / (n + self.ext), dest / "plugins")
        if fixture_schema:
            shutil.copy(self.fixtures / "fixture_schema.xml", dest / "schema")
        copy = Target(self.name)
        copy.bin = dest
        copy.exe = dest / self.exe.name
        return copy

    def plugin_dir(self, tmp_path, *names, fixtures=(), name="plugins"):
        """A plug-in directory holding the named plug-ins of the built tree and
        the named fixture plug-ins (file stems), for WYX_PLUGIN_DIR."""
        d = tmp_path / name
        d.mkdir(exist_ok=True)
        for n in names:
            shutil.copy(self.bin / "plugins" / (n + self.ext), d)
            extra = self.bin / "plugins" / (n + "entry.txt")
            if extra.exists():
                shutil.copy(extra, d)
        for n in fixtures:
            shutil.copy(self.fixtures / (n + self.ext), d)
        return d


@pytest.fixture(scope="session", autouse=True)
def wineserver():
    """One wineserver for the session (it ends 60 s after its last client).

    The first program of a new wineserver starts Wine's own services, which
    inherit its output; a first program whose output goes nowhere keeps them
    from holding a test's pipe open."""
    name = windows_target()
    build = BUILD / name
    server = "wineserver" if name == "win32" else "/usr/lib/wine/wineserver64"
    wine = "wine" if name == "win32" else "/usr/lib/wine/wine64"
    env = dict(os.environ, WINEPREFIX=str(build / "wineprefix"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    subprocess.call([server, "-p", "60"], **quiet)
    subprocess.call([wine, "cmd", "/c", "exit"], timeout=300, **quiet)
    yield
    subprocess.call([server, "-k"], env=env, stderr=subprocess.DEVNULL)


@pytest.fixture
def dmi(tmp_path):
    """A machine identity for WYX_DMI_DIR: type-model 8842-AB1, serial KD12345."""
    d = tmp_path / "dmi"
    d.mkdir()
    (d / "sys_vendor").write_text("VARN\n")
    (d / "product_name").write_text("8842-AB1\n")
    (d / "product_serial").write_text("KD12345\n")
    return d


def pytest_generate_tests(metafunc):
    if "target" in metafunc.fixturenames:
        metafunc.parametrize("target", ["native", windows_target()], indirect=True)


@pytest.fixture
def target(request):
    t = Target(request.param)
    if not t.exe.exists():
        pytest.fail(f"{t.exe} is not built: run scripts/build.sh")
    return t
