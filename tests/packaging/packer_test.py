#!/usr/bin/python3
"""Tests of tools/packaging/pack.py: what it writes is read back with volume_reader (which
shares no code with the packer) and every checksum, alignment and state rule is checked."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import uuid

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import volume_reader as reader  # noqa: E402

PACKER = os.path.join(HERE, "..", "..", "tools", "packaging", "pack.py")
BOARD = "64FBE01A-DBE8-4932-9F7B-6C3DD0D610E5"
OTHER = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"
FILE_A = "11111111-2222-3333-4444-555555555555"
FILE_B = "AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE"
DRIVER, PEIM = 0x07, 0x06
PE32, TE, DXE_DEPEX, USER_INTERFACE, PEI_DEPEX = 0x10, 0x12, 0x13, 0x15, 0x1B


def small_pe(section_raw_pointer=0x200, machine=0x14C):
    """A PE32 image with one code section and a relocation directory entry."""
    optional = bytearray(224)
    struct.pack_into("<H", optional, 0, 0x10B)
    struct.pack_into("<II", optional, 16, 0x1000, 0x1000)  # entry point, base of code
    struct.pack_into("<I", optional, 28, 0x400000)
    struct.pack_into("<H", optional, 68, 11)
    struct.pack_into("<I", optional, 92, 16)
    struct.pack_into("<II", optional, 96 + 8 * 5, 0x1010, 12)  # base relocations
    coff = struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, len(optional), 0x0102)
    table = struct.pack("<8sIIIIIIHHI", b".text", 0x20, 0x1000, 0x200, section_raw_pointer,
                        0, 0, 0, 0, 0x60000020)
    dos = bytearray(0x40)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 0x40)
    headers = bytes(dos) + b"PE\0\0" + coff + bytes(optional) + table
    return headers.ljust(0x200, b"\0") + bytes(range(256)) * 2


class PackerTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as handle:
            handle.write(data)
        return self.path(name)

    def pack(self, *arguments, expect_ok=True):
        completed = subprocess.run([sys.executable, PACKER, *arguments], capture_output=True,
                                   text=True, timeout=30)
        if expect_ok:
            self.assertEqual(completed.returncode, 0, completed.stderr)
        return completed

    def packed(self, name, *arguments):
        self.pack(arguments[0], self.path(name), *arguments[1:])
        with open(self.path(name), "rb") as handle:
            return handle.read()

    def driver_file(self, name, guid, payload, depex_terms):
        depex = self.write(f"{name}.depex", self.packed(f"{name}.depex", "depex", *depex_terms))
        image = self.write(f"{name}.efi", payload)
        return self.packed(f"{name}.ffs", "ffs", "--guid", guid, "--type", "DRIVER",
                           "--section", f"DXE_DEPEX={depex}", "--section", f"PE32={image}",
                           "--ui", name)

    # ---- dependency expressions ----
    def test_dependency_expressions(self):
        cases = [
            (["TRUE"], ["TRUE", "END"]),
            ([f"PUSH {BOARD}"], [f"PUSH {BOARD}", "END"]),
            ([f"PUSH {BOARD}", f"PUSH {OTHER}", "AND"],
             [f"PUSH {BOARD}", f"PUSH {OTHER}", "AND", "END"]),
            ([f"PUSH {BOARD}", "NOT", "TRUE", "OR"], [f"PUSH {BOARD}", "NOT", "TRUE", "OR", "END"]),
        ]
        for terms, decoded in cases:
            with self.subTest(terms=terms):
                self.assertEqual(reader.decode_depex(self.packed("x.depex", "depex", *terms)),
                                 decoded)

    def test_dependency_expression_bytes(self):
        code = self.packed("x.depex", "depex", f"PUSH {BOARD}")
        self.assertEqual(code, b"\x02" + uuid.UUID(BOARD).bytes_le + b"\x08")

    def test_bad_input_is_refused_and_writes_nothing(self):
        image = self.write("x.efi", b"\0" * 4)
        cases = [
            ("AND with one operand", ["depex", self.path("out"), "TRUE", "AND"]),
            ("two values left", ["depex", self.path("out"), "TRUE", "TRUE"]),
            ("unknown term", ["depex", self.path("out"), "MAYBE"]),
            ("malformed GUID", ["depex", self.path("out"), "PUSH 1234"]),
            ("missing section file", ["ffs", self.path("out"), "--guid", FILE_A, "--type",
                                      "DRIVER", "--section", f"PE32={self.path('absent')}"]),
            ("malformed file GUID", ["ffs", self.path("out"), "--guid", "x", "--type", "DRIVER",
                                     "--section", f"PE32={image}"]),
            ("TE from something not PE", ["te", self.path("out"), image]),
            ("TE with data in the headers",
             ["te", self.path("out"), self.write("bad.efi", small_pe(section_raw_pointer=0x100))]),
        ]
        for name, arguments in cases:
            with self.subTest(case=name):
                completed = self.pack(*arguments, expect_ok=False)
                self.assertEqual(completed.returncode, 1, completed.stderr)
                self.assertTrue(completed.stderr.strip())
                self.assertFalse(os.path.exists(self.path("out")))
                self.assertFalse(os.path.exists(self.path("out.partial")))

    # ---- FFS files ----
    def test_driver_file_layout_and_checksums(self):
        payload = b"\x4d\x5a\x90"  # odd length: the next section needs padding
        data = self.driver_file("Odd", FILE_A, payload, [f"PUSH {BOARD}"])
        one = reader.read_file(data, 0, erased=0xFF)  # checksums and state checked here
        self.assertEqual(one.size, len(data))
        self.assertEqual(one.name, FILE_A)
        self.assertEqual(one.kind, DRIVER)
        self.assertEqual(one.attributes, 0)
        self.assertEqual(one.state, 0xF8)
        self.assertEqual(data[17], 0xAA)
        self.assertEqual([s.kind for s in one.sections], [DXE_DEPEX, PE32, USER_INTERFACE])
        self.assertEqual(reader.decode_depex(one.section(DXE_DEPEX).data),
                         [f"PUSH {BOARD}", "END"])
        self.assertEqual(one.section(PE32).data, payload)
        self.assertEqual(reader.user_interface_name(one.section(USER_INTERFACE).data), "Odd")
        self.assertTrue(all(s.offset % 4 == 0 for s in one.sections))

    def test_peim_file_with_te_image(self):
        te = self.write("m.te", self.packed("m.te", "te", self.write("m.efi", small_pe())))
        depex = self.write("m.depex", self.packed("m.depex", "depex", "TRUE"))
        data = self.packed("m.ffs", "ffs", "--guid", FILE_B, "--type", "PEIM",
                           "--section", f"PEI_DEPEX={depex}", "--section", f"TE={te}",
                           "--ui", "Module")
        one = reader.read_file(data, 0, erased=0xFF)
        self.assertEqual(one.kind, PEIM)
        self.assertEqual([s.kind for s in one.sections], [PEI_DEPEX, TE, USER_INTERFACE])
        with open(te, "rb") as handle:
            self.assertEqual(one.section(TE).data, handle.read())

    # ---- TE images ----
    def test_te_header_replaces_the_pe_headers(self):
        pe = small_pe()
        te = self.packed("x.te", "te", self.write("x.efi", pe))
        stripped = 0x40 + 4 + 20 + 224  # DOS header, PE signature, COFF and optional headers
        (signature, machine, sections, subsystem, stripped_size, entry, base_of_code,
         image_base, reloc_rva, reloc_size, debug_rva, debug_size) = struct.unpack_from(
            "<2sHBBHIIQIIII", te)
        self.assertEqual((signature, machine, sections, subsystem), (b"VZ", 0x14C, 1, 11))
        self.assertEqual((stripped_size, entry, base_of_code, image_base),
                         (stripped, 0x1000, 0x1000, 0x400000))
        self.assertEqual((reloc_rva, reloc_size, debug_rva, debug_size), (0x1010, 12, 0, 0))
        # Section headers and data follow unchanged: original offset X is at X - stripped + 40.
        self.assertEqual(te[40:], pe[stripped:])

    # ---- volumes ----
    def test_volume_holds_files_in_order_aligned_and_checksummed(self):
        first = self.write("a.ffs", self.driver_file("First", FILE_A, b"\x01" * 13, ["TRUE"]))
        second = self.write("b.ffs", self.driver_file("Second", FILE_B, b"\x02" * 7, ["TRUE"]))
        volume = reader.Volume(self.packed("v.fv", "fv", first, second))
        self.assertEqual([f.name for f in volume.files], [FILE_A, FILE_B])
        self.assertEqual(volume.erased, 0xFF)
        self.assertTrue(all(f.offset % 8 == 0 for f in volume.files))

    def test_volume_size_is_whole_pages(self):
        for payload_size, pages in [(100, 1), (4096, 2), (3 * 4096, 4)]:
            with self.subTest(payload=payload_size):
                ffs = self.write("f.ffs", self.driver_file("F", FILE_A, b"\x5a" * payload_size,
                                                           ["TRUE"]))
                data = self.packed("v.fv", "fv", ffs)
                self.assertEqual(len(data), pages * 4096)
                reader.Volume(data)

    # ---- the reader itself finds faults ----
    def test_reader_rejects_damaged_volumes(self):
        ffs = self.write("a.ffs", self.driver_file("First", FILE_A, b"\x01" * 13, ["TRUE"]))
        good = self.packed("v.fv", "fv", ffs)
        reader.Volume(good)
        header_length = struct.unpack_from("<H", good, 48)[0]
        first = header_length  # the first file starts right after the header

        def flipped(offset, mask=0x01):
            damaged = bytearray(good)
            damaged[offset] ^= mask
            return bytes(damaged)

        cases = [
            ("volume header byte", flipped(44), "volume header checksum"),
            ("file system GUID", flipped(16), "not FFS2"),
            ("file header byte", flipped(first + 19), "header checksum"),
            ("fixed file checksum", flipped(first + 17), "file checksum"),
            ("state bit", flipped(first + 23, 0x04), "not a valid file"),
            ("data behind the last file", flipped(len(good) - 1), "not erased"),
            ("section size", flipped(first + 24, 0x02), "section size"),
        ]
        for name, data, text in cases:
            with self.subTest(damage=name):
                with self.assertRaisesRegex(reader.FormatError, text):
                    reader.Volume(data)


if __name__ == "__main__":
    unittest.main()
