#!/usr/bin/python3
"""Runs every shell command of README.md as written, so that the README cannot drift.

Every line of every ```sh block is one command (a trailing "# ..." is a comment; a line
ending in a backslash continues); so is inline code in the text that is a command line (a
program of this tree, ctest or cmake, with arguments). Each runs with bash from the top of the source tree and
must exit 0. Beyond the exit status, a command that runs tests must have run at least one:
a filter that matches nothing is a broken example even when the tool exits 0.

Two commands take minutes and build or test everything; running them from inside the test
suite would run the suite inside itself. They are checked without being run in full:
  tools/demo   runs as "tools/demo --help" (its usage must print, exit 0);
  tools/test   must be an executable bash script that parses ("bash -n").
Two more are run briefly rather than for the minutes their figures need:
  build/bench/bin/NAME   runs with --benchmark_min_time=0.01 added (every benchmark once);
  fuzz/run SECONDS       runs as "fuzz/run 1" (every target for one second, no crash).
Files a command leaves at the top of the tree that were not there before (boardsim's
--output example writes spd.bin there) are removed afterwards.

Usage: check_readme_commands.py SOURCE_ROOT
"""

import os
import re
import subprocess
import sys

COMMAND_TIMEOUT = 900  # seconds; a firmware build plus an OVMF boot on a loaded machine

# Output that means a test command ran nothing (GoogleTest filter, ctest selection).
RAN_NOTHING = [re.compile(r"Running 0 tests"), re.compile(r"No tests were found")]


# Inline code that is a command line: a program of this tree or a build tool, with arguments.
# A bare name (`tools/build`, `build/host/bin/boardsim`) is a mention, not a command.
INLINE_COMMAND = re.compile(r"`((?:tools/|build/host/bin/|ctest |cmake )[^`]* [^`]*)`")


def shell_commands(readme_text):
    """The commands of the ```sh blocks (indented ones too) and the inline command lines, in
    order of appearance, comments and continuations resolved."""
    commands = []
    for block in re.findall(r"^[ \t]*```sh\n(.*?)^[ \t]*```", readme_text,
                            re.MULTILINE | re.DOTALL):
        pending = ""
        for line in block.splitlines():
            line = pending + line
            if line.endswith("\\"):
                pending = line[:-1] + " "
                continue
            pending = ""
            # A comment starts at "#" after whitespace, outside quotes (the README keeps
            # quotes and hashes simple enough for this).
            command = re.sub(r"\s+#[^'\"]*$", "", line).strip()
            if command:
                commands.append(command)
    # Inline commands outside the code blocks (a block's lines are not inline code).
    prose = re.sub(r"^[ \t]*```.*?^[ \t]*```", "", readme_text, flags=re.MULTILINE | re.DOTALL)
    for command in INLINE_COMMAND.findall(prose.replace("\n", " ")):
        if command not in commands:
            commands.append(command)
    return commands


def top_level_entries(root):
    return set(os.listdir(root))


def run(command, root):
    """(exit status, output) of one command, run by bash from the top of the tree."""
    completed = subprocess.run(["bash", "-o", "pipefail", "-c", command], cwd=root,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               timeout=COMMAND_TIMEOUT, text=True, errors="replace")
    return completed.returncode, completed.stdout


def check(command, root):
    """A list of problems with one README command (empty when it works)."""
    first = command.split()[0]
    if first == "tools/test":
        path = os.path.join(root, "tools/test")
        if not os.access(path, os.X_OK):
            return [f"{command}: tools/test is not an executable file"]
        status, output = run("bash -n tools/test", root)
        return [] if status == 0 else [f"{command}: does not parse:\n{output}"]
    if first == "tools/demo":
        command = "tools/demo --help"
    if first.startswith("build/bench/bin/"):
        command += " --benchmark_min_time=0.01"
    if first == "fuzz/run":
        command = "fuzz/run 1"

    before = top_level_entries(root)
    status, output = run(command, root)
    for leftover in sorted(top_level_entries(root) - before):
        path = os.path.join(root, leftover)
        if os.path.isfile(path):
            os.remove(path)

    problems = []
    if status != 0:
        problems.append(f"{command}: exit status {status}\n{output[-3000:]}")
    elif any(pattern.search(output) for pattern in RAN_NOTHING):
        problems.append(f"{command}: ran no test\n{output[-3000:]}")
    return problems


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    root = os.path.abspath(argv[1])
    with open(os.path.join(root, "README.md"), encoding="utf-8") as readme:
        commands = shell_commands(readme.read())
    if not commands:
        print("README.md has no ```sh block: nothing to check is itself a fault")
        return 1
    problems = []
    for command in commands:
        found = check(command, root)
        print(("FAIL " if found else "ok   ") + command, flush=True)
        problems.extend(found)
    for problem in problems:
        print("\n" + problem)
    print(f"\n{len(commands) - len(problems)} of {len(commands)} README commands work as written")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
