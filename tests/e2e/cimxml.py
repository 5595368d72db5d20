"""Reads and writes the instances of CIM-XML files as the tests need them."""
import gzip
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape, quoteattr


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


def write_cim_xml(path, classes):
    """Writes a saved CIM-XML file as norbix writes them: classes is
    [(class name, [(property, CIM type)], [{property: value text}])]."""
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<CIM CIMVERSION="2.0" DTDVERSION="2.2">\n'
             '<DECLARATION>\n<DECLGROUP>\n']
    for name, props, _ in classes:
        parts.append(f'<VALUE.OBJECT>\n<CLASS NAME={quoteattr(name)}>\n')
        parts.extend(f'<PROPERTY NAME={quoteattr(p)} TYPE="{t}"/>\n' for p, t in props)
        parts.append('</CLASS>\n</VALUE.OBJECT>\n')
    for name, props, instances in classes:
        types = dict(props)
        for values in instances:
            parts.append(f'<VALUE.OBJECT>\n<INSTANCE CLASSNAME={quoteattr(name)}>\n')
            parts.extend(f'<PROPERTY NAME={quoteattr(p)} TYPE="{types[p]}"><VALUE>{escape(v)}</VALUE></PROPERTY>\n'
                         for p, v in values.items())
            parts.append('</INSTANCE>\n</VALUE.OBJECT>\n')
    parts.append('</DECLGROUP>\n</DECLARATION>\n</CIM>\n')
    path.write_text("".join(parts), encoding="utf-8")
