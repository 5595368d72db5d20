"""norbix-fleet ingest, query and report on an SQLite store, and on a PostgreSQL
server that the tests start themselves."""
import concurrent.futures
import sqlite3
import subprocess

import pytest

from fleet_support import (EXAMPLE, NEW_EVENT, PostgresServer, collect, fleet, instance, native_tree,  # noqa: F401
                           pair, run_fleet, variants)


@pytest.fixture
def native(fleet):
    if fleet.windows:
        pytest.skip("PostgreSQL is built natively only")
    return fleet


def ok(proc):
    assert proc.returncode == 0, proc.stderr.decode(errors="replace")
    return proc.stdout.decode()


def query(fleet, store, sql):
    return ok(run_fleet(fleet, ["query", "--store", store, sql])).replace("\r\n", "\n")


def test_ingest_report_and_query(fleet, pair, tmp_path):
    old, new = pair
    store = fleet.path(tmp_path / "fleet.db")
    out = ok(run_fleet(fleet, ["ingest", "--store", store, fleet.path(old), fleet.path(new), fleet.path(old)]))
    assert out.replace("\r\n", "\n").splitlines()[-1] == "Ingested 3 files: 2 stored, 1 already stored, 0 refused"
    if not fleet.windows:   # the store holds logs: private to the user
        assert (tmp_path / "fleet.db").stat().st_mode & 0o777 == 0o600
    assert query(fleet, store, "SELECT count(*) AS n FROM collections") == "n\n2\n"
    assert query(fleet, store, "SELECT message FROM log_records WHERE message LIKE 'Configuration%'") == (
        f"message\n{NEW_EVENT}\n")
    assert query(fleet, store, "SELECT kind, location FROM parts WHERE verdict IS NULL ORDER BY location") == (
        "kind,location\nDIMM,DIMM A1\nDIMM,DIMM A1\nDIMM,DIMM A2\nDisk,sda\nDisk,sda\n")
    # The parts model's verdicts beside the inventory; the collection's verdict is its headline.
    assert query(fleet, store, "SELECT verdict, parts_failing, parts_warnings FROM collections ORDER BY collected_utc") \
        == 'verdict,parts_failing,parts_warnings\n"4 parts failing, 4 with warnings",4,4\n' \
           '"3 parts failing, 4 with warnings",3,4\n'
    assert query(fleet, store, "SELECT c.file_name = '%s' AS old, p.verdict, p.evidence_count, p.latest_shown"
                               " FROM parts p JOIN collections c ON c.id = p.collection_id"
                               " WHERE p.kind = 'Disk' AND p.part_key = 'SDA' AND p.verdict IS NOT NULL"
                               " ORDER BY c.collected_utc" % old.name) == (
        "old,verdict,evidence_count,latest_shown\n1,Failed,1,\n0,OK,1,\n")
    assert query(fleet, store, "SELECT count(*) AS n FROM parts WHERE verdict IS NOT NULL AND "
                               "(part_key IS NULL OR scheme IS NULL OR evidence_count < 1)") == "n\n0\n"
    report = ok(run_fleet(fleet, ["report", "--store", store, "--out", fleet.path(tmp_path / "r")]))
    assert report.splitlines()[0] == "1 server, 2 collections, 10 findings across the fleet, 1 compare"
    page = (tmp_path / "r" / "fleet" / "index.html").read_text()
    assert "default-src 'none'" in page and "QX00123" in page and "System BIOS" in page
    assert '<tr class="error"><td>QX00123</td>' in page and "<td>3 parts failing, 4 with warnings</td>" in page
    (compare,) = (tmp_path / "r" / "fleet").glob("compare-QX00123-*.html")
    assert "1 new log record; findings: 0 appeared, 1 cleared, 0 changed; part verdicts: 0 appeared, 1 cleared" in page
    assert NEW_EVENT in compare.read_text()


def test_bad_files_are_refused_and_the_rest_stored(fleet, pair, tmp_path):
    old, new = pair
    truncated = tmp_path / "cut.xml.gz"
    truncated.write_bytes(old.read_bytes()[:3000])
    store = fleet.path(tmp_path / "fleet.db")
    proc = run_fleet(fleet, ["ingest", "--store", store, fleet.path(truncated), fleet.path(new)])
    assert proc.returncode == 1
    assert proc.stderr.decode().startswith(f"norbix-fleet: error: '{fleet.path(truncated)}': not a readable collection")
    assert query(fleet, store, "SELECT count(*) AS n FROM collections") == "n\n1\n"


@pytest.mark.parametrize("make, message", [
    (lambda p: p.write_bytes(b"SQLite format 2\0" + b"x" * 5000), "not an SQLite database"),
    (lambda p: sqlite3.connect(p).execute("CREATE TABLE mine (a)"), "not a norbix-fleet store"),
])
def test_a_store_that_is_no_store_is_refused(fleet, pair, tmp_path, make, message):
    path = tmp_path / "other.db"
    make(path)
    before = path.read_bytes()
    proc = run_fleet(fleet, ["ingest", "--store", fleet.path(path), fleet.path(pair[0])])
    assert proc.returncode == 1 and message in proc.stderr.decode(), proc.stderr
    assert path.read_bytes() == before


def test_a_locked_store(fleet, pair, tmp_path):
    if fleet.windows:
        pytest.skip("Wine's file locks are its own: a lock of this machine's SQLite does not reach the program")
    old, new = pair
    path = tmp_path / "fleet.db"
    store = fleet.path(path)
    ok(run_fleet(fleet, ["ingest", "--store", store, fleet.path(old)]))
    holder = sqlite3.connect(path, isolation_level=None)
    holder.execute("BEGIN EXCLUSIVE")
    proc = run_fleet(fleet, ["ingest", "--wait", "1", "--store", store, fleet.path(new)])
    holder.execute("ROLLBACK")
    holder.close()
    assert proc.returncode == 1
    err = proc.stderr.decode().replace("\r\n", "\n")
    assert err == f"norbix-fleet: error: '{store}': the store is locked by another process (waited 1 s)\n"
    assert query(fleet, store, "SELECT count(*) AS n FROM collections") == "n\n1\n"


UNDO_STEP_3 = ["ALTER TABLE parts DROP COLUMN " + c for c in
               ("part_key", "scheme", "latest_utc", "latest_shown", "evidence_count")] + [
    "ALTER TABLE collections DROP COLUMN parts_failing", "ALTER TABLE collections DROP COLUMN parts_warnings",
    "DELETE FROM parts WHERE verdict IS NOT NULL", "UPDATE collections SET verdict = 'Error'"]


@pytest.mark.parametrize("version, undo", [
    (2, UNDO_STEP_3),
    (1, UNDO_STEP_3 + ["ALTER TABLE parts DROP COLUMN verdict"]),
])
def test_an_older_schema_is_migrated_by_an_ingest(fleet, pair, tmp_path, version, undo):
    old, new = pair
    path = tmp_path / "fleet.db"
    store = fleet.path(path)
    ok(run_fleet(fleet, ["ingest", "--store", store, fleet.path(old)]))
    holder = sqlite3.connect(path, isolation_level=None)
    for sql in undo + [f"UPDATE fleet_schema SET version = {version}"]:   # the store as that version left it
        holder.execute(sql)
    holder.close()
    proc = run_fleet(fleet, ["report", "--store", store, "--out", fleet.path(tmp_path / "r")])
    assert proc.returncode == 1
    assert f"older schema version {version}; an ingest brings it up to date" in proc.stderr.decode()
    ok(run_fleet(fleet, ["ingest", "--store", store, fleet.path(new)]))
    assert query(fleet, store, "SELECT version FROM fleet_schema") == "version\n3\n"
    assert query(fleet, store, "SELECT verdict, parts_failing FROM collections ORDER BY collected_utc") == (
        'verdict,parts_failing\nError,\n"3 parts failing, 4 with warnings",3\n')
    # The older collection is compared without part verdicts; the report draws both.
    ok(run_fleet(fleet, ["report", "--store", store, "--out", fleet.path(tmp_path / "r")]))
    page = (tmp_path / "r" / "fleet" / "index.html").read_text()
    assert "part verdicts: 7 appeared, 0 cleared, 0 changed" in page


def test_concurrent_ingest_stores_each_file_once(fleet, pair, tmp_path):
    files = [fleet.path(f) for f in variants(pair[0], tmp_path, 20)]
    store = fleet.path(tmp_path / "fleet.db")

    def ingest(i):
        order = files[i * 5:] + files[:i * 5]   # each process starts elsewhere
        return run_fleet(fleet, ["ingest", "--store", store] + order, timeout=600)
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        results = list(pool.map(ingest, range(4)))
    stored = 0
    for proc in results:
        last = ok(proc).replace("\r\n", "\n").splitlines()[-1]
        stored += int(last.split(": ")[1].split(" stored")[0])
    assert stored == 20
    assert query(fleet, store, "SELECT count(*) AS n, count(DISTINCT content_hash) AS d FROM collections") == (
        "n,d\n20,20\n")
    assert query(fleet, store, "SELECT count(*) AS n FROM servers") == "n\n20\n"


def test_processes_that_create_one_new_store_at_once_all_store(fleet, pair, tmp_path):
    # The first writers of a new file race to set it up; SQLite answers that race "busy" without waiting.
    for attempt in range(6):
        store = fleet.path(tmp_path / f"new{attempt}.db")
        with concurrent.futures.ThreadPoolExecutor(6) as pool:
            results = list(pool.map(lambda i: run_fleet(fleet, ["ingest", "--store", store, fleet.path(pair[i % 2])]),
                                    range(6)))
        for proc in results:
            ok(proc)
        assert query(fleet, store, "SELECT count(*) AS n FROM collections") == "n\n2\n"


@pytest.fixture(scope="module")
def postgres():
    server = PostgresServer(None)
    yield server
    server.stop()


def test_postgresql_store_gives_the_same_report_as_sqlite(native, pair, tmp_path, postgres):
    old, new = pair
    files = [str(old), str(new)]
    stores = {"sqlite": str(tmp_path / "fleet.db"), "postgresql": postgres.create_database("fleet_same")}
    pages = {}
    for name, store in stores.items():
        ok(run_fleet(native, ["ingest", "--store", store] + files))
        ok(run_fleet(native, ["ingest", "--store", store] + files[:1]))   # stored once
        ok(run_fleet(native, ["report", "--store", store, "--out", str(tmp_path / name)]))
        folder = tmp_path / name / "fleet"
        pages[name] = {p.name: p.read_bytes() for p in folder.iterdir()}
    assert pages["sqlite"] == pages["postgresql"]
    assert len(pages["sqlite"]) == 5   # index, one compare, style, script, manifest
    assert query(native, stores["postgresql"], "SELECT count(*) AS n FROM collections") == "n\n2\n"
    proc = run_fleet(native, ["query", "--store", stores["postgresql"], "DELETE FROM servers"])
    assert proc.returncode == 1 and "read-only transaction" in proc.stderr.decode()


def test_postgresql_holds_every_text_as_sqlite_does(native, tmp_path, postgres):
    # Tabs, line breaks, backslashes and quotes travel through COPY escaped.
    tricky = "tab\there back\\slash \"quoted\" line\nbreak caf\u00e9 \\N"
    extra = [instance("VARNSG_SoftwareIdentity", {
        "CreationClassName": ("string", "VARNSG_SoftwareIdentity"), "Name": ("string", tricky),
        "Version": ("string", "1\t2"), "Kind": ("string", "Driver")})]
    text = collect(native_tree(tmp_path), tmp_path, "tricky", EXAMPLE.read_text(), extra)
    stores = [str(tmp_path / "fleet.db"), postgres.create_database("fleet_text")]
    sql = ("SELECT v.name, v.version, i.properties FROM versions v JOIN instances i ON i.collection_id = v.collection_id"
           " WHERE i.class_name = 'VARNSG_SoftwareIdentity' ORDER BY v.position, i.position")
    outputs = []
    for store in stores:
        ok(run_fleet(native, ["ingest", "--store", store, str(text)]))
        outputs.append(query(native, store, sql))
    assert outputs[0] == outputs[1]
    assert tricky.replace('"', '""') in outputs[0]


def test_postgresql_concurrent_ingest(native, pair, tmp_path, postgres):
    store = postgres.create_database("fleet_many")
    files = [str(f) for f in variants(pair[0], tmp_path, 20)]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        results = list(pool.map(lambda i: run_fleet(native, ["ingest", "--store", store] + files[i * 5:] + files[:i * 5],
                                                     timeout=600), range(4)))
    for proc in results:
        ok(proc)
    assert query(native, store, "SELECT count(*) AS n, count(DISTINCT content_hash) AS d FROM collections") == (
        "n,d\n20,20\n")


def test_postgresql_down_or_refusing_the_login(native, pair, tmp_path, postgres):
    down = f"postgresql:///postgres?host={tmp_path}&user=nobody"
    proc = run_fleet(native, ["ingest", "--store", down, str(pair[0])])
    assert proc.returncode == 1
    assert proc.stderr.decode().startswith(f"norbix-fleet: error: '{down}': cannot connect to the PostgreSQL server: ")
    refused = postgres.address(user="nosuchrole")
    proc = run_fleet(native, ["report", "--store", refused, "--out", str(tmp_path)])
    assert proc.returncode == 1
    err = proc.stderr.decode()
    assert "cannot connect to the PostgreSQL server" in err and "nosuchrole" in err
    secret = "postgresql://someone:hunter2@/postgres?host=" + str(tmp_path)
    proc = run_fleet(native, ["report", "--store", secret, "--out", str(tmp_path)])
    assert proc.returncode == 1 and "hunter2" not in proc.stderr.decode() and "someone:***@" in proc.stderr.decode()


def test_a_store_whose_name_is_not_ascii(fleet, pair, tmp_path):
    path = tmp_path / "flotte-\u00e9t\u00e9.db"
    ok(run_fleet(fleet, ["ingest", "--store", fleet.path(path), fleet.path(pair[0])]))
    assert path.exists(), sorted(p.name for p in tmp_path.iterdir())
    assert query(fleet, fleet.path(path), "SELECT count(*) AS n FROM collections") == "n\n1\n"


def test_postgresql_store_held_by_another_writer(native, pair, tmp_path, postgres):
    from fleet_support import POSTGRES_BIN
    store = postgres.create_database("fleet_held")
    ok(run_fleet(native, ["ingest", "--store", store, str(pair[0])]))
    # Another writer in its transaction holds the store's write lock.
    holder = subprocess.Popen([str(POSTGRES_BIN / "psql"), "-q", "-X", "-t", "-A", store], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        holder.stdin.write(b"BEGIN; SELECT pg_advisory_xact_lock(7244101); \\echo held\n")
        holder.stdin.flush()
        lines = [holder.stdout.readline() for _ in range(2)]   # the lock's empty row, then the echo
        assert lines[-1].strip() == b"held", lines
        proc = run_fleet(native, ["ingest", "--wait", "2", "--store", store, str(pair[1])])
        assert proc.returncode == 1
        assert proc.stderr.decode().endswith("': the store is locked by another process\n"), proc.stderr
    finally:
        holder.communicate(b"ROLLBACK;\n\\q\n", timeout=60)
    ok(run_fleet(native, ["ingest", "--store", store, str(pair[1])]))
    assert query(native, store, "SELECT count(*) AS n FROM collections") == "n\n2\n"


def test_postgresql_older_schema_is_migrated_by_an_ingest(native, pair, tmp_path, postgres):
    from fleet_support import POSTGRES_BIN
    old, new = pair
    store = postgres.create_database("fleet_migrated")
    ok(run_fleet(native, ["ingest", "--store", store, str(old)]))
    undo = "; ".join(UNDO_STEP_3 + ["UPDATE fleet_schema SET version = 2"])
    subprocess.run([str(POSTGRES_BIN / "psql"), "-q", "-X", "-v", "ON_ERROR_STOP=1", "-c", undo, store], check=True,
                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    proc = run_fleet(native, ["report", "--store", store, "--out", str(tmp_path / "r")])
    assert proc.returncode == 1 and "older schema version 2; an ingest brings it up to date" in proc.stderr.decode()
    ok(run_fleet(native, ["ingest", "--store", store, str(new)]))
    assert query(native, store, "SELECT version FROM fleet_schema") == "version\n3\n"
    assert query(native, store, "SELECT verdict, parts_failing FROM collections ORDER BY collected_utc") == (
        'verdict,parts_failing\nError,\n"3 parts failing, 4 with warnings",3\n')
    ok(run_fleet(native, ["report", "--store", store, "--out", str(tmp_path / "r")]))
    assert "part verdicts: 7 appeared, 0 cleared, 0 changed" in (tmp_path / "r" / "fleet" / "index.html").read_text()
