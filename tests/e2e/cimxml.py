"""Reads the instances of a CIM-XML file as the tests need them."""
import gzip
import xml.etree.ElementTree as ET


def read_instances(path):
    """[(class name, {property: value text or None})] in document order."""
    data = path.read_bytes()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    root = ET.fromstring(data)
    result = []
    for inst in root.iter("INSTANCE"):
        props = {}
        for prop in inst.findall("PROPERTY"):
            value = prop.find("VALUE")
            props[prop.get("NAME")] = value.text or "" if value is not None else None
        result.append((inst.get("CLASSNAME"), props))
    return result


def of_class(instances, name):
    return [p for c, p in instances if c == name]
