"""The command line as a user meets it: usage, invalid options, the prompt."""
import pytest

BANNER = ("VARN Oskline Version 1.20.34\n"
          "Copyright (C) VARN Corporation. All rights reserved.\n\n")
PROMPT = "\nPress enter to continue...\n"


def usage(target, program, drive="C:", kalvix=True, html=True):
    sep = "\\" if target.windows else "/"
    lines = [
        "Syntax:\n",
        program + " [options]\n\n",
        "Options:\n",
        "/?, /h     Display help for OSK command-line options.\n",
        "/b         Run in batch mode.\n",
        "/c         Create directory specified by /d option.\n",
        "/d <dir>   Place OSK output files in the specified directory rather than in the\n",
        "           default location, which is " + drive + sep + "VARN_Support.\n",
        "/f         Collect the full TRAV log.\n",
        "/i <file>  Read input from <file> rather than collecting data from the local\n",
        "           server.\n",
        "/t         Transfer collected data to VARN Service & Support.\n",
    ]
    if kalvix:
        lines.append("/u <dir>   Path to Kalvix CD or CD image.\n")
    if html:
        lines.append("/v         Create HTML output files.\n")
    lines += ["/x         Do not create a compressed XML file.\n",
              "\nNote: All options must be separated with one or more spaces.\n"]
    return "".join(lines)


@pytest.fixture
def plugins(target, tmp_path):
    """A plug-in directory with writer stand-ins named HTML, XML and Kalvix."""
    return target.plugin_dir(tmp_path, fixtures=["fixture_html", "fixture_xml", "fixture_kalvix"])


def run(target, plugin_dir, args, **kw):
    env = {"WYX_PLUGIN_DIR": target.path(plugin_dir), "SYSTEMDRIVE": "C:"}
    env.update(kw.pop("env", {}))
    return target.run(args, env=env, **kw)


@pytest.mark.parametrize("args, error, prompt", [
    (["/?"], "", True),
    (["-h"], "", True),
    (["/H", "/b"], "", True),                 # parsing stops at /H: /b is never seen
    (["/b", "/?"], "", False),
    (["/d"], "", True),                       # a value option at the end
    (["/b", "/i"], "", False),
    (["/x", "/v", "/vx"], "\nERROR: Invalid option '/vx'.\n", True),
    (["/a"], "\nERROR: Invalid option '/a'.\n", True),
    (["v"], "\nERROR: Invalid option 'v'.\n", True),
    (["/y"], "\nERROR: Invalid option '/y'.\n", True),        # 'y' lies beyond 'x'
    (["/Y"], "\nERROR: Invalid option '/Y'.\n", True),        # in range, not an option
    (["/@"], "\nERROR: Invalid option '/@'.\n", True),
    (["-website"], "\nERROR: Invalid option '-website'.\n", True),
    (["/Website"], "\nERROR: Invalid option '/Website'.\n", True),
    (["/TEXT"], "\nERROR: Invalid option '/TEXT'.\n", True),
    (["DIRMODE", "x"], "\nERROR: Invalid option 'DIRMODE'.\n", True),
    (["/b", "/v", "/q", "/x"], "\nERROR: Invalid option '/q'.\n", False),
    (["/q", "/b"], "\nERROR: Invalid option '/q'.\n", True),
    (["/d", "/v", "/bogus"], "\nERROR: Invalid option '/bogus'.\n", True),
])
def test_usage_stops_with_status_1(target, plugins, args, error, prompt):
    result = run(target, plugins, args, input=b"\n")
    program = target.path(target.exe)
    expected = (BANNER + "Loading plug-ins.\n" + error + "\n" + usage(target, program)
                + (PROMPT if prompt else ""))
    assert result.stdout == expected
    assert result.returncode == 1


@pytest.mark.parametrize("present, kalvix, html", [
    ([], False, False),
    (["fixture_html"], False, True),
    (["fixture_kalvix"], True, False),
    (["fixture_html", "fixture_kalvix", "fixture_text"], True, True),
])
def test_usage_lists_the_options_of_the_plugins_found(target, tmp_path, present, kalvix, html):
    d = target.plugin_dir(tmp_path, fixtures=present)
    result = run(target, d, ["/b", "/?"], env={"SYSTEMDRIVE": "D:"})
    drive = "C:" if target.windows else "D:"   # Wine sets the system drive itself
    assert result.stdout.endswith(usage(target, target.path(target.exe), drive, kalvix, html))
    assert result.returncode == 1


def test_usage_default_location_without_systemdrive(target, plugins):
    if target.windows:
        pytest.skip("Wine always sets SYSTEMDRIVE")
    result = run(target, plugins, ["/b", "/?"], env={"SYSTEMDRIVE": None})
    default = "C:\\VARN_Support" if target.windows else "/var/tmp/VARN_Support"
    assert "default location, which is " + default + ".\n" in result.stdout


def test_prompt_waits_for_a_line_of_input(target, plugins):
    # With nothing on standard input the prompt's read returns at end of input.
    result = run(target, plugins, ["/?"], input=b"")
    assert result.stdout.endswith(PROMPT)
    assert result.returncode == 1


def test_missing_plugin_directory_is_an_error(target, tmp_path):
    result = run(target, tmp_path / "nowhere", ["/b"])
    assert result.stdout.startswith(BANNER + "Loading plug-ins.ERROR: LoadPlugins returned exception code "
                                    "Plug-in directory not found")
    assert result.returncode == 1


def test_usage_repeats_the_program_name_as_typed(target, plugins):
    # Started by a name relative to the working directory, not by its full path;
    # under Wine through its command interpreter, as Wine's loader would pass on
    # the full path.
    typed = "norbix.exe" if target.windows else "./norbix"
    wine = ["wine" if target.name == "win32" else "/usr/lib/wine/wine64", "cmd", "/c"] if target.windows else []
    import subprocess
    proc = subprocess.run(wine + [typed, "/b", "/?"], cwd=target.bin, capture_output=True,
                          env=target.env(WYX_PLUGIN_DIR=target.path(plugins), SYSTEMDRIVE="C:"), timeout=120)
    assert proc.stdout.decode("latin-1").replace("\r\n", "\n").endswith(usage(target, typed))
    assert proc.returncode == 1
