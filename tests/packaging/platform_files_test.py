#!/usr/bin/python3
"""The platform files the firmware build made, read back independently of the packer: the
volume and FFS files obey every storage rule, hold the right images, dependency expressions
and names under the fixed file GUIDs, and the INF files under integration/ describe the same
modules and list binaries that are there.

Environment: PLATFORM_BUILD_DIR (build/firmware), PLATFORM_SOURCE_DIR (the source tree)."""

import configparser
import os
import re
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import volume_reader as reader  # noqa: E402

BUILD = os.environ.get("PLATFORM_BUILD_DIR", "")
SOURCE = os.environ.get("PLATFORM_SOURCE_DIR", "")

BOARD_SUPPORT = "64FBE01A-DBE8-4932-9F7B-6C3DD0D610E5"
# The modules' identities in a platform's flash, as the README states them.
MODULES = {
    "PlatformServicesDxe": ("5BED5BE8-B6F5-4D87-946A-3C715E25B645", "DXE_DRIVER", 0x07),
    "SpdProviderPei": ("68110C97-2D1F-4FD4-BC42-9DDD53CEE152", "PEIM", 0x06),
    "ExampleBoardDxe": ("48BF1F74-D994-4C54-B974-E6CDDE874F87", "DXE_DRIVER", 0x07),
}
PE32, TE, DXE_DEPEX, USER_INTERFACE, PEI_DEPEX = 0x10, 0x12, 0x13, 0x15, 0x1B


def read(*parts):
    with open(os.path.join(*parts), "rb") as handle:
        return handle.read()


class PlatformFilesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not BUILD or not SOURCE:
            raise RuntimeError("PLATFORM_BUILD_DIR and PLATFORM_SOURCE_DIR must be set")

    def check_dxe_file(self, one, module, depex):
        guid, _, file_type = MODULES[module]
        self.assertEqual(one.name, guid)
        self.assertEqual(one.kind, file_type)
        self.assertEqual([s.kind for s in one.sections], [DXE_DEPEX, PE32, USER_INTERFACE])
        self.assertEqual(reader.decode_depex(one.section(DXE_DEPEX).data), depex)
        self.assertEqual(one.section(PE32).data, read(BUILD, f"{module}.efi"))
        self.assertEqual(reader.user_interface_name(one.section(USER_INTERFACE).data), module)

    def test_platform_volume(self):
        volume = reader.Volume(read(BUILD, "Platform.fv"))
        self.assertEqual(volume.erased, 0xFF)
        self.assertEqual(len(volume.files), 2)
        # The driver first: only its dependency expression puts the board ahead of it.
        self.check_dxe_file(volume.files[0], "PlatformServicesDxe",
                            [f"PUSH {BOARD_SUPPORT}", "END"])
        self.check_dxe_file(volume.files[1], "ExampleBoardDxe", ["TRUE", "END"])

    def test_volume_without_the_dependency(self):
        volume = reader.Volume(read(BUILD, "nodepex", "Platform.fv"))
        self.check_dxe_file(volume.files[0], "PlatformServicesDxe", ["TRUE", "END"])
        self.check_dxe_file(volume.files[1], "ExampleBoardDxe", ["TRUE", "END"])

    def test_ffs_files(self):
        for module in ("PlatformServicesDxe", "ExampleBoardDxe"):
            with self.subTest(module=module):
                data = read(BUILD, f"{module}.ffs")
                one = reader.read_file(data, 0, erased=0xFF)
                self.assertEqual(one.size, len(data))
                depex = [f"PUSH {BOARD_SUPPORT}", "END"] if module == "PlatformServicesDxe" \
                    else ["TRUE", "END"]
                self.check_dxe_file(one, module, depex)
        data = read(BUILD, "SpdProviderPei.ffs")
        one = reader.read_file(data, 0, erased=0xFF)
        guid, _, file_type = MODULES["SpdProviderPei"]
        self.assertEqual((one.name, one.kind, one.size), (guid, file_type, len(data)))
        self.assertEqual([s.kind for s in one.sections], [PEI_DEPEX, TE, USER_INTERFACE])
        self.assertEqual(reader.decode_depex(one.section(PEI_DEPEX).data), ["TRUE", "END"])
        self.assertEqual(one.section(TE).data, read(BUILD, "SpdProviderPei.te"))
        self.assertEqual(reader.user_interface_name(one.section(USER_INTERFACE).data),
                         "SpdProviderPei")

    def test_inf_files_describe_the_same_modules(self):
        for module, (guid, module_type, _) in MODULES.items():
            with self.subTest(module=module):
                parser = configparser.ConfigParser(delimiters=("=",), comment_prefixes=("#",),
                                                   allow_no_value=True, strict=True)
                parser.optionxform = str  # keys and binary lines keep their case
                parser.read(os.path.join(SOURCE, "integration", f"{module}.inf"))
                defines = parser["Defines"]
                self.assertEqual(defines["BASE_NAME"], module)
                self.assertEqual(defines["FILE_GUID"].upper(), guid)
                self.assertEqual(defines["MODULE_TYPE"], module_type)
                self.assertRegex(defines["INF_VERSION"], r"^0x[0-9A-Fa-f]{8}$")
                binaries = [name for name in parser.sections() if name.startswith("Binaries")]
                self.assertEqual(len(binaries), 1)
                entries = [re.split(r"\s*\|\s*", line) for line in parser[binaries[0]]]
                kinds = [entry[0] for entry in entries]
                image_kind, depex_kind = ("TE", "PEI_DEPEX") if module_type == "PEIM" else \
                    ("PE32", "DXE_DEPEX")
                self.assertEqual(sorted(kinds), sorted([image_kind, depex_kind]))
                # The binary module folder the build staged holds every file the INF lists,
                # byte for byte the files that went into the FFS files.
                folder = os.path.join(BUILD, "integration", module)
                for kind, name, *_ in entries:
                    self.assertEqual(read(folder, name), read(BUILD, name), f"{kind} {name}")


if __name__ == "__main__":
    unittest.main()
