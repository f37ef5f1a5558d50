#!/usr/bin/python3
"""Checks that a file is the PE image a UEFI loader expects, and reports its layout.

Accepts PE32/PE32+ images and their Terse Executable (TE) form, whose 40-byte header replaces
the DOS, PE and optional headers; a TE image's sections keep the addresses and file offsets of
the PE image it came from. Always checked: the DOS and PE signatures, that every section's file data lies inside the
file, that the entry point lies in an executable section, that relocations were not
stripped, and that any relocation directory is well formed. Checked on request: the
optional header magic, the machine, the subsystem, base relocations that actually fix
something up, and what writable sections may hold (an image that runs from flash before
memory is ready must not rely on writing its own data), execution in place (every section's
RVA equal to its file offset, so code run straight from flash finds each section where the
image says it is), and a largest file size.

Exit status: 0 when every check passed, 1 when one failed, 2 when the file is not a PE image.
"""

import argparse
import struct
import sys

MAGICS = {"pe32": 0x10B, "pe32+": 0x20B}
MACHINES = {"i386": 0x14C, "amd64": 0x8664}
SUBSYSTEMS = {"efi_application": 10, "efi_boot_service_driver": 11,
              "efi_runtime_driver": 12, "efi_rom": 13}

SCN_CNT_CODE = 0x00000020
SCN_CNT_INITIALIZED_DATA = 0x00000040
SCN_CNT_UNINITIALIZED_DATA = 0x00000080
SCN_MEM_DISCARDABLE = 0x02000000
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_READ = 0x40000000
SCN_MEM_WRITE = 0x80000000

FILE_RELOCS_STRIPPED = 0x0001
DIRECTORY_BASE_RELOCATION = 5
RELOCATION_TYPES = {0: "ABSOLUTE", 3: "HIGHLOW", 10: "DIR64"}
# The fix-up that moves an absolute address on each machine.
ADDRESS_RELOCATION = {0x14C: 3, 0x8664: 10}


class NotPeImage(Exception):
    pass


def number(text, names):
    """A value given by name (from names) or as a decimal or 0x-prefixed number."""
    lowered = text.lower()
    if lowered in names:
        return names[lowered]
    try:
        return int(text, 0)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r}: use one of {sorted(names)} or a number")


class Section:
    def __init__(self, raw):
        (name, self.virtual_size, self.virtual_address, self.raw_size, self.raw_pointer,
         _, _, _, _, self.flags) = struct.unpack_from("<8sIIIIIIHHI", raw)
        self.name = name.rstrip(b"\0").decode("ascii", errors="replace")

    def contains_rva(self, rva):
        return self.virtual_address <= rva < self.virtual_address + max(self.virtual_size,
                                                                         self.raw_size)

    def flag_text(self):
        text = "".join(letter if self.flags & bit else "-" for letter, bit in
                       (("R", SCN_MEM_READ), ("W", SCN_MEM_WRITE), ("X", SCN_MEM_EXECUTE)))
        kinds = [name for name, bit in (("code", SCN_CNT_CODE),
                                        ("initialised data", SCN_CNT_INITIALIZED_DATA),
                                        ("uninitialised data", SCN_CNT_UNINITIALIZED_DATA),
                                        ("discardable", SCN_MEM_DISCARDABLE))
                 if self.flags & bit]
        return f"{text} {', '.join(kinds)}"


TE_SIGNATURE = b"VZ"
TE_HEADER_SIZE = 40
TE_DIRECTORY_BASE_RELOCATION = 0


class PeImage:
    def __init__(self, data):
        self.data = data
        self.is_te = data[:2] == TE_SIGNATURE
        if self.is_te:
            self._parse_te(data)
            return
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise NotPeImage("no MZ signature")
        pe_offset = struct.unpack_from("<I", data, 0x3C)[0]
        if pe_offset + 24 > len(data) or data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise NotPeImage("no PE signature at the offset the DOS header gives")
        (self.machine, section_count, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe_offset + 4)
        optional = pe_offset + 24
        if optional + optional_size > len(data) or optional_size < 2:
            raise NotPeImage("optional header runs past the end of the file")
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic == MAGICS["pe32+"]:
            self.image_base = struct.unpack_from("<Q", data, optional + 24)[0]
            directory_count_at, directories_at = 108, 112
        elif self.magic == MAGICS["pe32"]:
            self.image_base = struct.unpack_from("<I", data, optional + 28)[0]
            directory_count_at, directories_at = 92, 96
        else:
            raise NotPeImage(f"unknown optional header magic {self.magic:#x}")
        if optional_size < directories_at:
            raise NotPeImage("optional header too short")
        self.entry_point = struct.unpack_from("<I", data, optional + 16)[0]
        self.section_alignment, self.file_alignment = struct.unpack_from("<II", data,
                                                                          optional + 32)
        self.image_size = struct.unpack_from("<I", data, optional + 56)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directory_count = struct.unpack_from("<I", data, optional + directory_count_at)[0]
        self.directories = []
        for index in range(min(directory_count, (optional_size - directories_at) // 8)):
            self.directories.append(struct.unpack_from("<II", data,
                                                       optional + directories_at + 8 * index))
        section_table = optional + optional_size
        if section_table + 40 * section_count > len(data):
            raise NotPeImage("section table runs past the end of the file")
        self.sections = [Section(data[section_table + 40 * i:section_table + 40 * (i + 1)])
                         for i in range(section_count)]
        # File offset of what the image calls file offset 0 (TE images start later).
        self.file_shift = 0

    def _parse_te(self, data):
        if len(data) < TE_HEADER_SIZE:
            raise NotPeImage("TE header cut short")
        (_, self.machine, section_count, self.subsystem, stripped_size, self.entry_point, _,
         self.image_base, reloc_rva, reloc_size, debug_rva, debug_size) = struct.unpack_from(
            "<2sHBBHIIQIIII", data)
        if stripped_size < TE_HEADER_SIZE:
            raise NotPeImage(f"TE stripped size {stripped_size:#x} is smaller than its header")
        # The stripped headers are gone: offset X of the original image is at X - shift here.
        self.file_shift = stripped_size - TE_HEADER_SIZE
        self.magic = None
        self.characteristics = 0
        self.section_alignment = self.file_alignment = None
        table = TE_HEADER_SIZE
        if table + 40 * section_count > len(data):
            raise NotPeImage("section table runs past the end of the file")
        self.sections = [Section(data[table + 40 * i:table + 40 * (i + 1)])
                         for i in range(section_count)]
        self.image_size = max((s.virtual_address + s.virtual_size for s in self.sections),
                              default=0)
        self.directories = [(0, 0)] * DIRECTORY_BASE_RELOCATION + [(reloc_rva, reloc_size),
                                                                   (debug_rva, debug_size)]

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def read_rva(self, rva, size):
        for section in self.sections:
            if section.virtual_address <= rva and rva + size <= (section.virtual_address +
                                                                  section.raw_size):
                start = section.raw_pointer - self.file_shift + rva - section.virtual_address
                return self.data[start:start + size]
        return None

    def relocation_counts(self):
        """Fix-ups per relocation type, or an error text when the directory is malformed."""
        rva, size = self.directory(DIRECTORY_BASE_RELOCATION)
        if size == 0:
            return {}, None
        blob = self.read_rva(rva, size)
        if blob is None or len(blob) != size:
            return {}, "the relocation directory is not backed by file data"
        counts = {}
        offset = 0
        while offset + 8 <= size:
            page, block_size = struct.unpack_from("<II", blob, offset)
            if block_size < 8 or offset + block_size > size or block_size % 2:
                return counts, f"relocation block at +{offset:#x} has size {block_size:#x}"
            for entry_at in range(offset + 8, offset + block_size, 2):
                kind = struct.unpack_from("<H", blob, entry_at)[0] >> 12
                counts[kind] = counts.get(kind, 0) + 1
            offset += block_size
        return counts, None


def check(image, file_size, arguments):
    failures = []

    def expect(what, expected, actual):
        if expected is not None and expected != actual:
            failures.append(f"{what}: expected {expected:#x} got {actual:#x}")

    if not image.is_te:  # a TE header has no magic: its width follows from the machine
        expect("optional header magic", arguments.magic, image.magic)
    expect("machine", arguments.machine, image.machine)
    expect("subsystem", arguments.subsystem, image.subsystem)

    for section in image.sections:
        if section.raw_size and (section.raw_pointer < image.file_shift or
                                 section.raw_pointer - image.file_shift + section.raw_size >
                                 file_size):
            failures.append(f"section {section.name}: file data runs past the end of the file")
    entry_sections = [s for s in image.sections if s.contains_rva(image.entry_point)]
    if not entry_sections or not entry_sections[0].flags & SCN_MEM_EXECUTE:
        failures.append(f"entry point {image.entry_point:#x} is not in an executable section")

    # A UEFI loader places images wherever it finds memory.
    if image.characteristics & FILE_RELOCS_STRIPPED:
        failures.append("the file header says relocations were stripped")
    counts, problem = image.relocation_counts()
    if problem:
        failures.append(problem)
    if arguments.require_relocations:
        wanted = ADDRESS_RELOCATION.get(image.machine)
        if not counts.get(wanted, 0):
            failures.append("no base relocation fixes up an address: the image cannot be "
                            "loaded anywhere but its preferred base")

    for section in image.sections:
        writable = section.flags & SCN_MEM_WRITE
        if writable and arguments.no_writable_sections:
            failures.append(f"section {section.name} is writable")
        elif writable and arguments.no_writable_initialized_data and section.raw_size:
            # What counts is data carried in the file; a zero-filled section has none, whatever
            # its content flag says.
            failures.append(f"writable section {section.name} holds initialised data "
                            f"({section.raw_size} bytes in the file)")
    if arguments.execute_in_place:
        for section in image.sections:
            if section.raw_pointer != section.virtual_address:
                failures.append(f"section {section.name} is at file offset "
                                f"{section.raw_pointer:#x} but RVA {section.virtual_address:#x}: "
                                "it cannot execute in place")
            elif section.virtual_size > section.raw_size:
                failures.append(f"section {section.name} needs {section.virtual_size:#x} bytes "
                                f"in memory but has {section.raw_size:#x} in the file: nothing "
                                "zero-fills a section that runs in place")
    if arguments.max_size is not None and file_size > arguments.max_size:
        failures.append(f"file size {file_size} bytes exceeds the limit of "
                        f"{arguments.max_size} bytes")
    return failures, counts


def report(path, image, file_size, counts, arguments):
    if image.is_te:
        magic = "te"
    else:
        magic = {v: k for k, v in MAGICS.items()}.get(image.magic, hex(image.magic))
    machine = {v: k for k, v in MACHINES.items()}.get(image.machine, hex(image.machine))
    subsystem = {v: k for k, v in SUBSYSTEMS.items()}.get(image.subsystem, str(image.subsystem))
    print(f"{path}: {file_size} bytes, {magic.upper()} {machine}, subsystem {image.subsystem} "
          f"({subsystem})")
    print(f"  image base {image.image_base:#x}, size in memory {image.image_size:#x}, "
          f"entry point {image.entry_point:#x}")
    rva, size = image.directory(DIRECTORY_BASE_RELOCATION)
    fixups = ", ".join(f"{count} {RELOCATION_TYPES.get(kind, f'type {kind}')}"
                       for kind, count in sorted(counts.items()))
    print(f"  base relocations: {size} bytes at {rva:#x}" + (f" ({fixups})" if fixups else ""))
    limit = f" (limit {arguments.max_size} bytes)" if arguments.max_size is not None else ""
    print(f"  file size {file_size} bytes{limit}")
    print(f"  {'section':<9}{'address':>10}{'memory':>10}{'file':>10}{'offset':>10}  flags")
    for section in image.sections:
        print(f"  {section.name:<9}{section.virtual_address:>#10x}{section.virtual_size:>#10x}"
              f"{section.raw_size:>#10x}{section.raw_pointer:>#10x}  {section.flag_text()}")


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("image")
    parser.add_argument("--magic", type=lambda t: number(t, MAGICS),
                        help="pe32 (0x10B) or pe32+ (0x20B)")
    parser.add_argument("--machine", type=lambda t: number(t, MACHINES),
                        help="i386 (0x14C) or amd64 (0x8664)")
    parser.add_argument("--subsystem", type=lambda t: number(t, SUBSYSTEMS),
                        help="e.g. efi_application (10), efi_boot_service_driver (11)")
    parser.add_argument("--require-relocations", action="store_true",
                        help="require base relocations that fix up addresses")
    parser.add_argument("--no-writable-sections", action="store_true",
                        help="fail if any section is writable")
    parser.add_argument("--no-writable-initialized-data", action="store_true",
                        help="fail if a writable section carries data from the file")
    parser.add_argument("--execute-in-place", action="store_true",
                        help="fail unless every section's RVA equals its file offset")
    parser.add_argument("--max-size", type=int, default=None,
                        help="fail if the file is larger than this many bytes")
    return parser.parse_args(argv)


def main(argv):
    arguments = parse_arguments(argv)
    try:
        with open(arguments.image, "rb") as handle:
            data = handle.read()
        image = PeImage(data)
    except (OSError, NotPeImage, struct.error) as error:
        print(f"FAIL {arguments.image}: not a readable PE image: {error}")
        return 2
    failures, counts = check(image, len(data), arguments)
    report(arguments.image, image, len(data), counts, arguments)
    for failure in failures:
        print(f"FAIL {failure}")
    print(f"{'FAIL' if failures else 'PASS'} {arguments.image}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
