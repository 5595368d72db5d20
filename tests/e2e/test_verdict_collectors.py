"""Page one's verdict from the hardware's own sources in one whole run: the
health collector on a fake server (EDAC, AER, the RAS daemon's database, a
smartctl stand-in) and the SEL collector on a scripted controller."""
import os

import pytest

from sel_support import script
from test_health_collector import fake_server, fake_smartctl  # noqa: F401
from test_sel import CLOCK, FAILING

PLUGINS = ["system", "xml", "text", "analysis", "health", "sel"]


def verdict_of(report):
    """The verdict's headline and its part lines (part, verdict)."""
    lines = report.splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("VERDICT: "))
    parts = []
    for line in lines[start + 1:]:
        if not line or line.startswith("  "):
            break
        fields = line.split(" | ")
        parts.append((fields[1], fields[2]))
    return lines[start], parts


def test_the_verdict_names_exactly_the_failing_parts_of_every_source(target, tmp_path, dmi):  # noqa: F811
    if target.windows:
        pytest.skip("the sysfs tree and the RAS daemon's database are Linux sources")
    root = fake_server(tmp_path)
    tools, answers = fake_smartctl(target, tmp_path)
    controller = tmp_path / "controller.txt"
    controller.write_text(script(FAILING, clock=CLOCK))
    tree = target.copy_tree(tmp_path / "bin", plugins=PLUGINS, fixture_schema=False)
    out = tmp_path / "out"
    out.mkdir()
    env = {"WYX_SYSFS_ROOT": str(root), "WYX_DMI_DIR": str(dmi), "WYX_IPMI_SCRIPT": str(controller),
           "FAKE_SMARTCTL_DIR": str(answers), "PATH": str(tools) + os.pathsep + os.environ["PATH"]}
    result = tree.run(["/text", "/b", "/d", tree.path(out)], env=env)
    assert result.returncode == 0, result.stdout
    report = next(out.glob("*.txt")).read_text(encoding="latin-1")
    headline, parts = verdict_of(report)
    assert headline == "VERDICT: 6 parts failing, 4 with warnings", report[:3000]
    # The controller's totals repeat DIMM_B1's errors: not a part of their own. The fan's reading came back
    # above its threshold: a warning, not a failure.
    assert sorted(parts) == sorted([
        ("Memory sensor 96", "Failed"), ("Power Supply sensor 65", "Failed"), ("CPU 3", "Failed"),
        ("DIMM_B1", "Failed"), ("Disk /dev/sdc", "Failed"), ("PCIe device 0000:3b:00.0", "Failed"),
        ("Fan sensor 48", "Warning"), ("CPU 5", "Warning"), ("DIMM_A1", "Warning"), ("Disk /dev/sda", "Warning")])
    pending = next(line for line in report.splitlines() if line.split(" | ")[1:2] == ["Disk /dev/sda"])
    assert "24 pending sectors" in pending
