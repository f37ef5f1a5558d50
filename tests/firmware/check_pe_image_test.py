#!/usr/bin/python3
"""Tests of tools/check_pe_image.py on small PE images built here, each showing one fault."""

import contextlib
import importlib.util
import io
import os
import struct
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no cache files beside the checker in the source tree

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
spec = importlib.util.spec_from_file_location("check_pe_image",
                                              os.path.join(TOOLS, "check_pe_image.py"))
checker = importlib.util.module_from_spec(spec)
spec.loader.exec_module(checker)
sys.path.insert(0, os.path.join(TOOLS, "packaging"))
from terse import pe_to_te  # noqa: E402  the TE writer whose output the checker reads

CODE = checker.SCN_CNT_CODE | checker.SCN_MEM_READ | checker.SCN_MEM_EXECUTE
CONST = checker.SCN_CNT_INITIALIZED_DATA | checker.SCN_MEM_READ
DATA = checker.SCN_CNT_INITIALIZED_DATA | checker.SCN_MEM_READ | checker.SCN_MEM_WRITE
FILE_ALIGNMENT, SECTION_ALIGNMENT = 0x200, 0x1000


def align(value, boundary):
    return (value + boundary - 1) // boundary * boundary


def relocation_block(page, kinds):
    entries = [(kind << 12) | (8 * index) for index, kind in enumerate(kinds)]
    if len(entries) % 2:
        entries.append(0)  # blocks are padded to four bytes with an ABSOLUTE entry
    return struct.pack("<II", page, 8 + 2 * len(entries)) + struct.pack(
        f"<{len(entries)}H", *entries)


def build_image(pe32_plus=True, machine=0x8664, subsystem=11, entry=None,
                characteristics=0x0022, sections=None, relocations=b"default", in_place=False):
    """A minimal but loadable-looking image: sections are (name, flags, file bytes, memory size).

    Laid out as a linker does by default (sections at page RVAs, file data on 512-byte
    boundaries), or with in_place as an image that runs from flash: 32-byte alignment both in
    the file and in memory, each section's RVA equal to its file offset. The entry point is the
    start of the first section unless given."""
    file_alignment, section_alignment = (32, 32) if in_place else (FILE_ALIGNMENT,
                                                                   SECTION_ALIGNMENT)
    if sections is None:
        sections = [(".text", CODE, b"\xc3" * 16, 16), (".data", DATA, b"", 0x40)]
    if relocations == b"default":
        relocations = relocation_block(0x1000, [10 if pe32_plus else 3])
    sections = list(sections)
    if relocations:
        sections.append((".reloc", CONST | checker.SCN_MEM_DISCARDABLE, relocations,
                         len(relocations)))

    optional_size = 240 if pe32_plus else 224
    headers_size = align(0x40 + 24 + optional_size + 40 * len(sections), file_alignment)
    table, body = b"", b""
    directories = [(0, 0)] * 16
    raw_pointer = headers_size
    address = headers_size if in_place else section_alignment
    if entry is None:
        entry = address
    for name, flags, raw, memory_size in sections:
        raw_size = align(len(raw), file_alignment) if raw else 0
        if name == ".reloc":
            directories[checker.DIRECTORY_BASE_RELOCATION] = (address, len(raw))
        table += struct.pack("<8sIIIIIIHHI", name.encode(), memory_size, address, raw_size,
                             raw_pointer if raw_size else 0, 0, 0, 0, 0, flags)
        body += raw.ljust(raw_size, b"\0")
        raw_pointer += raw_size
        address += align(max(memory_size, raw_size, 1), section_alignment)

    optional = bytearray(optional_size)
    struct.pack_into("<H", optional, 0, 0x20B if pe32_plus else 0x10B)
    struct.pack_into("<I", optional, 16, entry)
    if pe32_plus:
        struct.pack_into("<Q", optional, 24, 0x140000000)
    else:
        struct.pack_into("<I", optional, 28, 0x400000)
    struct.pack_into("<II", optional, 32, section_alignment, file_alignment)
    struct.pack_into("<II", optional, 56, address, headers_size)
    struct.pack_into("<H", optional, 68, subsystem)
    count_at, directories_at = (108, 112) if pe32_plus else (92, 96)
    struct.pack_into("<I", optional, count_at, 16)
    for index, (rva, size) in enumerate(directories):
        struct.pack_into("<II", optional, directories_at + 8 * index, rva, size)

    dos = bytearray(0x40)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 0x40)
    coff = struct.pack("<HHIIIHH", machine, len(sections), 0, 0, 0, optional_size,
                       characteristics)
    headers = bytes(dos) + b"PE\0\0" + coff + bytes(optional) + table
    return headers.ljust(headers_size, b"\0") + body


X64_DRIVER = ["--magic", "pe32+", "--machine", "amd64", "--subsystem", "11",
              "--require-relocations"]
IA32_IN_PLACE = ["--machine", "i386", "--subsystem", "11", "--require-relocations",
                 "--no-writable-sections", "--execute-in-place"]


class CheckPeImageTest(unittest.TestCase):
    def run_checker(self, image, arguments):
        with tempfile.NamedTemporaryFile(suffix=".efi", delete=False) as handle:
            handle.write(image)
        self.addCleanup(os.unlink, handle.name)
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            status = checker.main([handle.name, *arguments])
        return status, output.getvalue()

    def assert_fails_with(self, image, arguments, text):
        status, output = self.run_checker(image, arguments)
        self.assertEqual(status, 1, output)
        self.assertIn(text, output)

    def test_well_formed_x64_driver_passes_and_is_reported(self):
        status, output = self.run_checker(build_image(), X64_DRIVER)
        self.assertEqual(status, 0, output)
        self.assertIn("PE32+ amd64, subsystem 11", output)
        self.assertIn("(1 ABSOLUTE, 1 DIR64)", output)
        self.assertIn(".text", output)

    def test_header_fields_must_match_what_was_asked(self):
        cases = [
            ("magic", build_image(pe32_plus=False, machine=0x8664), "optional header magic"),
            ("machine", build_image(machine=0x14C), "machine: expected 0x8664 got 0x14c"),
            ("subsystem", build_image(subsystem=10), "subsystem: expected 0xb got 0xa"),
        ]
        for field, image, text in cases:
            with self.subTest(field=field):
                self.assert_fails_with(image, X64_DRIVER, text)

    def test_relocations_must_fix_up_addresses(self):
        cases = [
            ("no directory", build_image(relocations=b"")),
            ("padding only", build_image(relocations=relocation_block(0x1000, [0, 0]))),
            ("wrong width for amd64", build_image(relocations=relocation_block(0x1000, [3]))),
        ]
        for name, image in cases:
            with self.subTest(name=name):
                self.assert_fails_with(image, X64_DRIVER, "no base relocation fixes up")

    def test_malformed_relocation_block_is_reported(self):
        bad_block = struct.pack("<II", 0x1000, 4)  # shorter than its own header
        self.assert_fails_with(build_image(relocations=bad_block), [], "relocation block")

    def test_stripped_relocations_fail_even_when_not_asked_for(self):
        self.assert_fails_with(build_image(characteristics=0x0023), [], "relocations were stripped")

    def test_entry_point_must_be_in_executable_section(self):
        self.assert_fails_with(build_image(entry=0x2000), [], "not in an executable section")

    def test_writable_sections(self):
        with_data = build_image(sections=[(".text", CODE, b"\xc3", 1),
                                          (".data", DATA, b"\x01\x02", 2)])
        zero_filled = build_image()  # its .data has no bytes in the file
        self.assert_fails_with(with_data, ["--no-writable-initialized-data"],
                               "writable section .data holds initialised data")
        self.assertEqual(self.run_checker(zero_filled, ["--no-writable-initialized-data"])[0], 0)
        self.assert_fails_with(zero_filled, ["--no-writable-sections"], "section .data is writable")

    def test_read_only_ia32_image_passes_strict_options(self):
        image = build_image(pe32_plus=False, machine=0x14C, subsystem=11,
                            sections=[(".text", CODE, b"\xc3", 1)])
        status, output = self.run_checker(image, ["--magic", "pe32", "--machine", "i386",
                                                  "--require-relocations",
                                                  "--no-writable-sections"])
        self.assertEqual(status, 0, output)
        self.assertIn("PE32 i386", output)

    def in_place_image(self, **overrides):
        arguments = dict(pe32_plus=False, machine=0x14C, in_place=True,
                         sections=[(".text", CODE, b"\xc3" * 40, 40),
                                   (".rdata", CONST, bytes(range(100)), 100)])
        arguments.update(overrides)
        return build_image(**arguments)

    def test_execute_in_place_needs_every_rva_equal_to_its_file_offset(self):
        good = self.in_place_image()
        status, output = self.run_checker(good, IA32_IN_PLACE)
        self.assertEqual(status, 0, output)
        # The default link: .text at RVA 0x1000 but file offset 0x200.
        self.assert_fails_with(build_image(pe32_plus=False, machine=0x14C), IA32_IN_PLACE,
                               "section .text is at file offset 0x200 but RVA 0x1000")
        # Memory that nothing in the file backs would have to be zero-filled by a loader.
        bss = self.in_place_image(sections=[(".text", CODE, b"\xc3" * 40, 40),
                                            (".rdata", CONST, b"\1" * 32, 0x200)])
        self.assert_fails_with(bss, IA32_IN_PLACE, "needs 0x200 bytes in memory but has 0x20")

    def test_size_limit(self):
        image = self.in_place_image()
        cases = [(len(image), 0), (len(image) - 1, 1)]
        for limit, expected in cases:
            with self.subTest(limit=limit):
                status, output = self.run_checker(image, ["--max-size", str(limit)])
                self.assertEqual(status, expected, output)
                self.assertIn(f"file size {len(image)} bytes (limit {limit} bytes)", output)

    def test_te_form_is_read_with_the_same_rules(self):
        good_pe = self.in_place_image()
        te = pe_to_te(good_pe)
        status, output = self.run_checker(te, IA32_IN_PLACE)
        self.assertEqual(status, 0, output)
        self.assertIn("TE i386, subsystem 11", output)
        self.assertIn("(1 ABSOLUTE, 1 HIGHLOW)", output)  # read through the shifted offsets
        cases = [
            ("not in place", pe_to_te(build_image(pe32_plus=False, machine=0x14C)),
             "section .text is at file offset 0x200 but RVA 0x1000"),
            ("cut short", te[:len(te) - 40], "file data runs past the end of the file"),
            ("entry outside code", pe_to_te(self.in_place_image(entry=0x10)),
             "is not in an executable section"),
        ]
        for name, image, text in cases:
            with self.subTest(name=name):
                self.assert_fails_with(image, IA32_IN_PLACE, text)

    def test_files_that_are_not_pe_images(self):
        good = build_image()
        cases = [("empty", b""), ("text", b"hello world" * 10),
                 ("cut inside the section table", good[:0x100]),
                 ("no PE signature", good[:0x40] + b"XX\0\0" + good[0x44:])]
        for name, data in cases:
            with self.subTest(name=name):
                status, output = self.run_checker(data, X64_DRIVER)
                self.assertEqual(status, 2, output)
                self.assertIn("not a readable PE image", output)


if __name__ == "__main__":
    unittest.main()
