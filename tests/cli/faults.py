#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Faults met by the real program. Whatever goes wrong, the statement path keeps what it held
(the old statement, or nothing), no private file is left beside it (but after SIGKILL, one at
most), and the exit status tells what happened: a device as the QIF file, a failed conversion,
a full disk, too little memory, interrupts and kills during a long run, two runs onto one path,
a result that cannot be written, a file too large to read, no display, and a desktop that does
not know statement files. What runs killed outright leave, the next run onto the same path
removes, and never what a living run holds; dry runs and refused runs remove nothing. Working
files are the user's alone (0600) while they are built, standard output's statement is built in
a private folder nobody can block, and a dry run needs no write access.
Usage: faults.py QIF2LDX ACCOUNT_LIST GENERATOR"""

import os
import pathlib
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, report  # noqa: E402

OLD = b"OFXHEADER: 100\r\nthe statement of last month\r\n"


def hidden(folder):
    """The private working files in the folder."""
    return sorted(p.name for p in pathlib.Path(folder).glob(".*.tmp"))


_histories = tempfile.TemporaryDirectory(prefix="qif2ldx-histories-")


def fresh_history():
    """Each case, each whole conversion of the large file and each round of two runs begins with
    a history of its own: these checks are about files, and a history holding the same file many
    times over would turn every later run into a repeat search of all its transactions."""
    os.environ["XDG_DATA_HOME"] = tempfile.mkdtemp(dir=_histories.name)


def limited(kind, limit):
    def apply():
        resource.setrlimit(kind, (limit, limit))
    return apply


class Faults:
    def __init__(self, program, accounts, generator, folder):
        self.program, self.folder = program, folder
        self.base = [program, "convert", "--account", "Everyday Current", "--account-list",
                     accounts]
        self.small = f"{folder}/small.qif"
        self.large = f"{folder}/large.qif"
        subprocess.run([sys.executable, generator, "20000", self.small], check=True)
        subprocess.run([sys.executable, generator, "400000", self.large], check=True)

    def old_statement(self, name):
        path = f"{self.folder}/{name}.LDX"
        pathlib.Path(path).write_bytes(OLD)
        return path

    def run(self, args, **kwargs):
        kwargs.setdefault("timeout", 120)
        return subprocess.run(self.base + args, capture_output=True, check=False, **kwargs)

    def expect_untouched(self, what, ldx):
        check(f"{what}: old statement unchanged", pathlib.Path(ldx).read_bytes() == OLD)
        check(f"{what}: no private file left", not hidden(self.folder), str(hidden(self.folder)))

    def failures_keep_the_old_statement(self):
        bad = f"{self.folder}/bad.qif"
        pathlib.Path(bad).write_bytes(b"!Type:Bank\r\nD31/02/2026\r\nT-1\r\n^\r\n")
        ldx = self.old_statement("failed")
        run = self.run([bad, "-o", ldx, "--overwrite"])
        check("failed conversion: exit status", run.returncode == 1, str(run.returncode))
        self.expect_untouched("failed conversion", ldx)

        before = pathlib.Path(self.small).read_bytes()
        ldx = self.old_statement("full")
        run = self.run([self.small, "-o", ldx, "--overwrite"],
                       preexec_fn=limited(resource.RLIMIT_FSIZE, 256 * 1024))
        check("disk full: exit status", run.returncode == 1, str(run.returncode))
        check("disk full: message names the cause, not the QIF file",
              b"could not be written in full" in run.stderr and b"valid QIF" not in run.stderr,
              run.stderr.decode(errors="replace"))
        check("disk full: QIF unchanged", pathlib.Path(self.small).read_bytes() == before)
        self.expect_untouched("disk full", ldx)

        if os.environ.get("QIF2LDX_ADDRESS_SANITIZER"):
            return  # its shadow memory needs more address space than the limit leaves
        # The limit lets the program start (about 60 MB of address space) but not convert the
        # large file (about 250 MB for its 400,000 transactions).
        ldx = self.old_statement("memory")
        run = self.run([self.large, "-o", ldx, "--overwrite"],
                       preexec_fn=limited(resource.RLIMIT_AS, 150 << 20))
        check("out of memory: exit status", run.returncode == 1, str(run.returncode))
        check("out of memory: message", b"not enough memory" in run.stderr,
              run.stderr.decode(errors="replace"))
        self.expect_untouched("out of memory", ldx)

    def signals_keep_the_old_statement(self):
        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGKILL):
            name = signal.Signals(signum).name
            ldx = self.old_statement(f"large-{name}")
            child = subprocess.Popen(self.base + [self.large, "-o", ldx, "--overwrite"],
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            time.sleep(0.3)
            sent = time.monotonic()
            child.send_signal(signum)
            _, err = child.communicate(timeout=60)
            waited = time.monotonic() - sent
            check(f"{name}: old statement unchanged", pathlib.Path(ldx).read_bytes() == OLD)
            if signum == signal.SIGKILL:
                left = hidden(self.folder)
                check(f"{name}: at most one private file", len(left) <= 1, str(left))
                for leftover in left:
                    mode = os.stat(f"{self.folder}/{leftover}").st_mode & 0o777
                    check(f"{name}: the file left is the user's alone", mode == 0o600, oct(mode))
                    os.remove(f"{self.folder}/{leftover}")
                continue
            check(f"{name}: exit status", child.returncode == 130, str(child.returncode))
            check(f"{name}: message", b"interrupted" in err, err.decode(errors="replace"))
            check(f"{name}: prompt", waited < 5, f"{waited:.1f} s")
            check(f"{name}: no private file left", not hidden(self.folder))

    def wait_for_new_private_file(self, before):
        """The private file that appears beside the others, once the program has made it."""
        for _ in range(600):
            new = sorted(set(hidden(self.folder)) - set(before))
            if new:
                return new[0]
            time.sleep(0.05)
        return None

    def start_waiting_on_stdin(self, name):
        """A run that keeps its copy of standard input while it waits for the rest of it."""
        before = hidden(self.folder)
        child = subprocess.Popen(self.base + ["-", "-o", name, "--overwrite"], cwd=self.folder,
                                 stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE)
        child.stdin.write(pathlib.Path(self.small).read_bytes())
        child.stdin.flush()
        return child, self.wait_for_new_private_file(before)

    def a_later_run_removes_only_what_killed_runs_left(self):
        """Runs in the current folder onto a bare name: a conversion and a copy of standard input
        killed outright, a file of the old two-dot form, a stopped conversion and a copy still
        being read; then a run onto the same path."""
        name = "stale.LDX"
        before = hidden(self.folder)
        killed = subprocess.Popen(self.base + [self.large, "-o", name, "--overwrite"],
                                  cwd=self.folder, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        killed_file = self.wait_for_new_private_file(before)
        killed.kill()
        killed.wait(timeout=60)
        killed_reading, killed_copy = self.start_waiting_on_stdin(name)
        killed_reading.kill()
        killed_reading.wait(timeout=60)
        old_form = f"..{name}.0123abcd.tmp"
        pathlib.Path(self.folder, old_form).write_bytes(b"left by an earlier version")
        stale = hidden(self.folder)
        check("killed runs: their files are left",
              stale == sorted([killed_file, killed_copy, old_form]), str(stale))
        check("killed run: its working file is named .NAME.LDX.<random>.tmp",
              killed_file.startswith(f".{name}."), killed_file)

        before = hidden(self.folder)
        stopped = subprocess.Popen(self.base + [self.large, "-o", name, "--overwrite"],
                                   cwd=self.folder, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE)
        stopped_file = self.wait_for_new_private_file(before)
        stopped.send_signal(signal.SIGSTOP)
        reading, reading_copy = self.start_waiting_on_stdin(name)

        run = self.run([self.small, "-o", name, "--overwrite"], cwd=self.folder)
        check("later run: saved", run.returncode == 0, run.stderr.decode(errors="replace"))
        check("later run: only the living runs' files are left",
              hidden(self.folder) == sorted([stopped_file, reading_copy]),
              f"{hidden(self.folder)} of {stale + [stopped_file, reading_copy]}")

        stopped.send_signal(signal.SIGCONT)
        reading.stdin.close()
        for what, child in (("stopped run", stopped), ("reading run", reading)):
            err = child.stderr.read()
            check(f"{what}: saved once resumed", child.wait(timeout=120) == 0,
                  err.decode(errors="replace"))
        check("at the end: no private file left", not hidden(self.folder))
        check("at the end: a whole statement",
              pathlib.Path(self.folder, name).read_bytes().rstrip().endswith(b"</OFX>"))

    def working_files_are_private_and_statements_follow_the_umask(self):
        for umask in (0o022, 0o077, 0o002):
            fresh_history()
            ldx = f"{self.folder}/mode-{umask:o}.LDX"
            before = hidden(self.folder)
            child = subprocess.Popen(self.base + [self.large, "-o", ldx], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.PIPE, preexec_fn=lambda u=umask: os.umask(u))
            working = self.wait_for_new_private_file(before)
            if working:
                mode = os.stat(f"{self.folder}/{working}").st_mode & 0o777
                check(f"umask {umask:o}: working file 0600 while built", mode == 0o600, oct(mode))
            check(f"umask {umask:o}: saved", child.wait(timeout=120) == 0,
                  child.stderr.read().decode(errors="replace"))
            mode = os.stat(ldx).st_mode & 0o777
            check(f"umask {umask:o}: statement mode", mode == 0o666 & ~umask, oct(mode))

    def only_runs_that_write_clean_up(self):
        """Files of the working-file form that no run holds: dry runs and runs refused for
        their statement's name leave them; the next run that writes removes them."""
        stale = [".stale.LDX.0123abcd.tmp", ".stale.LDX.qif.89abcdef.tmp",
                 ".bad.txt.0123abcd.tmp", ".bad.txt.qif.89abcdef.tmp"]
        for name in stale:
            pathlib.Path(self.folder, name).write_bytes(b"left by a killed run")
        small = pathlib.Path(self.small).read_bytes()
        runs = {
            "dry run": self.run([self.small, "-o", "stale.LDX", "--dry-run"], cwd=self.folder),
            "dry run of a stream": self.run(["-", "-o", "stale.LDX", "--dry-run"],
                                            cwd=self.folder, input=small),
            "bad name": self.run([self.small, "-o", "bad.txt"], cwd=self.folder),
            "bad name of a stream": self.run(["-", "-o", "bad.txt"], cwd=self.folder,
                                             input=small),
        }
        for what, run in runs.items():
            check(f"{what}: exit status", run.returncode == (0 if "dry" in what else 2),
                  f"{run.returncode} {run.stderr.decode(errors='replace')}")
            check(f"{what}: stale files left alone", hidden(self.folder) == sorted(stale),
                  str(hidden(self.folder)))
        check("dry runs: nothing written", not os.path.exists(f"{self.folder}/stale.LDX"))
        run = self.run([self.small, "-o", "stale.LDX"], cwd=self.folder)
        check("a run that writes: saved", run.returncode == 0, run.stderr.decode(errors="replace"))
        left = sorted(set(stale) - {".stale.LDX.0123abcd.tmp", ".stale.LDX.qif.89abcdef.tmp"})
        check("a run that writes: removes its path's stale files", hidden(self.folder) == left,
              str(hidden(self.folder)))
        for name in hidden(self.folder):
            os.remove(f"{self.folder}/{name}")

    def standard_output_is_built_where_nobody_can_block_or_read_it(self):
        tmp = pathlib.Path(self.folder, "shared-tmp")
        tmp.mkdir()
        (tmp / "standard-output.LDX").mkdir()
        (tmp / "standard-input.qif").symlink_to("/nowhere")
        env = dict(os.environ, TMPDIR=str(tmp))
        expected = self.run([self.small, "-o", "-"], env=env).stdout
        child = subprocess.Popen(self.base + [self.large, "-o", "-"], env=env,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        private = None
        for _ in range(600):
            private = next(iter(tmp.glob("qif2ldx.*")), None)
            if private and list(private.glob(".*.tmp")):
                break
            time.sleep(0.05)
        if private:
            check("-o -: private folder", os.stat(private).st_mode & 0o777 == 0o700,
                  oct(os.stat(private).st_mode))
            for working in private.glob(".*.tmp"):
                check("-o -: working file private", os.stat(working).st_mode & 0o777 == 0o600)
        out, err = child.communicate(timeout=120)
        check("-o - with standard-output.LDX taken: saved", child.returncode == 0,
              err.decode(errors="replace"))
        check("-o -: a statement", out.startswith(b"OFXHEADER") and expected.startswith(b"OFX"))
        check("-o -: nothing left in the temporary folder",
              sorted(p.name for p in tmp.iterdir()) == ["standard-input.qif",
                                                         "standard-output.LDX"],
              str(list(tmp.iterdir())))

    def a_dry_run_needs_no_write_access(self):
        """Into a folder it cannot write, a dry run does all but place, and says the real run
        could not write there. Run as nobody when the tests run as root, who writes anywhere."""
        os.chmod(self.folder, 0o755)
        folder = pathlib.Path(self.folder, "read-only")
        folder.mkdir(mode=0o555)
        folder.chmod(0o555)
        as_user = (lambda: (os.setgid(65534), os.setuid(65534))) if os.geteuid() == 0 else None
        env = dict(os.environ, TMPDIR="/tmp")
        run = subprocess.run(self.base + [self.small, "-o", f"{folder}/x.LDX", "--dry-run"],
                             capture_output=True, env=env, preexec_fn=as_user, timeout=120,
                             check=False)
        check("dry run, read-only folder: exit status", run.returncode == 0,
              run.stderr.decode(errors="replace"))
        check("dry run, read-only folder: warned",
              b"the real run could not write to" in run.stderr and b"permission denied" in run.stderr,
              run.stderr.decode(errors="replace"))
        check("dry run, read-only folder: nothing written", not list(folder.iterdir()))
        run = subprocess.run(self.base + ["-", "-o", f"{folder}/x.LDX"], capture_output=True,
                             env=env, preexec_fn=as_user, timeout=120, check=False,
                             input=pathlib.Path(self.small).read_bytes())
        check("standard input, read-only folder: fails naming the folder",
              run.returncode == 1 and f"in {folder}/: permission denied".encode() in run.stderr,
              f"{run.returncode} {run.stderr.decode(errors='replace')}")
        os.chmod(self.folder, 0o700)

    def two_runs_make_one_whole_statement(self):
        expected_path = f"{self.folder}/expected.LDX"
        run = self.run([self.small, "-o", expected_path])
        check("reference run", run.returncode == 0, run.stderr.decode(errors="replace"))
        expected = pathlib.Path(expected_path).read_bytes()
        for round_ in range(20):
            fresh_history()
            replace = round_ % 2 == 1
            ldx = f"{self.folder}/both-{round_}.LDX"
            args = [self.small, "-o", ldx] + (["--overwrite"] if replace else [])
            children = [subprocess.Popen(self.base + args, stdout=subprocess.DEVNULL,
                                         stderr=subprocess.PIPE) for _ in range(2)]
            results = [(c.wait(timeout=120), c.stderr.read()) for c in children]
            codes = sorted(code for code, _ in results)
            what = f"two runs, round {round_}"
            check(f"{what}: one whole statement", pathlib.Path(ldx).read_bytes() == expected)
            if replace:
                check(f"{what}: both saved", codes == [0, 0], str(codes))
            else:
                check(f"{what}: one saved, one refused", codes == [0, 2], str(codes))
                check(f"{what}: the refusal says why",
                      all(code == 0 or b"already exists" in err for code, err in results))
            check(f"{what}: no private file left", not hidden(self.folder))

    def odd_surroundings(self):
        run = self.run(["/dev/zero", "-o", f"{self.folder}/zero.LDX"], timeout=20)
        check("/dev/zero: exit status", run.returncode == 2, str(run.returncode))

        with open("/dev/full", "wb") as full:
            run = subprocess.run([self.program, "--version"], stdout=full,
                                 stderr=subprocess.PIPE, check=False)
        check("stdout full: exit status", run.returncode == 1, str(run.returncode))

        sparse = f"{self.folder}/huge.qif"
        with open(sparse, "wb") as handle:
            handle.truncate(2 << 30)
        started = time.monotonic()
        run = self.run([sparse, "-o", f"{self.folder}/huge.LDX"])
        check("2 GB QIF file: refused", run.returncode == 2 and b"larger than 1 GiB" in run.stderr,
              run.stderr.decode(errors="replace"))
        check("2 GB QIF file: at once", time.monotonic() - started < 5)
        run = subprocess.run([self.program, "show", sparse], capture_output=True, check=False,
                             timeout=20)
        check("2 GB QIF file: show refuses it as convert does, naming it",
              run.returncode == 2 and run.stderr == b"qif2ldx: error: the QIF file is larger "
              b"than 1 GiB: " + sparse.encode() + b"\n", run.stderr.decode(errors="replace"))
        os.remove(sparse)

        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        run = subprocess.run([self.program], env=env, capture_output=True, timeout=20,
                             check=False)
        check("no display: exit status", run.returncode == 2, str(run.returncode))
        check("no display: message", run.stderr == b"qif2ldx: error: no display: the dialog needs one; "
              b"for the command line, see qif2ldx --help\n", run.stderr.decode(errors="replace"))

    def odd_files_are_named_and_never_hang_or_crash(self):
        """A FIFO as the history, a desktop module cut short, streams with a statement name that
        will not be taken, and a temporary folder that does not exist."""
        history = pathlib.Path(os.environ["XDG_DATA_HOME"], "qif2ldx")
        history.mkdir(parents=True)
        os.mkfifo(history / "history.sqlite3")
        for command in (self.base + [self.small, "-o", f"{self.folder}/fifo.LDX"],
                        [self.program, "show", self.small, "-a", "Everyday Current"]):
            run = subprocess.run(command, capture_output=True, timeout=60, check=False)
            check(f"history a FIFO, {command[1]}: done, with a warning",
                  run.returncode == 0 and b"Not a regular file" in run.stderr,
                  f"{run.returncode} {run.stderr.decode(errors='replace')}")

        copy = pathlib.Path(self.folder, "copy")
        copy.mkdir()
        shutil.copy(self.program, copy)
        module = pathlib.Path(self.program).parent / "libqif2ldx-desktop.so"
        (copy / module.name).write_bytes(module.read_bytes()[:5000])
        run = subprocess.run([copy / "qif2ldx"] + self.base[1:] + [
            self.small, "-o", f"{self.folder}/cut.LDX", "--open"], capture_output=True,
            timeout=60, check=False)
        check("desktop module cut short: saved, and told",
              run.returncode == 0 and b"truncated or not a library" in run.stderr,
              f"{run.returncode} {run.stderr.decode(errors='replace')}")

        pipe = f"{self.folder}/pipe"
        os.mkfifo(pipe)
        for source in ("-", pipe):
            run = self.run([source, "-o", f"{self.folder}/s.txt"], input=b"")
            check(f"{source} into a bad statement name: the name is refused",
                  run.returncode == 2 and b"must be named *.LDX" in run.stderr,
                  run.stderr.decode(errors="replace"))
        run = subprocess.run([self.program, "show", "-"], input=b"", capture_output=True,
                             env=dict(os.environ, TMPDIR="/nonexistent"), timeout=60,
                             check=False)
        check("show -, no temporary folder: fails naming it",
              run.returncode == 1 and b"in /nonexistent: no such file" in run.stderr,
              f"{run.returncode} {run.stderr.decode(errors='replace')}")

    def unknown_statement_type_starts_nothing(self):
        """A desktop whose MIME database does not know .LDX, with a text editor as the default
        for text/plain: --open must not start the editor on the statement."""
        xdg = pathlib.Path(self.folder) / "xdg"
        (xdg / "data/applications").mkdir(parents=True)
        (xdg / "config").mkdir()
        record = xdg / "editor-started"
        editor = xdg / "editor"
        editor.write_text(f"#!/bin/sh\ntouch '{record}'\n")
        editor.chmod(0o700)
        (xdg / "data/applications/editor.desktop").write_text(
            f"[Desktop Entry]\nType=Application\nName=Editor\nExec={editor} %f\n"
            "MimeType=text/plain;\n")
        (xdg / "config/mimeapps.list").write_text(
            "[Default Applications]\ntext/plain=editor.desktop\n")
        subprocess.run(["update-desktop-database", str(xdg / "data/applications")], check=False)
        env = dict(os.environ, XDG_DATA_HOME=str(xdg / "data"),
                   XDG_CONFIG_HOME=str(xdg / "config"), XDG_DATA_DIRS=str(xdg / "none"),
                   XDG_CONFIG_DIRS=str(xdg / "none"))
        run = self.run([self.small, "-o", f"{self.folder}/open.LDX", "--open"], env=env)
        check("unknown type: saved", run.returncode == 0, run.stderr.decode(errors="replace"))
        check("unknown type: told", b"not associated with Lodestrand" in run.stderr,
              run.stderr.decode(errors="replace"))
        time.sleep(0.5)
        check("unknown type: no program started", not record.exists())


def main():
    program, accounts, generator = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as folder:
        faults = Faults(program, accounts, generator, folder)
        for case in (faults.failures_keep_the_old_statement,
                     faults.signals_keep_the_old_statement,
                     faults.two_runs_make_one_whole_statement,
                     faults.working_files_are_private_and_statements_follow_the_umask,
                     faults.only_runs_that_write_clean_up,
                     faults.standard_output_is_built_where_nobody_can_block_or_read_it,
                     faults.a_dry_run_needs_no_write_access,
                     faults.a_later_run_removes_only_what_killed_runs_left,
                     faults.odd_surroundings,
                     faults.odd_files_are_named_and_never_hang_or_crash,
                     faults.unknown_statement_type_starts_nothing):
            fresh_history()
            case()
    return report()


if __name__ == "__main__":
    sys.exit(main())
