"""A responder on the UNIX socket that ipmitool's "dummy" interface connects
to: it answers Get Device ID and refuses every other command (completion code
0xC1), which is all "sel readraw" needs before it decodes its file.

ipmitool names the socket itself (/tmp/.ipmi_dummy), so a lock beside it keeps
two test runs from answering each other's requests."""
import contextlib
import fcntl
import os
import socket
import struct
import subprocess
import threading

SOCKET = "/tmp/.ipmi_dummy"
REQUEST = struct.Struct("<BBBBH10x")       # netfn, lun, cmd, target_cmd, data_len; a pointer after
REPLY = struct.Struct("<iiii8x")           # 24 bytes on x86_64: (unused), ccode, data_len, padding, a pointer
DEVICE_ID = bytes([0x20, 0x81, 0x02, 0x25, 0x02, 0xBF, 0x57, 0x01, 0x00, 0x34, 0x12])


def _read(conn, n):
    data = b""
    while len(data) < n:
        chunk = conn.recv(n - len(data))
        if not chunk:
            raise EOFError
        data += chunk
    return data


def _serve(server, stop):
    while not stop.is_set():
        try:
            conn, _ = server.accept()
        except OSError:
            return
        with conn:
            try:
                while True:
                    netfn, _, cmd, _, length = REQUEST.unpack(_read(conn, REQUEST.size))
                    _read(conn, length)
                    if (netfn, cmd) == (0x06, 0x01):
                        conn.sendall(REPLY.pack(0, 0, len(DEVICE_ID), 0) + DEVICE_ID)
                    else:
                        conn.sendall(REPLY.pack(0, 0xC1, 0, 0))
            except (EOFError, OSError):
                pass


@contextlib.contextmanager
def responder():
    with open(SOCKET + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        with contextlib.suppress(FileNotFoundError):
            os.unlink(SOCKET)
        server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        server.bind(SOCKET)
        server.listen(4)
        stop = threading.Event()
        thread = threading.Thread(target=_serve, args=(server, stop), daemon=True)
        thread.start()
        try:
            yield
        finally:
            stop.set()
            server.close()
            with contextlib.suppress(FileNotFoundError):
                os.unlink(SOCKET)
            thread.join(5)


def readraw(path):
    """ipmitool's decoding of a file of 16-byte SEL records: one list of the
    "|"-separated fields per record."""
    with responder():
        proc = subprocess.run(["ipmitool", "-I", "dummy", "sel", "readraw", str(path)], capture_output=True,
                              timeout=60)
    assert proc.returncode == 0, proc.stderr.decode()
    return [[f.strip() for f in line.split("|")] for line in proc.stdout.decode("latin-1").splitlines()
            if "|" in line]
