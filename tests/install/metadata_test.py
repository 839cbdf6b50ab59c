#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The software-centre metadata and the desktop entry pass their validators, and the screenshot
that the metadata shows is the one the project ships, at the size it declares.
Usage: metadata_test.py SOURCE_DIR"""

import pathlib
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent))
from harness import check, check_equal, report, run_main  # noqa: E402


def validated(argv):
    result = subprocess.run(argv, capture_output=True, text=True, check=False)
    return result.returncode, result.stdout + result.stderr


def main():
    data = pathlib.Path(sys.argv[1]) / "data"
    metainfo = data / "org.qif2ldx.qif2ldx.metainfo.xml"
    code, output = validated(["appstreamcli", "validate", "--no-net", "--pedantic", str(metainfo)])
    check("appstreamcli validate", code == 0, output)
    code, output = validated(["desktop-file-validate", str(data / "qif2ldx.desktop")])
    check("desktop-file-validate", code == 0 and output == "", output)

    image = ElementTree.parse(metainfo).find("screenshots/screenshot/image")
    shipped = data / image.text.rsplit("/", 1)[-1]
    check("the screenshot is shipped", shipped.is_file(), str(shipped))
    if shipped.is_file():
        header = shipped.read_bytes()[:24]
        check_equal("screenshot is a PNG", header[:8], b"\x89PNG\r\n\x1a\n")
        check_equal("screenshot size", struct.unpack(">II", header[16:24]),
                    (int(image.get("width")), int(image.get("height"))))
    return report()


if __name__ == "__main__":
    run_main(main)
