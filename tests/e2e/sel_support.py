"""Scripts of a management controller for WYX_IPMI_SCRIPT (the SEL collector's
scripted transport) and the SEL records they hold."""
import datetime
import struct

DEVICE_ID = "reply 06 01 00 20 81 02 25 02 BF 57 01 00 34 12"
RESERVE = "reply 0A 42 00 01 00"
EPOCH = datetime.datetime(1970, 1, 1, tzinfo=datetime.timezone.utc)


def hexs(data):
    return " ".join(f"{b:02X}" for b in data)


def system_event(record_id, stamp, sensor_type, sensor, event_type, data, deassert=False, generator=0x0020):
    """The 16 bytes of a system event record (type 0x02)."""
    return struct.pack("<HBIHBBBB3s", record_id, 0x02, stamp, generator, 0x04, sensor_type, sensor,
                       (0x80 if deassert else 0) | event_type, bytes(data))


def oem_record(record_id, record_type, payload):
    return struct.pack("<HB", record_id, record_type) + bytes(payload).ljust(13, b"\0")[:13]


def sel_info(entries, free=0x0800, last_add=0, last_erase=0, flags=0x02):
    return "reply 0A 40 00 51 " + hexs(struct.pack("<HHIIB", entries, free, last_add, last_erase, flags))


def entry_reply(record, next_id):
    return "reply 0A 43 00 " + hexs(struct.pack("<H", next_id) + record)


def script(records, clock=None, info=None, tail=()):
    """A controller holding records (each 16 bytes) chained in order, whose
    SEL clock reads clock (seconds since 1970; None: Get SEL Time fails)."""
    lines = [DEVICE_ID, info or sel_info(len(records)),
             "reply 0A 48 00 " + hexs(struct.pack("<I", clock)) if clock is not None else "reply 0A 48 D5",
             RESERVE]
    for i, record in enumerate(records):
        next_id = 0xFFFF if i + 1 == len(records) else struct.unpack_from("<H", records[i + 1])[0]
        lines.append(entry_reply(record, next_id))
    lines.extend(tail)
    return "\n".join(lines) + "\n"


def cim_time(text):
    """A DMTF point in time ("20200913122640.000000+000") as an aware datetime."""
    base = datetime.datetime.strptime(text[:14], "%Y%m%d%H%M%S")
    offset = int(text[21:25])
    return base.replace(tzinfo=datetime.timezone(datetime.timedelta(minutes=offset)))


def stamp_of(moment):
    return int((moment - EPOCH).total_seconds())
