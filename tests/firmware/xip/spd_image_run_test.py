#!/usr/bin/python3
"""SpdProviderPei's PE32 and TE images executed in place under qemu-i386 by SpdImageRunner.

What the module publishes is judged here against the SPD contents of the two fitted memory
configurations, written out below from the memory's data, not from the module's sources.

Environment: SPD_IMAGE_RUNNER (the 32-bit runner), SPD_IMAGES (image paths, separated by ':'),
QEMU_I386 (default qemu-i386)."""

import os
import struct
import subprocess
import tempfile
import unittest
import uuid

RUNNER = os.environ.get("SPD_IMAGE_RUNNER", "")
IMAGES = [path for path in os.environ.get("SPD_IMAGES", "").split(":") if path]
QEMU = os.environ.get("QEMU_I386", "qemu-i386")
RUN_TIMEOUT = 30

SPD_HOB_GUID = uuid.UUID("A1E81F04-2596-42F9-A5FE-0C771723B1BD").bytes_le
OUT_OF_RESOURCES_IA32 = 0x80000009
UNWRITTEN = 0xA5  # what the runner's hand-off buffer holds where nobody wrote

# SPD bytes that are not zero: byte -> (configuration A, configuration B). A is fitted when
# GPIO 34 reads 1, B when it reads 0.
SPD_NONZERO = {
    0: (0x92, 0x92), 1: (0x11, 0x11), 2: (0x0B, 0x0B), 3: (0x03, 0x03), 4: (0x03, 0x03),
    5: (0x19, 0x19), 7: (0x01, 0x01), 8: (0x03, 0x03), 9: (0x11, 0x52), 10: (0x01, 0x01),
    11: (0x08, 0x08), 12: (0x0A, 0x0A), 14: (0xFE, 0xFE), 16: (0x69, 0x69), 17: (0x78, 0x78),
    18: (0x69, 0x69), 19: (0x30, 0x30), 20: (0x69, 0x69), 21: (0x11, 0x11), 22: (0x18, 0x18),
    23: (0x81, 0x81), 25: (0x05, 0x05), 26: (0x3C, 0x3C), 27: (0x3C, 0x3C), 29: (0xF0, 0xF0),
    30: (0x83, 0x83), 31: (0x01, 0x05), 60: (0x0F, 0x0F), 61: (0x11, 0x11), 62: (0x65, 0x01),
    117: (0x80, 0x80), 118: (0xCE, 0xAD), 119: (0x01, 0x01), 146: (0x00, 0x4E),
    147: (0x00, 0x30), 148: (0x80, 0x80), 149: (0xCE, 0xAD),
}
PART_NUMBERS = (b"M471B5273DH0-CK0  ", b"HMT325S6CFR8C-PB  ")  # bytes 128 to 145


def jedec_crc16(data):
    """The SPD CRC: polynomial 0x1021, initial value 0, most significant bit first."""
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021 if crc & 0x8000 else crc << 1) & 0xFFFF
    return crc


def expected_spd(configuration):
    image = bytearray(256)
    for index, values in SPD_NONZERO.items():
        image[index] = values[configuration]
    image[128:146] = PART_NUMBERS[configuration]
    # Bytes 126-127: the CRC of bytes 0-116 (byte 0 says so), low byte first, so that memory
    # initialisation that checks it accepts the image.
    image[126:128] = jedec_crc16(image[:117]).to_bytes(2, "little")
    return bytes(image)


A, B = 0, 1


def self_writing_image():
    """An in-place IA-32 PE32 image whose entry point stores to its own first code byte:
    mov dword [<entry>], 1 (the address fixed up by a HIGHLOW relocation); xor eax, eax; ret."""
    image_base, code_rva, reloc_rva = 0x400000, 0x1A0, 0x1C0
    code = b"\xC7\x05" + struct.pack("<I", image_base + code_rva) + struct.pack("<I", 1) + \
        b"\x31\xC0\xC3"
    relocations = struct.pack("<IIHH", 0, 12, (3 << 12) | (code_rva + 2), 0)
    optional = bytearray(224)
    struct.pack_into("<HxxIII", optional, 0, 0x10B, 0x20, 0, 0)
    struct.pack_into("<II", optional, 16, code_rva, code_rva)
    struct.pack_into("<III", optional, 28, image_base, 32, 32)
    struct.pack_into("<II", optional, 56, reloc_rva + 32, code_rva)
    struct.pack_into("<H", optional, 68, 11)
    struct.pack_into("<I", optional, 92, 16)
    struct.pack_into("<II", optional, 96 + 8 * 5, reloc_rva, len(relocations))
    sections = struct.pack("<8sIIIIIIHHI", b".text", len(code), code_rva, 32, code_rva, 0, 0,
                           0, 0, 0x60000020)
    sections += struct.pack("<8sIIIIIIHHI", b".reloc", len(relocations), reloc_rva, 32,
                            reloc_rva, 0, 0, 0, 0, 0x42000040)
    dos = bytearray(0x40)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 0x40)
    headers = bytes(dos) + b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 2, 0, 0, 0, 224,
                                                    0x0102) + bytes(optional) + sections
    assert len(headers) <= code_rva
    return headers.ljust(code_rva, b"\0") + code.ljust(32, b"\0") + relocations.ljust(32, b"\0")


def run(image, gpio_base, level, *extra):
    completed = subprocess.run([QEMU, RUNNER, image, hex(gpio_base), hex(level), *extra],
                               capture_output=True, text=True, timeout=RUN_TIMEOUT)
    facts = {}
    for line in completed.stdout.splitlines():
        key, _, value = line.partition(" ")
        facts.setdefault(key, []).append(value)
    return completed, facts


class SpdImageInPlaceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not RUNNER or not IMAGES:
            raise RuntimeError("SPD_IMAGE_RUNNER and SPD_IMAGES must name the runner and images")
    def run_module(self, image, gpio_base, level, *extra):
        completed, facts = run(image, gpio_base, level, *extra)
        self.assertEqual(completed.returncode, 0,
                         f"runner ended with {completed.returncode}:\n{completed.stdout}"
                         f"{completed.stderr}")
        # A rebased image: the runner placed it away from its preferred base and fixed it up.
        self.assertGreater(int(facts["relocations"][0]), 0)
        return facts

    def test_publishes_the_fitted_configuration(self):
        cases = [
            # name, GPIOBASE word, level register, configuration, port read
            ("strap 1", 0x00000501, 0x00000004, A, 0x0538),
            ("strap 0", 0x00000501, 0x00000000, B, 0x0538),
            ("strap 0, every other level bit set", 0x00000500, 0xFFFFFFFB, B, 0x0538),
            ("strap 1, every other level bit clear", 0x00000500, 0x00000004, A, 0x0538),
            ("GPIOBASE 0x0481 reads port 0x04B8", 0x00000481, 0x00000004, A, 0x04B8),
            ("bits outside the base field ignored", 0xFFFF007F | 0x1000, 0x00000000, B, 0x1038),
        ]
        for image in IMAGES:
            for name, gpio_base, level, configuration, port in cases:
                with self.subTest(image=os.path.basename(image), case=name):
                    facts = self.run_module(image, gpio_base, level)
                    self.assertEqual(int(facts["status"][0], 16), 0)
                    self.assertEqual(facts["port_read"], [f"0x{port:04x}"])
                    self.assertEqual(facts["create_hob"], ["1 type 4 length 282 services_ok 1"])
                    self.assertEqual(facts["copy_mem"], ["1 offset 24 length 258"])
                    block = bytes.fromhex(facts["hob"][0])
                    self.assertEqual(block[0:2], b"\x04\x00")  # written by the core
                    self.assertEqual(block[8:24], SPD_HOB_GUID)
                    self.assertEqual(block[24:26], b"\x01\x00")
                    self.assertEqual(block[26:282].hex(), expected_spd(configuration).hex())
                    # Nothing beyond the 282 bytes requested.
                    self.assertEqual(set(block[282:]), {UNWRITTEN})

    def test_create_hob_failure_is_returned_and_nothing_is_written(self):
        for image in IMAGES:
            with self.subTest(image=os.path.basename(image)):
                facts = self.run_module(image, 0x500, 0x4, "--create-hob-fails")
                self.assertEqual(int(facts["status"][0], 16), OUT_OF_RESOURCES_IA32)
                self.assertEqual(facts["copy_mem"], ["0 offset -1 length 0"])
                self.assertEqual(set(bytes.fromhex(facts["hob"][0])), {UNWRITTEN})


    def test_a_module_that_writes_its_own_image_is_stopped(self):
        # What runs from flash cannot be written: the runner must catch such a module rather
        # than let it pass.
        with tempfile.NamedTemporaryFile(suffix=".efi") as handle:
            handle.write(self_writing_image())
            handle.flush()
            completed, facts = run(handle.name, 0x500, 0x4)
        self.assertEqual(completed.returncode, 3, completed.stdout + completed.stderr)
        image_address = int(facts["image_address"][0], 16)
        self.assertRegex(facts["fault"][0], rf"address 0x{image_address + 0x1A0:08x}$")
        self.assertNotIn("status", facts)


if __name__ == "__main__":
    unittest.main()
