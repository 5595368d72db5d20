"""Whole runs: collection, the run log in the output, input mode, /website."""
import re

import pytest

from cimxml import of_class, read_instances
from runs import split_setup

WRITERS = ["fixture_html", "fixture_text"]


@pytest.fixture
def tree(target, tmp_path):
    """A copy of the built tree with the real System and XML plug-ins, writer
    stand-ins named HTML and Text, and the fixture collector."""
    return target.copy_tree(tmp_path / "bin", plugins=["system", "xml"],
                            fixtures=WRITERS + ["fixture_collector"])


def out_dir(tmp_path):
    out = tmp_path / "out"
    out.mkdir(exist_ok=True)
    return out


def run(tree, args, dmi=None, env=None, **kw):
    e = {"SYSTEMDRIVE": "C:"}
    if dmi is not None:
        e["WYX_DMI_DIR"] = tree.path(dmi)
    e.update(env or {})
    return tree.run(args, env=e, **kw)


def collection_lines(listing):
    return ("Running collector plug-ins pass 1.\n" + listing
            + "\nRunning collector plug-ins pass 2.\n" + listing + "\n")


LISTING = "   fixture_collector: Fixture Collector\n   system: System\n"


def test_a_full_run(tree, tmp_path, dmi):
    out = out_dir(tmp_path)
    d = tree.path(out)
    result = run(tree, ["/v", "/text", "/b", "/d", d], dmi=dmi)
    stamp, rest = split_setup(tree, result, d)
    base = d + tree.sep + "8842-AB1_KD12345_" + stamp
    assert rest == (collection_lines(LISTING)
                    + "Adding VARN OSK log entries to XML file.\n"
                    + "Writing XML data to file " + base + ".xml.gz\n"
                    + "Writing HTML files to directory " + base + "\n"
                    + "Writing Text report file " + base + ".txt\n"
                    + "OSK finished; exiting.\n")
    assert result.returncode == 0
    name = "8842-AB1_KD12345_" + stamp
    assert sorted(f.name for f in out.iterdir()) == [name, name + ".xml.gz"]
    assert (out / name).read_text().strip() == "Text output"     # the text writer got the base path

    instances = read_instances(out / (name + ".xml.gz"))
    system = of_class(instances, "VARNSG_ComputerSystem")
    assert len(system) == 1
    assert system[0]["CMCMTM"] == "{CMCMTM}8842-AB1"
    assert [p["Pass"] for p in of_class(instances, "VARNSG_FixtureRecord")] == ["0"]
    assert [p["Pass"] for p in of_class(instances, "VARNSG_FixtureLateRecord")] == ["1"]

    core = of_class(instances, "VARNSG_OSKLogRecord")
    heavy = of_class(instances, "VARNSG_HeavyHittersLogRecord")
    ids = sorted(int(p["RecordID"]) for p in core + heavy)
    assert ids == list(range(len(ids)))
    echo = [p for p in core if p["Message"].startswith("OSK was run")]
    assert echo == [dict(echo[0], Message="OSK was run with the following command line arguments: '/v /text /b /d "
                         + d + " '.", Source="Core", Type="2", RecordID="0", LogName="VARN OSK core log",
                         LogCreationClassName="VARNSG_OSKMessageLog", CreationClassName="VARNSG_OSKLogRecord")]
    assert re.fullmatch(r"\d{14}\.\d{6}[+-]\d{3}", echo[0]["MessageTimestamp"])
    logs = of_class(instances, "VARNSG_OSKMessageLog")
    assert logs == [{"CreationClassName": "VARNSG_OSKMessageLog", "Name": "VARN OSK core log"}]
    assert of_class(instances, "VARNSG_HeavyHittersMessageLog") == [
        {"CreationClassName": "VARNSG_HeavyHittersMessageLog", "Name": "VARN OSK heavy hitters log"}]


def test_without_identity_the_name_is_unknown(tree, tmp_path):
    out = out_dir(tmp_path)
    empty = tmp_path / "no_dmi"
    empty.mkdir()
    result = run(tree, ["/b", "/d", tree.path(out)], dmi=empty)
    stamp, rest = split_setup(tree, result, tree.path(out))
    assert rest.endswith("Writing XML data to file " + tree.path(out) + tree.sep + "Unknown_Unknown_" + stamp
                         + ".xml.gz\nOSK finished; exiting.\n")
    assert [f.name for f in out.iterdir()] == ["Unknown_Unknown_" + stamp + ".xml.gz"]
    assert result.returncode == 0


@pytest.mark.parametrize("include, exclude, listing", [
    ("fixture_collector", None,
     "   fixture_collector: Fixture Collector\n     Disabled - system: System\n"),
    ("", None, "     Disabled - fixture_collector: Fixture Collector\n     Disabled - system: System\n"),
    ("Fixture_Collector,system", None,
     "     Disabled - fixture_collector: Fixture Collector\n   system: System\n"),
    (None, "a,b;system fixture", "   fixture_collector: Fixture Collector\n     Disabled - system: System\n"),
    (None, ",,", LISTING),
    (None, "fixture_collector;", "     Disabled - fixture_collector: Fixture Collector\n   system: System\n"),
])
def test_include_and_exclude_select_the_collectors(tree, tmp_path, dmi, include, exclude, listing):
    out = out_dir(tmp_path)
    result = run(tree, ["/b", "/d", tree.path(out)], dmi=dmi,
                 env={"OSK_INCLUDE": include, "OSK_EXCLUDE": exclude})
    _, rest = split_setup(tree, result, tree.path(out))
    assert rest.startswith(collection_lines(listing))
    assert result.returncode == 0
    xml = next(out.glob("*.xml.gz"))
    instances = read_instances(xml)
    # The System run for the computer system happens whatever the lists say.
    assert len(of_class(instances, "VARNSG_ComputerSystem")) == 1
    ran = "   fixture_collector:" in listing
    assert len(of_class(instances, "VARNSG_FixtureRecord")) == (1 if ran else 0)


def test_plugins_of_another_type_or_not_loaded_are_skipped_silently(target, tmp_path, dmi):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"],
                            fixtures=["fixture_flat_noinit", "fixture_kalvix", "fixture_collector"])
    out = out_dir(tmp_path)
    result = run(tree, ["/b", "/d", tree.path(out)], dmi=dmi)
    _, rest = split_setup(tree, result, tree.path(out))
    assert rest.startswith(collection_lines(LISTING))
    assert result.returncode == 0


def test_a_throwing_collector_stops_the_run_leaving_only_the_dump(target, tmp_path, dmi):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"],
                            fixtures=["fixture_collector", "fixture_thrower"])
    out = out_dir(tmp_path)
    d = tree.path(out)
    result = run(tree, ["/b", "/dumpxml", "/d", d], dmi=dmi)
    stamp, rest = split_setup(tree, result, d)
    dump = d + tree.sep + "OSK_Output_" + stamp + ".xml.gz"
    assert rest == ("Writing OSK data after each plugin runs to file:\n" + dump + "\n\n"
                    + "Running collector plug-ins pass 1.\n"
                    + "   fixture_collector: Fixture Collector\n"
                    + "   fixture_thrower: Fixture Thrower\n"
                    + "ERROR: RunQuery returned exception code Plug-in query failed\n")
    assert result.returncode == 1
    assert [f.name for f in out.iterdir()] == ["OSK_Output_" + stamp + ".xml.gz"]
    instances = read_instances(out / ("OSK_Output_" + stamp + ".xml.gz"))
    assert len(of_class(instances, "VARNSG_FixtureRecord")) == 1
    assert of_class(instances, "VARNSG_OSKLogRecord")


def test_dumpxml_removes_its_dump_after_a_complete_run(tree, tmp_path, dmi):
    out = out_dir(tmp_path)
    result = run(tree, ["/b", "/dumpxml", "/d", tree.path(out)], dmi=dmi)
    stamp, _ = split_setup(tree, result, tree.path(out))
    assert result.returncode == 0
    assert [f.name for f in out.iterdir()] == ["8842-AB1_KD12345_" + stamp + ".xml.gz"]


def test_input_mode_rerenders_a_saved_file_with_this_runs_records(tree, tmp_path, dmi):
    first = out_dir(tmp_path)
    assert run(tree, ["/b", "/d", tree.path(first)], dmi=dmi).returncode == 0
    saved = next(first.glob("*.xml.gz"))
    old = read_instances(saved)

    second = tmp_path / "second"
    second.mkdir()
    empty = tmp_path / "no_dmi"
    empty.mkdir()
    args = ["/i", tree.path(saved), "/b", "/d", tree.path(second)]
    result = run(tree, args, dmi=empty)        # the name comes from the file's data
    stamp, rest = split_setup(tree, result, tree.path(second))
    base = tree.path(second) + tree.sep + "8842-AB1_KD12345_" + stamp
    assert rest == ("Reading input file.\n"
                    + "Adding VARN OSK log entries to XML file.\n"
                    + "Writing XML data to file " + base + ".xml.gz\n"
                    + "OSK finished; exiting.\n")
    assert result.returncode == 0
    new = read_instances(second / ("8842-AB1_KD12345_" + stamp + ".xml.gz"))
    old_records = of_class(old, "VARNSG_OSKLogRecord")
    new_records = of_class(new, "VARNSG_OSKLogRecord")
    assert new_records[:len(old_records)] == old_records
    echo = "OSK was run with the following command line arguments: '" + " ".join(args) + " '."
    assert [p["RecordID"] for p in new_records if p["Message"] == echo] == ["0"]
    assert len(of_class(new, "VARNSG_ComputerSystem")) == 1
    assert len(of_class(new, "VARNSG_OSKMessageLog")) == 1


@pytest.mark.parametrize("content, message", [
    (None, "ERROR: File '{}' not found.\n"),
    (b"this is not xml", "ERROR: PopulateContainerFromFile returned exception code "),
])
def test_input_mode_with_a_bad_file(tree, tmp_path, content, message):
    out = out_dir(tmp_path)
    f = tmp_path / "saved.xml"
    if content is not None:
        f.write_bytes(content)
    result = run(tree, ["/b", "/i", tree.path(f), "/d", tree.path(out)])
    _, rest = split_setup(tree, result, tree.path(out))
    assert rest.startswith("Reading input file.\n" + message.format(tree.path(f)))
    assert rest.endswith("\n")
    assert result.returncode == 1
    assert list(out.iterdir()) == []


@pytest.mark.parametrize("file_name, base", [("srv_123.xml.gz", "srv_123"), ("run.xml", "run")])
def test_website_renders_a_saved_file_into_pages_named_after_it(tree, tmp_path, dmi, file_name, base):
    first = out_dir(tmp_path)
    assert run(tree, ["/b", "/d", tree.path(first)], dmi=dmi).returncode == 0
    saved = tmp_path / "elsewhere" / file_name
    saved.parent.mkdir()
    data = next(first.glob("*.xml.gz")).read_bytes()
    if file_name.endswith(".xml"):
        import gzip
        data = gzip.decompress(data)
    saved.write_bytes(data)
    second = tmp_path / "second"
    second.mkdir()
    result = run(tree, ["/website", "/i", tree.path(saved), "/d", tree.path(second)])   # never prompts
    _, rest = split_setup(tree, result, tree.path(second))
    assert rest == ("Reading input file.\n"
                    + "Writing HTML files to directory " + tree.path(second) + tree.sep + base + "\n"
                    + "OSK finished; exiting.\n")
    assert result.returncode == 0
    assert [f.name for f in second.iterdir()] == [base]


def test_dirmode_writes_dir_temp_and_never_prompts(tree, tmp_path, dmi):
    out = out_dir(tmp_path)
    result = run(tree, ["dirmode", tree.path(out), "/v"], dmi=dmi)
    _, rest = split_setup(tree, result, tree.path(out))
    assert rest.endswith("Writing XML data to file " + tree.path(out) + tree.sep + "dir_temp.xml.gz\n"
                         + "OSK finished; exiting.\n")
    assert [f.name for f in out.iterdir()] == ["dir_temp.xml.gz"]
    assert result.returncode == 0


@pytest.mark.parametrize("writers, args, message", [
    (["fixture_html_denied"], ["/v"], "ERROR: Access denied trying to write HTML files.\n"),
    (["fixture_html_failing"], ["/v"], "ERROR: HTML WriteContainer returned exception code Write failed\n"),
    (["fixture_text_denied"], ["/text"], "ERROR: Access denied trying to write Text files.\n"),
    (["fixture_text_failing"], ["/text"], "ERROR: Text WriteContainer returned exception code Write failed\n"),
    # The dump of /dumpxml is already gone when the writer fails after the XML.
    (["fixture_html_failing"], ["/dumpxml", "/v"], "ERROR: HTML WriteContainer returned exception code Write failed\n"),
])
def test_a_writer_failure_after_the_xml_leaves_the_xml(target, tmp_path, dmi, writers, args, message):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"], fixtures=writers)
    out = out_dir(tmp_path)
    result = run(tree, ["/b", "/d", tree.path(out)] + args, dmi=dmi)
    stamp, rest = split_setup(tree, result, tree.path(out))
    assert rest.endswith(message)
    assert result.returncode == 1
    assert [f.name for f in out.iterdir()] == ["8842-AB1_KD12345_" + stamp + ".xml.gz"]


def test_writers_without_the_write_interface_write_nothing(target, tmp_path, dmi):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"],
                            fixtures=["fixture_html_nowrite", "fixture_text_nowrite"])
    out = out_dir(tmp_path)
    result = run(tree, ["/b", "/v", "/text", "/d", tree.path(out)], dmi=dmi)
    stamp, rest = split_setup(tree, result, tree.path(out))
    base = tree.path(out) + tree.sep + "8842-AB1_KD12345_" + stamp
    assert rest.endswith("Writing HTML files to directory " + base + "\n"
                         + "Writing Text report file " + base + ".txt\n"
                         + "OSK finished; exiting.\n")
    assert result.returncode == 0
    assert [f.name for f in out.iterdir()] == ["8842-AB1_KD12345_" + stamp + ".xml.gz"]


OTHER_TOOL_FILE = (
    '<?xml version="1.0"?>\n<CIM CIMVERSION="2.0" DTDVERSION="2.2"><DECLARATION><DECLGROUP>\n'
    '<VALUE.OBJECT><INSTANCE CLASSNAME="Other_Port">\n'
    '<PROPERTY.ARRAY NAME="OperationalStatus" TYPE="uint16"><VALUE.ARRAY><VALUE>2</VALUE><VALUE>0x0A</VALUE>'
    '</VALUE.ARRAY></PROPERTY.ARRAY>\n'
    '<PROPERTY.REFERENCE NAME="Owner"><VALUE.REFERENCE><LOCALINSTANCEPATH><LOCALNAMESPACEPATH>'
    '<NAMESPACE NAME="root"/></LOCALNAMESPACEPATH><INSTANCENAME CLASSNAME="Other_System"><KEYBINDING NAME="Id">'
    '<KEYVALUE VALUETYPE="numeric">7</KEYVALUE></KEYBINDING></INSTANCENAME></LOCALINSTANCEPATH></VALUE.REFERENCE>'
    '</PROPERTY.REFERENCE>\n'
    '</INSTANCE></VALUE.OBJECT>\n</DECLGROUP></DECLARATION></CIM>\n')


def test_input_mode_reads_arrays_and_references_of_other_tools(target, tmp_path):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml", "html", "text"])
    saved = tmp_path / "other.xml"
    saved.write_text(OTHER_TOOL_FILE)
    out = out_dir(tmp_path)
    result = run(tree, ["/b", "/i", tree.path(saved), "/v", "/text", "/d", tree.path(out)])
    assert result.returncode == 0, result.stdout
    report = next(out.glob("*.txt")).read_bytes().decode("latin-1")
    pages = "".join(p.read_text("latin-1") for p in out.glob("*/*.html"))
    for shown in ("{2, 10}", "root:Other_System.Id=7"):
        assert shown in report
        assert shown in pages
    rewritten = next(out.glob("*.xml.gz")).read_bytes()
    import gzip
    xml = gzip.decompress(rewritten).decode()
    assert ('<PROPERTY.ARRAY NAME="OperationalStatus" TYPE="uint16"><VALUE.ARRAY><VALUE>2</VALUE>'
            '<VALUE>10</VALUE></VALUE.ARRAY></PROPERTY.ARRAY>') in xml
    assert '<KEYVALUE VALUETYPE="numeric">7</KEYVALUE>' in xml


@pytest.mark.parametrize("fixtures, records", [
    (["fixture_analysis_noquery", "fixture_kalvix"],
     ["Plug-in Basic Analysis doesn't support any query interfaces",
      "Plug-in Kalvix Version Checker doesn't support any query interfaces"]),
    (["fixture_analysis_throws", "fixture_kalvix_throws"],
     ["Plug-in Basic Analysis threw exception Plug-in query failed",
      "Plug-in Kalvix Version Checker threw exception File holds a value that does not match its type"]),
])
def test_analysis_and_version_check_failures_are_records_only(target, tmp_path, dmi, fixtures, records):
    tree = target.copy_tree(tmp_path / "bin", plugins=["system", "xml"], fixtures=fixtures)
    out = out_dir(tmp_path)
    media = tmp_path / "media"
    media.mkdir()
    result = run(tree, ["/b", "/u", tree.path(media), "/d", tree.path(out)], dmi=dmi)
    stamp, rest = split_setup(tree, result, tree.path(out))
    assert rest.startswith(collection_lines("   system: System\n")
                           + "Running Basic Analysis\nRunning Kalvix Version Checker\n"
                           + "Adding VARN OSK log entries to XML file.\n")
    assert result.returncode == 0
    core = of_class(read_instances(out / ("8842-AB1_KD12345_" + stamp + ".xml.gz")), "VARNSG_OSKLogRecord")
    assert [(r["Source"], r["Type"], r["Message"]) for r in core if r["Message"].startswith("Plug-in ")] == \
        [("Core", "0", m) for m in records]


def test_input_mode_keeps_the_files_type_model_mark(tree, tmp_path, dmi):
    first = out_dir(tmp_path)
    assert run(tree, ["/b", "/d", tree.path(first)], dmi=dmi).returncode == 0
    saved = next(first.glob("*.xml.gz"))
    import gzip
    xml = gzip.decompress(saved.read_bytes()).replace(b"{CMCMTM}8842-AB1", b"{CMCMTM}1234-OLD")
    edited = tmp_path / "edited.xml"
    edited.write_bytes(xml)
    second = tmp_path / "second"
    second.mkdir()
    result = run(tree, ["/b", "/i", tree.path(edited), "/d", tree.path(second)], dmi=dmi)
    assert result.returncode == 0
    [written] = second.glob("*.xml.gz")
    assert [s["CMCMTM"] for s in of_class(read_instances(written), "VARNSG_ComputerSystem")] == ["{CMCMTM}1234-OLD"]
