#!/usr/bin/python3
"""Boots a UEFI application in OVMF under QEMU (q35, TCG) and reports its verdict.

The application becomes \\EFI\\BOOT\\BOOTX64.EFI on a FAT volume made from a folder, so the
firmware boots it as removable media; any --file lands beside it. The virtual machine has:
  COM1 -> <work-dir>/serial.log: the firmware's console (mirrored there by the firmware) and
        the application's own result lines. Terminal control sequences are stripped before
        the log is read or printed; the plain text is kept as <work-dir>/serial.txt.
  isa-debug-exit at 0xF4: the application writes 0 (pass) or 1 (fail); QEMU then exits
        with status 1 or 3. Any other end (reset, crash, timeout) is "no verdict".
  a QMP socket, used for the optional screenshots (screendump). After each screenshot the
        runner presses Enter on the emulated keyboard: an application that waits for a key
        after asking for a screenshot knows the picture has been taken.

The last line reads "run_ovmf: PASS|FAIL|NO VERDICT in N s", then how QEMU ended: the exit
device's status 1 is the application's pass, 3 its fail.

OVMF: Debian's ovmf package by default (/usr/share/OVMF); the environment variables
OVMF_CODE and OVMF_VARS, or --ovmf-code and --ovmf-vars, name other files.

Exit status: 0 pass, 1 fail, 2 no verdict (timeout, crash, reset, setup error).
"""

import argparse
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import time

OVMF_CODE = os.environ.get("OVMF_CODE") or "/usr/share/OVMF/OVMF_CODE_4M.fd"
OVMF_VARS = os.environ.get("OVMF_VARS") or "/usr/share/OVMF/OVMF_VARS_4M.fd"

EXIT_PASS, EXIT_FAIL, EXIT_NO_VERDICT = 0, 1, 2
# isa-debug-exit turns the value v written by the guest into QEMU status (v << 1) | 1.
QEMU_STATUS_PASS, QEMU_STATUS_FAIL = 1, 3


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check-ovmf", action="store_true",
                        help="only check that the OVMF files are there, boot nothing")
    parser.add_argument("--app", help="UEFI application to boot (required unless --check-ovmf)")
    parser.add_argument("--file", action="append", default=[],
                        help="further file to place beside the application (repeatable)")
    parser.add_argument("--work-dir",
                        help="folder for the volume, variable store and logs; emptied first")
    parser.add_argument("--timeout", type=float, default=60.0,
                        help="seconds before QEMU is killed (default 60)")
    parser.add_argument("--summary", default=None,
                        help="title of the required summary line '<title>: N passed, 0 failed'")
    parser.add_argument("--screenshot", default=None, help="PNG file to write with QMP screendump")
    parser.add_argument("--screenshot-when", default=None,
                        help="take the screenshot once the serial log contains this text")
    parser.add_argument("--screenshot-at", action="append", default=[], metavar="TEXT=FILE",
                        help="write FILE (PNG) once the serial log contains TEXT, then press "
                             "Enter (repeatable; taken in the order given)")
    parser.add_argument("--qemu", default="qemu-system-x86_64")
    parser.add_argument("--ovmf-code", default=OVMF_CODE,
                        help="OVMF code image (default $OVMF_CODE or Debian's path)")
    parser.add_argument("--ovmf-vars", default=OVMF_VARS,
                        help="OVMF variable store template (default $OVMF_VARS or Debian's path)")
    parser.add_argument("--quiet", action="store_true", help="print only the verdict and failures")
    arguments = parser.parse_args(argv)
    if not arguments.check_ovmf and not (arguments.app and arguments.work_dir):
        parser.error("--app and --work-dir are required")
    if bool(arguments.screenshot) != bool(arguments.screenshot_when):
        parser.error("--screenshot and --screenshot-when go together")
    arguments.screenshots = []
    if arguments.screenshot:
        arguments.screenshots.append((arguments.screenshot_when, arguments.screenshot))
    for entry in arguments.screenshot_at:
        text, _, path = entry.rpartition("=")
        if not text or not path:
            parser.error(f"--screenshot-at takes TEXT=FILE, not {entry!r}")
        arguments.screenshots.append((text, path))
    return arguments


def prepare_work_dir(arguments):
    work_dir = os.path.abspath(arguments.work_dir)
    if os.path.isdir(work_dir):
        shutil.rmtree(work_dir)
    boot_dir = os.path.join(work_dir, "esp", "EFI", "BOOT")
    os.makedirs(boot_dir)
    shutil.copyfile(arguments.app, os.path.join(boot_dir, "BOOTX64.EFI"))
    for path in arguments.file:
        shutil.copyfile(path, os.path.join(boot_dir, os.path.basename(path)))
    # A fresh variable store each run: no boot entries or settings survive from earlier runs.
    shutil.copyfile(arguments.ovmf_vars, os.path.join(work_dir, "OVMF_VARS.fd"))
    return work_dir


def qemu_command(arguments, work_dir):
    return [
        arguments.qemu,
        "-nodefaults",
        "-machine", "q35", "-accel", "tcg", "-m", "256M",
        "-drive", "if=pflash,format=raw,unit=0,readonly=on,"
                  f"file={os.path.abspath(arguments.ovmf_code)}",
        "-drive", f"if=pflash,format=raw,unit=1,file={work_dir}/OVMF_VARS.fd",
        # Read-only: nothing the guest does can change the files under test.
        "-drive", f"if=none,id=esp,format=raw,readonly=on,file=fat:{work_dir}/esp",
        "-device", "virtio-blk-pci,drive=esp",
        "-vga", "std", "-display", "none",
        "-serial", f"file:{work_dir}/serial.log",
        "-device", "isa-debug-exit,iobase=0xf4,iosize=0x04",
        "-qmp", f"unix:{work_dir}/qmp.sock,server=on,wait=off",
        "-no-reboot",
    ]


class Qmp:
    """Just enough of the QEMU machine protocol for a screendump."""

    def __init__(self, path, deadline, process):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        while True:
            try:
                self.sock.connect(path)
                break
            except OSError:
                if time.monotonic() > deadline or process.poll() is not None:
                    raise
                time.sleep(0.05)
        self.sock.settimeout(10)
        self.buffer = b""
        self.read_message()  # greeting
        self.execute("qmp_capabilities")

    def read_message(self):
        while b"\n" not in self.buffer:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ConnectionError("QMP connection closed")
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return json.loads(line)

    def execute(self, command, **arguments):
        request = {"execute": command, "arguments": arguments}
        self.sock.sendall(json.dumps(request).encode() + b"\n")
        while True:
            message = self.read_message()
            if "return" in message:
                return message["return"]
            if "error" in message:
                raise RuntimeError(f"QMP {command}: {message['error']}")
            # Anything else is an asynchronous event: skip it.

    def close(self):
        self.sock.close()


# Control sequences of the firmware's serial terminal (clear screen, cursor moves, colours).
TERMINAL_CONTROL = re.compile(r"\x1b\[[0-9;=?]*[A-Za-z]|\x1b[()][0-9A-Za-z]|\r")


def read_log(path):
    """The serial log as plain text lines, without terminal control sequences."""
    try:
        with open(path, "rb") as handle:
            raw = handle.read().decode("ascii", errors="replace")
    except FileNotFoundError:
        return ""
    return TERMINAL_CONTROL.sub("", raw)


def tail(text, lines=30):
    return "\n".join(text.splitlines()[-lines:])


def boot(arguments, work_dir, serial_path):
    """Runs QEMU until it exits or times out: (QEMU status, screenshots taken, problems)."""
    deadline = time.monotonic() + arguments.timeout
    with open(os.path.join(work_dir, "qemu.stderr"), "wb") as qemu_output:
        process = subprocess.Popen(qemu_command(arguments, work_dir), stdin=subprocess.DEVNULL,
                                   stdout=qemu_output, stderr=subprocess.STDOUT)
    problems = []
    taken = 0
    pending = list(arguments.screenshots)
    qmp = None
    try:
        if pending:
            qmp = Qmp(os.path.join(work_dir, "qmp.sock"), deadline, process)
        while process.poll() is None and time.monotonic() < deadline:
            if pending and pending[0][0] in read_log(serial_path):
                _, path = pending.pop(0)
                os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
                qmp.execute("screendump", filename=os.path.abspath(path), format="png")
                qmp.execute("send-key", keys=[{"type": "qcode", "data": "ret"}])
                taken += 1
            time.sleep(0.05)
    except (OSError, RuntimeError, ValueError) as error:
        problems.append(f"QMP failed: {error}")
    finally:
        if qmp:
            qmp.close()
        if process.poll() is None:
            process.kill()
            process.wait()
            if time.monotonic() >= deadline:
                problems.append(f"timed out after {arguments.timeout:.0f} s: QEMU killed")
        # QEMU leaves its machine protocol socket behind; it is no result.
        socket_path = os.path.join(work_dir, "qmp.sock")
        if os.path.exists(socket_path):
            os.remove(socket_path)
    return process.returncode, taken, problems


def judge(arguments, status, log, screenshots_taken, problems):
    """The verdict from QEMU's exit status, the summary line and the screenshot."""
    if status == QEMU_STATUS_PASS:
        verdict = EXIT_PASS
    elif status == QEMU_STATUS_FAIL:
        verdict = EXIT_FAIL
    else:
        verdict = EXIT_NO_VERDICT
        if not problems:
            problems.append(f"QEMU exited with status {status} without a verdict "
                            "(reset, crash or no isa-debug-exit write)")
    if arguments.summary:
        pattern = re.compile(rf"^{re.escape(arguments.summary)}: (\d+) passed, (\d+) failed$",
                             re.MULTILINE)
        summary = pattern.search(log)
        if summary is None:
            problems.append(f"no line '{arguments.summary}: N passed, M failed' in the log")
            if verdict == EXIT_PASS:
                verdict = EXIT_FAIL
        elif verdict == EXIT_PASS and (summary.group(2) != "0" or summary.group(1) == "0"):
            problems.append(f"the exit said pass but the summary reads: {summary.group(0)}")
            verdict = EXIT_FAIL
    for text, path in arguments.screenshots[screenshots_taken:]:
        problems.append(f"no screenshot {path}: the log never showed '{text}'")
        if verdict == EXIT_PASS:
            verdict = EXIT_FAIL
    return verdict


def missing_ovmf(arguments):
    """A message naming every OVMF file that is not there, and how to provide it; or None."""
    missing = [(name, path) for name, path in (("OVMF_CODE", arguments.ovmf_code),
                                               ("OVMF_VARS", arguments.ovmf_vars))
               if not os.path.isfile(path)]
    if not missing:
        return None
    lines = [f"run_ovmf: OVMF firmware not found: {name} = {path}" for name, path in missing]
    lines.append("run_ovmf: install Debian's ovmf package (tools/install-deps does), or set "
                 "OVMF_CODE and OVMF_VARS to an OVMF code image and its variable store")
    return "\n".join(lines)


def qemu_ending(status):
    """How QEMU ended, in words: its exit status alone reads like a failure even on a pass."""
    if status == QEMU_STATUS_PASS:
        return f"the application reported pass: QEMU exit status {status}"
    if status == QEMU_STATUS_FAIL:
        return f"the application reported fail: QEMU exit status {status}"
    return f"QEMU exit status {status}: no verdict from the application"


def run(arguments):
    problem = missing_ovmf(arguments)
    if problem:
        print(problem)
        return EXIT_NO_VERDICT
    for path in [arguments.app, *arguments.file]:
        if not os.path.isfile(path):
            print(f"run_ovmf: missing file {path}")
            return EXIT_NO_VERDICT
    work_dir = prepare_work_dir(arguments)
    serial_path = os.path.join(work_dir, "serial.log")

    started = time.monotonic()
    status, screenshots_taken, problems = boot(arguments, work_dir, serial_path)
    elapsed = time.monotonic() - started

    log = "\n".join(line.rstrip() for line in read_log(serial_path).splitlines() if line.strip())
    with open(os.path.join(work_dir, "serial.txt"), "w") as text:
        text.write(log + "\n")
    verdict = judge(arguments, status, log, screenshots_taken, problems)

    lines = log.splitlines()
    if arguments.quiet:
        lines = [line for line in lines if line.startswith("FAIL")]
    if lines:
        print("\n".join(lines))
    for problem in problems:
        print(f"run_ovmf: {problem}")
    if verdict != EXIT_PASS:
        print("--- QEMU output ---")
        print(tail(read_log(os.path.join(work_dir, "qemu.stderr"))))
        print(f"--- serial log: {serial_path} (plain text: serial.txt) ---")
    names = {EXIT_PASS: "PASS", EXIT_FAIL: "FAIL", EXIT_NO_VERDICT: "NO VERDICT"}
    print(f"run_ovmf: {names[verdict]} in {elapsed:.1f} s ({qemu_ending(status)})")
    return verdict


def main(argv):
    arguments = parse_arguments(argv)
    if arguments.check_ovmf:
        problem = missing_ovmf(arguments)
        print(problem or f"run_ovmf: OVMF code {arguments.ovmf_code}, variables {arguments.ovmf_vars}")
        return EXIT_NO_VERDICT if problem else EXIT_PASS
    return run(arguments)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
