"""Terse Executable (TE) images: a PE32/PE32+ image whose DOS, PE and optional headers are
replaced by one 40-byte header. Section headers and section data stay as they were, with the
addresses and file offsets of the PE image: a loader finds the original file offset X at
X - StrippedSize + 40 in the TE file, and relocates with that in mind."""

import struct

TE_SIGNATURE = b"VZ"
TE_HEADER_SIZE = 40
SECTION_HEADER_SIZE = 40
_BASE_RELOCATION, _DEBUG = 5, 6


class ImageError(Exception):
    pass


def _unpack(fmt, data, offset):
    if offset < 0 or offset + struct.calcsize(fmt) > len(data):
        raise ImageError("the PE headers run past the end of the file")
    return struct.unpack_from(fmt, data, offset)


def pe_to_te(pe):
    """The TE form of a PE32/PE32+ image given as bytes."""
    if pe[:2] != b"MZ":
        raise ImageError("no MZ signature")
    (pe_offset,) = _unpack("<I", pe, 0x3C)
    if pe[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise ImageError("no PE signature")
    machine, section_count, _, _, _, optional_size, _ = _unpack("<HHIIIHH", pe, pe_offset + 4)
    optional = pe_offset + 24
    (magic,) = _unpack("<H", pe, optional)
    if magic == 0x10B:
        (image_base,) = _unpack("<I", pe, optional + 28)
        count_at, directories_at = 92, 96
    elif magic == 0x20B:
        (image_base,) = _unpack("<Q", pe, optional + 24)
        count_at, directories_at = 108, 112
    else:
        raise ImageError(f"unknown optional header magic {magic:#x}")
    entry_point, base_of_code = _unpack("<II", pe, optional + 16)
    (subsystem,) = _unpack("<H", pe, optional + 68)
    (directory_count,) = _unpack("<I", pe, optional + count_at)

    def directory(index):
        if index >= directory_count:
            return 0, 0
        return _unpack("<II", pe, optional + directories_at + 8 * index)

    stripped_size = optional + optional_size
    table_end = stripped_size + SECTION_HEADER_SIZE * section_count
    if table_end > len(pe):
        raise ImageError("the section table runs past the end of the file")
    # The TE header keeps narrower fields than the PE headers; an image whose values do not
    # fit cannot be converted.
    if section_count > 0xFF or subsystem > 0xFF or stripped_size > 0xFFFF:
        raise ImageError("section count, subsystem or header size too large for a TE header")
    if stripped_size < TE_HEADER_SIZE:
        raise ImageError("the PE headers are smaller than a TE header")
    # Nothing the loader needs may live in the stripped headers.
    for index in range(section_count):
        raw_size, raw_pointer = _unpack("<II", pe, stripped_size + SECTION_HEADER_SIZE * index + 16)
        if raw_size and raw_pointer < table_end:
            raise ImageError(f"section {index} has file data inside the headers")

    reloc = directory(_BASE_RELOCATION)
    debug = directory(_DEBUG)
    header = struct.pack("<2sHBBHIIQIIII", TE_SIGNATURE, machine, section_count, subsystem,
                         stripped_size, entry_point, base_of_code, image_base, *reloc, *debug)
    assert len(header) == TE_HEADER_SIZE
    return header + pe[stripped_size:]
