"""The service-processor entries in the readable outputs (/v, /text)."""
import datetime
import html

import test_quarnel_trav as trav
import test_quarnel_ulk as ulk
from quarnel_support import output_file, run_collection
from reports_support import grid_data


def in_text(message, text):
    """The text report wraps long cells: the message's words appear in order."""
    at = 0
    for word in message.split():
        at = text.find(word, at)
        if at < 0:
            return False
        at += len(word)
    return True


def readable(out):
    text = output_file(out, "*.txt").read_bytes().decode("latin-1")
    pages = html.unescape("".join(p.read_bytes().decode("utf-8", "replace") for p in out.rglob("*.htm*")))
    # A class page's rows come from the data file beside it.
    cells = ["\n".join("\t".join(row) for row in grid_data(p)["rows"]) for p in out.rglob("*.data.js")]
    return text, pages + "\n".join(cells)


def test_ulk_entries(target, tmp_path):
    now = datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None, microsecond=0)
    _, out = run_collection(target, tmp_path, ulk.image(now - datetime.timedelta(hours=30)), args=["/v", "/text"])
    text, pages = readable(out)
    for processor, *_, source, message in ulk.ENTRIES:
        assert message in pages
        assert "Node %d: %s" % (processor, source) in pages
        assert in_text(message, text)
        assert in_text("Node %d: %s" % (processor, source), text)
    assert ulk.HEAVY in pages


def test_trav_entries(target, tmp_path):
    _, out = run_collection(target, tmp_path, trav.trav_image(len(trav.EVENTS)), args=["/v", "/text"])
    text, pages = readable(out)
    for _, _, message in trav.EVENTS:
        assert message in pages
        assert in_text(message, text)
