"""Runs norbix on a simulated service processor and reads the collected instances."""
import gzip
import xml.etree.ElementTree as ET


def hexbytes(data):
    return " ".join("%02X" % b for b in data)


def run_collection(target, tmp_path, image, args=(), env=None):
    """Runs a collection with the image text as VANT_SP_IMAGE; returns (result, output dir).
    The machine identity comes from WYX_DMI_DIR, so the output is named 8840-Q1X_QX00123_*."""
    image_path = tmp_path / "sp.img"
    image_path.write_text(image)
    dmi = tmp_path / "dmi"
    dmi.mkdir(exist_ok=True)
    (dmi / "sys_vendor").write_text("VARN\n")
    (dmi / "product_name").write_text("8840-Q1X\n")
    (dmi / "product_serial").write_text("QX00123\n")
    out = tmp_path / "out"
    overrides = {"VANT_SP_IMAGE": target.path(image_path), "WYX_DMI_DIR": target.path(dmi)}
    overrides.update(env or {})
    result = target.run(["/b", "/c", "/d", target.path(out)] + list(args), env=overrides)
    assert result.returncode == 0, result.stdout
    return result, out


def output_file(out, pattern):
    files = sorted(out.glob(pattern))
    assert len(files) == 1, (pattern, [f.name for f in out.iterdir()])
    return files[0]


def instances(out, classname):
    """The instances of a class in the compressed XML output, each a dict of
    property name to (type, value)."""
    with gzip.open(output_file(out, "*.xml.gz")) as f:
        root = ET.parse(f).getroot()
    found = []
    for inst in root.iter("INSTANCE"):
        if inst.get("CLASSNAME") != classname:
            continue
        props = {}
        for p in inst.findall("PROPERTY"):
            v = p.find("VALUE")
            props[p.get("NAME")] = (p.get("TYPE"), "" if v is None or v.text is None else v.text)
        found.append(props)
    return found


def values(instance):
    return {name: value for name, (_, value) in instance.items()}
