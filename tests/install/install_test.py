#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Installing into a prefix and building the Debian package give a working program.
Usage: install_test.py BUILD_DIR SOURCE_DIR VERSION"""

import atexit
import gzip
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

failures = []

# The installed program records what it converts: in a history of this run's own.
_history = tempfile.mkdtemp(prefix="qif2ldx-history-")
os.environ["XDG_DATA_HOME"] = _history
atexit.register(shutil.rmtree, _history, True)


def check(what, condition, detail=""):
    if not condition:
        failures.append(f"{what} {detail}".strip())


def run(argv, **kwargs):
    return subprocess.run(argv, capture_output=True, check=False, **kwargs)


def check_prefix(build, source, version, prefix):
    install = run(["cmake", "--install", build, "--prefix", str(prefix)])
    check("install", install.returncode == 0, install.stderr.decode(errors="replace"))
    program_dir = prefix / "lib/qif2ldx"
    for name in ["qif2ldx", "libqif2ldx-dialog.so", "libqif2ldx-desktop.so",
                 "olacclst.dat",
                 "help/nbh_oz_additions/task_qif_ofx_convert.htm",
                 "help/nbh_oz_additions/task_qif_ofx_convert_accounts.htm"]:
        check(f"installed {name}", (program_dir / name).exists())
    for name in ["share/applications/qif2ldx.desktop", "share/mime/packages/qif2ldx-statement.xml",
                 "share/icons/hicolor/scalable/apps/qif2ldx.svg", "share/man/man1/qif2ldx.1.gz",
                 "share/bash-completion/completions/qif2ldx",
                 "share/metainfo/org.qif2ldx.qif2ldx.metainfo.xml",
                 "share/doc/qif2ldx/examples/olacclst.dat"]:
        check(f"installed {name}", (prefix / name).is_file())
    link = prefix / "bin/qif2ldx"
    check("bin/qif2ldx is a link", link.is_symlink() and os.readlink(link) == "../lib/qif2ldx/qif2ldx")

    # Through the link, the program finds its own folder and the account list in it.
    with tempfile.TemporaryDirectory() as work:
        statement = pathlib.Path(work) / "bank.LDX"
        converted = run([str(link), "convert", f"{source}/examples/bank.qif", "--account",
                         "Everyday Current", "--output", str(statement)])
        check("installed convert", converted.returncode == 0 and converted.stderr == b"",
              converted.stderr.decode(errors="replace"))
        check("installed statement", b"<ACCTID>31926819</ACCTID>" in statement.read_bytes())
    version_text = run([str(link), "--version"]).stdout.decode().strip()
    check("--version", version_text == f"qif2ldx {version}", version_text)
    manual = gzip.decompress((prefix / "share/man/man1/qif2ldx.1.gz").read_bytes()).decode()
    check("man page version", f'"qif2ldx {version}"' in manual)

    # --open, through the installed program's desktop module and its shipped MIME type, starts
    # the default application for statements with the path as one argument.
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        run(["update-mime-database", str(prefix / "share/mime")])
        (work / "data/applications").mkdir(parents=True)
        (work / "config").mkdir()
        record = work / "started-with"
        fake = work / "fake-lodestrand"
        fake.write_text(f"#!/bin/sh\nprintf '%s\\n' \"$@\" > '{record}.tmp'\n"
                        f"mv '{record}.tmp' '{record}'\n")
        fake.chmod(0o755)
        (work / "data/applications/fake-lodestrand.desktop").write_text(
            "[Desktop Entry]\nType=Application\nName=Fake Lodestrand\n"
            f"Exec={fake} %f\nMimeType=application/x-lodestrand-statement;\n")
        (work / "config/mimeapps.list").write_text(
            "[Default Applications]\n"
            "application/x-lodestrand-statement=fake-lodestrand.desktop\n")
        environment = dict(os.environ, XDG_DATA_HOME=str(work / "data"),
                           XDG_DATA_DIRS=str(prefix / "share"),
                           XDG_CONFIG_HOME=str(work / "config"), XDG_CONFIG_DIRS=str(work))
        statement = work / "May 2026.LDX"
        opened = run([str(link), "convert", f"{source}/examples/bank.qif", "--account",
                      "Everyday Current", "--output", str(statement), "--open"], env=environment)
        check("--open", opened.returncode == 0, opened.stderr.decode(errors="replace"))
        for _ in range(100):
            if record.exists():
                break
            time.sleep(0.05)
        check("--open starts the application with the statement",
              record.exists() and record.read_text() == f"{statement}\n")

    # A reinstall keeps the user's accounts.
    (program_dir / "olacclst.dat").write_bytes(b"Mine,CHECKING,GBP,1,2,3\r\n")
    run(["cmake", "--install", build, "--prefix", str(prefix)])
    check("reinstall keeps the account list",
          (program_dir / "olacclst.dat").read_bytes() == b"Mine,CHECKING,GBP,1,2,3\r\n")

    # The desktop entry and the MIME type are valid.
    desktop = run(["desktop-file-validate", str(prefix / "share/applications/qif2ldx.desktop")])
    check("desktop-file-validate", desktop.returncode == 0 and desktop.stdout == b"",
          desktop.stdout.decode(errors="replace"))
    entry = (prefix / "share/applications/qif2ldx.desktop").read_text()
    check("desktop entry", "Name=Import Bank Statement\n" in entry and "Exec=qif2ldx %f\n" in entry
          and "MimeType=application/x-qw;\n" in entry)
    check_open_with(prefix)
    mime = prefix / "share/mime/packages/qif2ldx-statement.xml"
    schema = run(["xmllint", "--noout", "--relaxng", f"{source}/tests/data/shared-mime-info.rng",
                  str(mime)])
    check("MIME file against the schema", schema.returncode == 0,
          schema.stderr.decode(errors="replace"))
    database = run(["update-mime-database", str(prefix / "share/mime")])
    check("update-mime-database", database.returncode == 0 and
          "application/x-lodestrand-statement" in (prefix / "share/mime/types").read_text(),
          database.stderr.decode(errors="replace"))


def check_open_with(prefix):
    """In a home of its own, GIO finds the desktop entry for a downloaded .qif file."""
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        applications = work / "data/applications"
        applications.mkdir(parents=True)
        (applications / "qif2ldx.desktop").write_bytes(
            (prefix / "share/applications/qif2ldx.desktop").read_bytes())
        run(["update-desktop-database", str(applications)])
        (work / "config").mkdir()
        qif = work / "May 2026.qif"
        qif.write_bytes(b"!Type:Bank\r\nD01/05/2026\r\nT-1\r\n^\r\n")
        # GIO offers only an entry whose program it finds on the PATH.
        environment = dict(os.environ, XDG_DATA_HOME=str(work / "data"),
                           XDG_DATA_DIRS="/usr/share", XDG_CONFIG_HOME=str(work / "config"),
                           XDG_CONFIG_DIRS=str(work),
                           PATH=f"{prefix / 'bin'}:{os.environ.get('PATH', '/usr/bin:/bin')}")
        kind = run(["gio", "info", "--attributes=standard::content-type", str(qif)],
                   env=environment).stdout.decode()
        check("a .qif file is application/x-qw", "standard::content-type: application/x-qw" in kind,
              kind)
        found = run(["gio", "mime", "application/x-qw"], env=environment).stdout.decode()
        check("GIO opens application/x-qw with the desktop entry",
              re.search(r"^Default application for .+application/x-qw.+: qif2ldx\.desktop$",
                        found, re.MULTILINE), found)


def check_package(build, version, folder):
    made = run(["cpack", "-B", str(folder / "package")], cwd=build)
    check("cpack", made.returncode == 0, made.stdout.decode(errors="replace")[-2000:])
    debs = list((folder / "package").glob("qif2ldx_*.deb"))
    check("one package", len(debs) == 1, str(debs))
    if len(debs) != 1:
        return
    deb = debs[0]
    fields = {}
    for line in run(["dpkg-deb", "-f", str(deb)]).stdout.decode().splitlines():
        if ": " in line and not line.startswith(" "):
            key, value = line.split(": ", 1)
            fields[key] = value
    check("package name", fields.get("Package") == "qif2ldx")
    check("package version", fields.get("Version") == f"{version}-1", fields.get("Version", ""))
    check("maintainer", fields.get("Maintainer") == "qif2ldx maintainers <maintainers@qif2ldx.org>",
          fields.get("Maintainer", ""))
    depends = fields.get("Depends", "")
    for library in ["libqt6widgets6", "libxml2", "libglib2.0-0", "libstdc++6", "libc6"]:
        check(f"depends on {library}", library in depends, depends)
    control = folder / "control"
    run(["dpkg-deb", "-e", str(deb), str(control)])
    check("conffile", (control / "conffiles").read_text().split() == ["/etc/qif2ldx/olacclst.dat"])
    check("postinst refreshes the databases",
          "update-mime-database" in (control / "postinst").read_text())

    root = folder / "root"
    run(["dpkg-deb", "-x", str(deb), str(root)])
    listed = root / "usr/lib/qif2ldx/olacclst.dat"
    check("account list linked from /etc",
          listed.is_symlink() and os.readlink(listed) == "/etc/qif2ldx/olacclst.dat")
    statement = folder / "from-package.LDX"
    converted = run([str(root / "usr/bin/qif2ldx"), "convert",
                     str(pathlib.Path(sys.argv[2]) / "examples/creditcard.qif"), "--account",
                     "Travel Visa", "--account-list", str(root / "etc/qif2ldx/olacclst.dat"),
                     "--output", str(statement)])
    check("packaged convert", converted.returncode == 0, converted.stderr.decode(errors="replace"))
    check("packaged statement", b"<CCACCTFROM><ACCTID>4929123412341234</ACCTID>"
          in statement.read_bytes())


def main():
    build, source, version = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as folder:
        check_prefix(build, source, version, pathlib.Path(folder) / "prefix")
        check_package(build, version, pathlib.Path(folder))
    for failure in failures:
        print(failure)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
