"""Renders the sample container through the built report plug-ins of a target."""
import subprocess
from pathlib import Path

ROOT_BUILD = Path(__file__).resolve().parents[2] / "build"


def render_sample(target, tmp_path, catalog="Server OS, 5.10\nRAID driver, 4.0\n"):
    """Runs the sample-report program of the target's build with the four report
    plug-ins (no catalog file when catalog is None); returns (html directory, text report path, completed process)."""
    plugins = target.plugin_dir(tmp_path, "html", "text", "analysis", "versioncheck")
    media = tmp_path / "media"
    media.mkdir(exist_ok=True)
    if catalog is not None:
        (media / "catalog.txt").write_text(catalog)
    html = tmp_path / "srv01_html"
    base = tmp_path / "srv01_report"
    exe = target.build / "tests" / ("report_sample.exe" if target.windows else "report_sample")
    cmd = [str(exe), target.path(html), target.path(base), target.path(media)]
    env = {"WYX_PLUGIN_DIR": target.path(plugins)}
    if target.windows:
        wine = "wine" if target.name == "win32" else "/usr/lib/wine/wine64"
        cmd = [wine] + cmd
        env["WINEPATH"] = target.path(target.bin)
    proc = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=target.env(**env), timeout=180)
    return html, base.with_name(base.name + ".txt"), proc


def grid_data(path):
    """The table a class page's data file (<stem>.data.js) hands its page:
    a dict with "columns" and "rows" (lists of cell texts)."""
    import json
    import re
    script = Path(path).read_text(encoding="ascii")
    body = script[script.index("JSON.parse('") + len("JSON.parse('"):script.rindex("'));")]
    return json.loads(re.sub(r"\\(.)", lambda m: "\n" if m.group(1) == "n" else m.group(1), body))
