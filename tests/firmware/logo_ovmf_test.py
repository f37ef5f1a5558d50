#!/usr/bin/python3
"""One OVMF boot of LogoCheck.efi with a board variant, then the screenshots judged.

  logo_ovmf_test.py --variant handoff|ordinary --app LogoCheck.efi --board BOARD.efi
                    --driver PlatformServicesDxe.efi --work-dir DIR [--timeout S]

Runs tools/qemu/run_ovmf.py (its verdict covers every check LogoCheck makes inside the
firmware), with a screenshot at each "SCREEN <name>" line the application writes, then
tests/firmware/logo_screen_check.py on each screenshot. Passes only when all of them pass.
"""

import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import logo_screen_check  # noqa: E402

SCREENS = {"handoff": ["handoff", "ready_to_boot"], "ordinary": ["ordinary"]}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--variant", choices=sorted(SCREENS), required=True)
    parser.add_argument("--app", required=True)
    parser.add_argument("--board", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work-dir", required=True)
    parser.add_argument("--timeout", type=float, default=90)
    arguments = parser.parse_args(argv)

    shots_dir = os.path.abspath(arguments.work_dir) + "-screens"
    os.makedirs(shots_dir, exist_ok=True)
    shots = {name: os.path.join(shots_dir, f"{name}.png") for name in SCREENS[arguments.variant]}
    for path in shots.values():
        if os.path.exists(path):
            os.remove(path)
    command = [sys.executable, os.path.join(ROOT, "tools", "qemu", "run_ovmf.py"),
               "--app", arguments.app, "--file", arguments.board, "--file", arguments.driver,
               "--work-dir", arguments.work_dir, "--timeout", str(arguments.timeout),
               "--summary", "LogoCheck"]
    for name, path in shots.items():
        command += ["--screenshot-at", f"SCREEN {name}={path}"]
    run = subprocess.run(command)
    failed = run.returncode != 0

    for name, path in shots.items():
        if not os.path.exists(path):
            print(f"FAIL screen.{name}: no screenshot was taken")
            failed = True
            continue
        facts, problems = logo_screen_check.check(name, path)
        for problem in problems:
            print(f"FAIL screen.{name}: {problem}")
        print(f"{'FAIL' if problems else 'PASS'} screen.{name}: {', '.join(facts)} ({path})")
        failed = failed or bool(problems)
    print(f"logo_ovmf_test ({arguments.variant}): {'FAIL' if failed else 'PASS'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
