"""Firmware file system (FFS) files and their sections.

A file is a 24-byte header (name GUID, integrity check, type, attributes, 24-bit size, state)
followed by sections; each section is a 4-byte header (24-bit size, type) and its data, and
starts on a 4-byte boundary of the file. Only the small forms are written: files and sections
below 16 MiB."""

import struct

from guid import guid_bytes

# File types.
FILE_TYPES = {"RAW": 0x01, "FREEFORM": 0x02, "PEIM": 0x06, "DRIVER": 0x07, "APPLICATION": 0x09}
# Section types.
SECTION_TYPES = {"PE32": 0x10, "TE": 0x12, "DXE_DEPEX": 0x13, "USER_INTERFACE": 0x15,
                 "RAW": 0x19, "PEI_DEPEX": 0x1B}

FILE_HEADER_SIZE = 24
SECTION_HEADER_SIZE = 4
SECTION_ALIGNMENT = 4
MAX_SMALL_SIZE = 0xFFFFFF

# Attributes: with FFS_ATTRIB_CHECKSUM clear the file checksum is the fixed value below.
FFS_ATTRIB_CHECKSUM = 0x40
FFS_FIXED_CHECKSUM = 0xAA

# State bits as they read when set with erase polarity 0. A file ready to use has its header
# under construction, header valid and data valid bits set.
EFI_FILE_HEADER_CONSTRUCTION = 0x01
EFI_FILE_HEADER_VALID = 0x02
EFI_FILE_DATA_VALID = 0x04
VALID_FILE_STATE = EFI_FILE_HEADER_CONSTRUCTION | EFI_FILE_HEADER_VALID | EFI_FILE_DATA_VALID


def checksum8(data):
    """The byte that makes data plus itself sum to zero modulo 256."""
    return (-sum(data)) & 0xFF


def section(kind, data):
    """One section: header and data, unpadded."""
    size = SECTION_HEADER_SIZE + len(data)
    if size > MAX_SMALL_SIZE:
        raise ValueError(f"section of {size} bytes needs the large header form")
    return size.to_bytes(3, "little") + bytes([SECTION_TYPES[kind]]) + bytes(data)


def user_interface_section(name):
    """The module's name as a NUL-terminated UCS-2 string."""
    return section("USER_INTERFACE", (name + "\0").encode("utf-16-le"))


def _pad_to(data, alignment, fill):
    return data + bytes([fill]) * (-len(data) % alignment)


def ffs_file(name_guid, file_type, sections, erase_polarity=1, checksum_data=False):
    """A complete FFS file from a list of section byte strings.

    Sections are placed on 4-byte boundaries; the padding between them is zero (it lies inside
    the file, so the file checksum covers it). With erase polarity 1 every state bit is stored
    inverted: a valid file's state byte reads 0xF8."""
    body = b""
    for index, one in enumerate(sections):
        if index:
            body = _pad_to(body, SECTION_ALIGNMENT, 0)
        body += one
    size = FILE_HEADER_SIZE + len(body)
    if size > MAX_SMALL_SIZE:
        raise ValueError(f"file of {size} bytes needs the large header form")
    attributes = FFS_ATTRIB_CHECKSUM if checksum_data else 0
    file_checksum = checksum8(body) if checksum_data else FFS_FIXED_CHECKSUM
    state = VALID_FILE_STATE ^ (0xFF if erase_polarity else 0x00)

    header = bytearray(struct.pack("<16sBBBB3sB", guid_bytes(name_guid), 0, 0,
                                   FILE_TYPES[file_type], attributes,
                                   size.to_bytes(3, "little"), 0))
    # The header checksum is taken with the state and file checksum bytes counted as zero.
    header[16] = checksum8(header)
    header[17] = file_checksum
    header[23] = state
    return bytes(header) + body
