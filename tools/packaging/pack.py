#!/usr/bin/python3
"""Packs module images for a platform's flash: TE images, dependency expressions, FFS files and
firmware volumes.

  pack.py te OUT.te IMAGE.efi
  pack.py depex OUT.depex TERM...          terms in postfix: "PUSH <guid>", AND, OR, NOT, TRUE
  pack.py ffs OUT.ffs --guid G --type DRIVER|PEIM|... [--section KIND=FILE]... [--ui NAME]
  pack.py fv OUT.fv FILE.ffs...            files in the order given

Outputs are written whole or not at all. Exit status 0 on success, 1 on bad input."""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from depex import build_depex  # noqa: E402
from ffs import FILE_TYPES, SECTION_TYPES, ffs_file, section, user_interface_section  # noqa: E402
from terse import ImageError, pe_to_te  # noqa: E402
from volume import firmware_volume  # noqa: E402


def read(path):
    with open(path, "rb") as handle:
        return handle.read()


def write_whole(path, data):
    temporary = f"{path}.partial"
    with open(temporary, "wb") as handle:
        handle.write(data)
    os.replace(temporary, path)


def section_argument(text):
    kind, separator, path = text.partition("=")
    if not separator or kind not in SECTION_TYPES:
        raise argparse.ArgumentTypeError(f"{text!r}: use KIND=FILE with KIND one of "
                                         f"{sorted(SECTION_TYPES)}")
    return kind, path


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    te = commands.add_parser("te", help="TE form of a PE32/PE32+ image")
    te.add_argument("output")
    te.add_argument("image")
    depex = commands.add_parser("depex", help="dependency expression")
    depex.add_argument("output")
    depex.add_argument("terms", nargs="+")
    ffs = commands.add_parser("ffs", help="FFS file")
    ffs.add_argument("output")
    ffs.add_argument("--guid", required=True, help="file name GUID")
    ffs.add_argument("--type", required=True, choices=sorted(FILE_TYPES))
    ffs.add_argument("--section", action="append", default=[], type=section_argument,
                     help="KIND=FILE, in file order (repeatable)")
    ffs.add_argument("--ui", help="user interface name, placed after the other sections")
    fv = commands.add_parser("fv", help="firmware volume (FFS2, erase polarity 1)")
    fv.add_argument("output")
    fv.add_argument("files", nargs="+")
    return parser.parse_args(argv)


def run(arguments):
    if arguments.command == "te":
        return pe_to_te(read(arguments.image))
    if arguments.command == "depex":
        return build_depex(arguments.terms)
    if arguments.command == "ffs":
        sections = [section(kind, read(path)) for kind, path in arguments.section]
        if arguments.ui:
            sections.append(user_interface_section(arguments.ui))
        return ffs_file(arguments.guid, arguments.type, sections)
    return firmware_volume([read(path) for path in arguments.files])


def main(argv):
    arguments = parse_arguments(argv)
    try:
        data = run(arguments)
    except (OSError, ValueError, ImageError) as error:
        print(f"pack.py {arguments.command}: {error}", file=sys.stderr)
        return 1
    write_whole(arguments.output, data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
