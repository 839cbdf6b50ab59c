#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Standard input and pipes as the real program meets them: "-", /dev/stdin, a pipe named as
/dev/fd/N (what a shell's process substitution gives) and a FIFO whose writer comes late, for
convert, show and check alike. Each reads what the regular file gives, leaves no private copy
behind, and a wait for a writer that never comes ends on Ctrl-C. Standard input that cannot be
read (closed, or a folder) is refused, never taken for an empty file, and SIGINT, SIGTERM and
SIGHUP end a read of "-" within a second.
Usage: streams.py QIF2LDX ACCOUNT_LIST DATA"""

import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from harness import check, check_equal, report, run_main  # noqa: E402


def write_later(path, data, delay):
    """Opens the FIFO for writing after delay seconds, as a slow producer would, and fills it;
    gives up when no reader opens it within a minute (a program that refused it)."""
    def write():
        time.sleep(delay)
        for _ in range(1200):
            try:
                fd = os.open(path, os.O_WRONLY | os.O_NONBLOCK)
                break
            except OSError:  # no reader yet
                time.sleep(0.05)
        else:
            return
        os.set_blocking(fd, True)
        with os.fdopen(fd, "wb") as fifo:
            try:
                fifo.write(data)
            except BrokenPipeError:
                pass
    thread = threading.Thread(target=write)
    thread.start()
    return thread


class Streams:
    def __init__(self, program, accounts, data, folder):
        self.program, self.folder = program, folder
        self.env = dict(os.environ, TMPDIR=folder)
        self.account = ["-a", "Everyday Current", "--account-list", accounts]
        self.qif = pathlib.Path(data, "bank.qif").read_bytes()
        self.ldx = pathlib.Path(data, "creditcard.LDX").read_bytes()
        self.shown = self.run(["show", f"{data}/bank.qif"]).stdout
        self.checked = self.run(["check", f"{data}/creditcard.LDX"]).stdout.partition(b": ")[2]

    def run(self, args, data=None, pass_fds=()):
        return subprocess.run([self.program, *args], input=data, capture_output=True,
                              env=self.env, pass_fds=pass_fds, timeout=60, check=False)

    def run_on_pipe(self, args, data):
        """Runs with FILE in args replaced by /dev/fd/N, the reading end of a pipe being filled."""
        reader, writer = os.pipe()
        thread = threading.Thread(target=lambda: (os.write(writer, data), os.close(writer)))
        thread.start()
        try:
            return self.run([f"/dev/fd/{reader}" if a == "FILE" else a for a in args],
                            pass_fds=(reader,))
        finally:
            thread.join()
            os.close(reader)

    def every_form(self, args, data):
        """The run of args on each form of stream, FILE standing for the file named."""
        fifo = f"{self.folder}/late.fifo"
        os.mkfifo(fifo)
        writer = write_later(fifo, data, 0.5)
        runs = {
            "-": self.run([a.replace("FILE", "-") for a in args], data),
            "/dev/stdin": self.run([a.replace("FILE", "/dev/stdin") for a in args], data),
            "/dev/fd/N": self.run_on_pipe(args, data),
            "a FIFO": self.run([a.replace("FILE", fifo) for a in args]),
        }
        writer.join()
        os.remove(fifo)
        return runs

    def no_private_copy_left(self, what):
        folder = pathlib.Path(self.folder)
        left = sorted(p.name for p in [*folder.glob(".*.tmp"), *folder.glob("qif2ldx.*")])
        check(f"{what}: no private copy left", not left, str(left))

    def commands_reading_standard_input(self):
        good = f"{self.folder}/good.LDX"
        return {"convert": ["convert", "-", *self.account, "-o", good, "--overwrite"],
                "show": ["show", "-"], "check": ["check", "-"]}

    def standard_input_that_cannot_be_read_is_refused(self):
        good = pathlib.Path(self.folder, "good.LDX")
        good.write_bytes(b"a good statement")
        folder = os.open("/", os.O_RDONLY | os.O_DIRECTORY)
        inputs = {"closed": ({"preexec_fn": lambda: os.close(0)}, b"it is closed"),
                  "a folder": ({"stdin": folder}, b"it is a folder")}
        for what, (how, reason) in inputs.items():
            for command, args in self.commands_reading_standard_input().items():
                run = subprocess.run([self.program, *args], capture_output=True, env=self.env,
                                     timeout=60, check=False, **how)
                check_equal(f"{command} on {what} standard input: exit status", run.returncode, 2)
                check(f"{command} on {what} standard input: says so",
                      b"cannot read standard input: " + reason in run.stderr,
                      run.stderr.decode(errors="replace"))
        os.close(folder)
        check_equal("the good statement", good.read_bytes(), b"a good statement")
        good.unlink()
        self.no_private_copy_left("after unreadable standard input")

    def signals_end_a_read_of_standard_input(self):
        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            for command, args in self.commands_reading_standard_input().items():
                what = f"{command} -, {signal.Signals(signum).name}"
                child = subprocess.Popen([self.program, *args], stdin=subprocess.PIPE,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                         env=self.env)
                child.stdin.write(self.qif[:200])  # the rest never comes
                child.stdin.flush()
                time.sleep(0.3)
                sent = time.monotonic()
                child.send_signal(signum)
                try:  # standard input stays open: only the signal may end the reading
                    child.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
                waited = time.monotonic() - sent
                err = child.stderr.read()
                check_equal(f"{what}: exit status", child.returncode, 130)
                check(f"{what}: within a second", waited < 1, f"{waited:.1f} s")
                check(f"{what}: says so", b"interrupted while reading standard input" in err,
                      err.decode(errors="replace"))
                child.stdin.close()
        check("signals: no statement written", not os.path.exists(f"{self.folder}/good.LDX"))
        self.no_private_copy_left("after signals on standard input")

    def every_command_reads_every_stream(self):
        for form, run in self.every_form(["show", "FILE"], self.qif).items():
            check_equal(f"show {form}", (run.returncode, run.stdout), (0, self.shown))
        for form, run in self.every_form(["check", "FILE"], self.ldx).items():
            check_equal(f"check {form}", (run.returncode, run.stdout.partition(b": ")[2]),
                        (1, self.checked))
        expected = self.run(["convert", "-", *self.account, "-o", "-"], self.qif).stdout
        check("convert - gives a statement", expected.startswith(b"OFXHEADER"))
        for form, run in self.every_form(["convert", "FILE", *self.account, "-o", "-"],
                                         self.qif).items():
            check_equal(f"convert {form}", (run.returncode, run.stdout), (0, expected))
        self.no_private_copy_left("after reading every stream")

    def a_pipe_needs_an_output(self):
        run = self.run_on_pipe(["convert", "FILE", *self.account], self.qif)
        check_equal("pipe without --output: exit status", run.returncode, 2)
        check("pipe without --output: says so", b"needs --output" in run.stderr,
              run.stderr.decode(errors="replace"))

    def a_writer_that_never_comes_is_not_waited_for_after_ctrl_c(self):
        fifo = f"{self.folder}/never.fifo"
        os.mkfifo(fifo)
        for command in (["show", fifo], ["check", fifo],
                        ["convert", fifo, *self.account, "-o", f"{self.folder}/never.LDX"]):
            child = subprocess.Popen([self.program, *command], stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, env=self.env)
            # The private copy appears once the program waits for the writer.
            for _ in range(400):
                if list(pathlib.Path(self.folder).glob(".*.tmp")):
                    break
                time.sleep(0.05)
            child.send_signal(signal.SIGINT)
            _, err = child.communicate(timeout=20)
            check_equal(f"{command[0]} on a FIFO without a writer, Ctrl-C: exit status",
                        child.returncode, 130)
            check(f"{command[0]}: says so as an error",
                  b"qif2ldx: error: interrupted while reading" in err,
                  err.decode(errors="replace"))
        os.remove(fifo)
        check("nothing written", not os.path.exists(f"{self.folder}/never.LDX"))
        self.no_private_copy_left("after Ctrl-C")


def main():
    program, accounts, data = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as folder:
        streams = Streams(program, accounts, data, folder)
        streams.every_command_reads_every_stream()
        streams.a_pipe_needs_an_output()
        streams.a_writer_that_never_comes_is_not_waited_for_after_ctrl_c()
        streams.standard_input_that_cannot_be_read_is_refused()
        streams.signals_end_a_read_of_standard_input()
    return report()


if __name__ == "__main__":
    run_main(main)
