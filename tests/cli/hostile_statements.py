#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""`qif2ldx check` against statements made to be hard on a reader: tags that never end,
ampersands without end, a hazard in every element, one huge text. The files are written at test
time, so that no megabytes are kept in the repository.
Usage: hostile_statements.py write FOLDER [NAME=BYTES ...]  writes the files and prints their paths
       hostile_statements.py hang-guard QIF2LDX  checks the 2 MB files (CTest's TIMEOUT times it)
       hostile_statements.py faults QIF2LDX      signals, and too little memory"""

import os
import resource
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, check_equal, report  # noqa: E402

HEADER = (b"OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\n"
          b"ENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\n"
          b"NEWFILEUID:NONE\r\n\r\n")
XML_START = b'<?xml version="1.0"?>\n<OFX>'
END = b"</OFX>\r\n"


def repeated(start, piece, end, size):
    """start, then piece as often as it takes to reach about size bytes, then end."""
    return start + piece * max(1, (size - len(start) - len(end)) // len(piece)) + end


# name: bytes of about the size given
FILES = {
    # an OFX 1.x body of start tags that never end
    "sgml-open-tags": lambda size: repeated(HEADER + b"<OFX>", b"<A", b"", size),
    # the same in an XML body
    "xml-open-tags": lambda size: repeated(XML_START, b"<A", b"", size),
    # SGML text of ampersands, none of them a reference: in a name, and in an amount
    "sgml-ampersands": lambda size: repeated(HEADER + b"<OFX><NAME>", b"&", END, size),
    "sgml-ampersand-amount": lambda size: repeated(HEADER + b"<OFX><STMTTRN><TRNAMT>", b"&",
                                                   END, size),
    # a byte that Windows-1252 does not hold in every element
    "stray-bytes": lambda size: repeated(HEADER + b"<OFX>", b"<A>\x81", END, size),
    # one text as large as the file
    "huge-text": lambda size: repeated(HEADER + b"<OFX><NAME>", b"x", END, size),
}

# The sizes the hostile files were found at.
FULL_SIZES = {"sgml-open-tags": 2 << 20, "xml-open-tags": 2 << 20, "sgml-ampersands": 2 << 20,
              "sgml-ampersand-amount": 2 << 20, "stray-bytes": 40_000_000,
              "huge-text": 200 << 20}


def write(folder, name, size):
    """Writes the named file of about size bytes into folder; returns its path."""
    path = os.path.join(folder, f"{name}-{size}.ofx")
    with open(path, "wb") as handle:
        handle.write(FILES[name](size))
    return path


def run_check(program, path, **kwargs):
    return subprocess.run([program, "check", path], capture_output=True, check=False,
                          timeout=120, **kwargs)


def hang_guard(program, folder):
    """The 2 MB files each get their answer; a scan that goes back over its input would take
    hours on them, and CTest's TIMEOUT turns that into a failure."""
    expected = {"sgml-open-tags": (2, b"a tag that starts on line 1 of the body never ends"),
                "xml-open-tags": (2, b"the XML body is not well-formed"),
                "sgml-ampersands": (0, b""),
                "sgml-ampersand-amount": (1, b"")}
    for name, (status, message) in expected.items():
        run = run_check(program, write(folder, name, 2 << 20))
        check_equal(f"{name}: exit status", run.returncode, status)
        check(f"{name}: message", message in run.stderr, run.stderr.decode(errors="replace"))
    run = run_check(program, write(folder, "sgml-ampersand-amount", 2 << 20))
    check(f"ampersand amount: shown cut", b'"' + b"&" * 256 + "\u2026".encode() in run.stdout,
          run.stdout[:400].decode(errors="replace"))


def resident_bytes(pid):
    """The process's resident memory in bytes; 0 once it is gone."""
    try:
        with open(f"/proc/{pid}/status", encoding="ascii") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) * 1024
    except OSError:
        pass
    return 0


def signals_stop_it(program, folder):
    """SIGINT and SIGTERM stop a check in the middle of a large file at once: exit 130,
    nothing on standard output."""
    path = write(folder, "stray-bytes", 100_000_000)
    size = os.path.getsize(path)
    for signum in (signal.SIGINT, signal.SIGTERM):
        name = signal.Signals(signum).name
        child = subprocess.Popen([program, "check", path], stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE)
        # The file is in memory once the process holds as much: it is checking.
        while child.poll() is None and resident_bytes(child.pid) < size:
            time.sleep(0.01)
        time.sleep(0.2)
        check(f"{name}: still checking when signalled", child.poll() is None)
        sent = time.monotonic()
        child.send_signal(signum)
        out, err = child.communicate(timeout=60)
        waited = time.monotonic() - sent
        check_equal(f"{name}: exit status", child.returncode, 130)
        check_equal(f"{name}: standard output", out, b"")
        check(f"{name}: message", b"interrupted" in err, err.decode(errors="replace"))
        check(f"{name}: prompt", waited < 5, f"{waited:.1f} s")


def limited_address_space(megabytes):
    def apply():
        resource.setrlimit(resource.RLIMIT_AS, (megabytes << 20, megabytes << 20))
    return apply


def memory_stays_bounded(program, folder):
    """The 40 MB file with ten million hazards is checked within 160 MB of address space; a
    file larger than the memory left gets the message that convert gives."""
    run = run_check(program, write(folder, "stray-bytes", 40_000_000),
                    preexec_fn=limited_address_space(160))
    check_equal("40 MB of hazards: exit status", run.returncode, 1)
    check("40 MB of hazards: the rest counted", b"more: 9,998,961 bytes outside" in run.stdout,
          run.stdout[-300:].decode(errors="replace"))
    sparse = os.path.join(folder, "large.ofx")
    with open(sparse, "wb") as handle:
        handle.write(HEADER + b"<OFX><NAME>")
        handle.truncate(256 << 20)
    run = run_check(program, sparse, preexec_fn=limited_address_space(160))
    check_equal("out of memory: exit status", run.returncode, 2)
    check_equal("out of memory: message", run.stderr,
                b"qif2ldx: error: there is not enough memory to check the file\n")


def main():
    mode, target = sys.argv[1:3]
    if mode == "write":
        wanted = [arg.split("=") for arg in sys.argv[3:]] or FULL_SIZES.items()
        for name, size in wanted:
            print(write(target, name, int(size)))
        return 0
    with tempfile.TemporaryDirectory() as folder:
        if mode == "hang-guard":
            hang_guard(target, folder)
        else:
            signals_stop_it(target, folder)
            # AddressSanitizer's shadow memory needs more address space than the limit leaves.
            if not os.environ.get("QIF2LDX_ADDRESS_SANITIZER"):
                memory_stays_bounded(target, folder)
    return report()


if __name__ == "__main__":
    sys.exit(main())
