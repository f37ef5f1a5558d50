"""An independent reader of firmware volumes, FFS files, sections and dependency expressions.

Written from the firmware storage formats, not from tools/packaging: it shares no code with the
packer, so a fault in the packer's layout or arithmetic cannot hide in a shared helper. Every
rule a firmware's file system driver relies on is checked, and a broken one raises FormatError
naming it."""

import struct
import uuid

FFS2 = uuid.UUID("8C8CE578-8A3D-4F1C-9935-896185C32DD3")
ERASE_POLARITY = 0x800
FILE_HEADER = 24
SECTION_HEADER = 4
FILE_CHECKSUM_ATTRIBUTE = 0x40
FIXED_FILE_CHECKSUM = 0xAA
STATE_HEADER_CONSTRUCTION, STATE_HEADER_VALID, STATE_DATA_VALID = 0x01, 0x02, 0x04

DEPEX_OPCODES = {0x00: "BEFORE", 0x01: "AFTER", 0x02: "PUSH", 0x03: "AND", 0x04: "OR",
                 0x05: "NOT", 0x06: "TRUE", 0x07: "FALSE", 0x08: "END", 0x09: "SOR"}


class FormatError(Exception):
    pass


def require(condition, text):
    if not condition:
        raise FormatError(text)


def guid(raw):
    return str(uuid.UUID(bytes_le=bytes(raw))).upper()


class Section:
    def __init__(self, kind, offset, data):
        self.kind, self.offset, self.data = kind, offset, data


class FfsFile:
    def __init__(self, name, kind, attributes, state, offset, size, sections):
        self.name, self.kind, self.attributes, self.state = name, kind, attributes, state
        self.offset, self.size, self.sections = offset, size, sections

    def section(self, kind):
        found = [one for one in self.sections if one.kind == kind]
        require(len(found) == 1, f"file {self.name}: {len(found)} sections of type {kind:#x}")
        return found[0]


def read_sections(body, file_name):
    """Sections of one file body; each starts on a 4-byte boundary of the file."""
    sections = []
    offset = 0
    while offset < len(body):
        require(offset % 4 == 0, f"file {file_name}: section at body offset {offset} not on a "
                                 "4-byte boundary")
        require(offset + SECTION_HEADER <= len(body), f"file {file_name}: section header cut")
        size = int.from_bytes(body[offset:offset + 3], "little")
        kind = body[offset + 3]
        require(SECTION_HEADER <= size <= len(body) - offset,
                f"file {file_name}: section size {size} at {offset} does not fit")
        sections.append(Section(kind, offset, body[offset + SECTION_HEADER:offset + size]))
        offset += size
        if offset < len(body):
            offset += -offset % 4  # the padding lies inside the file and reads as zero
    return sections


def read_file(data, offset, erased):
    """One FFS file starting at data[offset]: its checksums and state checked."""
    require(offset + FILE_HEADER <= len(data), f"file header at {offset:#x} cut short")
    header = data[offset:offset + FILE_HEADER]
    name = guid(header[0:16])
    header_checksum, file_checksum, kind, attributes = header[16], header[17], header[18], \
        header[19]
    size = int.from_bytes(header[20:23], "little")
    state = header[23]
    require(FILE_HEADER <= size <= len(data) - offset,
            f"file {name}: size {size} does not fit in the volume")
    # Header checksum: the header sums to zero with the state and file checksum bytes as zero.
    summed = sum(header) - state - file_checksum
    require(summed & 0xFF == 0, f"file {name}: header checksum {header_checksum:#04x} wrong")
    body = data[offset + FILE_HEADER:offset + size]
    if attributes & FILE_CHECKSUM_ATTRIBUTE:
        require((sum(body) + file_checksum) & 0xFF == 0, f"file {name}: data checksum wrong")
    else:
        require(file_checksum == FIXED_FILE_CHECKSUM,
                f"file {name}: file checksum {file_checksum:#04x}, expected the fixed 0xaa")
    # State bits are stored inverted when erased flash reads 1.
    logical = state ^ (0xFF if erased == 0xFF else 0x00)
    wanted = STATE_HEADER_CONSTRUCTION | STATE_HEADER_VALID | STATE_DATA_VALID
    require(logical == wanted, f"file {name}: state byte {state:#04x} is not a valid file")
    return FfsFile(name, kind, attributes, state, offset, size, read_sections(body, name))


class Volume:
    def __init__(self, data):
        require(len(data) >= 72, "volume shorter than its header")
        (zero, fs_guid, length, signature, attributes, header_length, _, ext_offset, _,
         revision) = struct.unpack_from("<16s16sQ4sIHHHBB", data)
        require(zero == bytes(16), "zero vector not zero")
        require(signature == b"_FVH", "no _FVH signature")
        require(uuid.UUID(bytes_le=fs_guid) == FFS2, "file system is not FFS2")
        require(revision == 2, f"revision {revision}, expected 2")
        require(length == len(data), f"volume length {length} but {len(data)} bytes")
        require(length % 4096 == 0, f"volume length {length} is not a whole number of pages")
        require(header_length % 2 == 0 and 56 < header_length <= len(data),
                f"header length {header_length}")
        words = struct.unpack_from(f"<{header_length // 2}H", data)
        require(sum(words) & 0xFFFF == 0, "volume header checksum wrong")
        blocks = 0
        for at in range(56, header_length, 8):
            count, block_length = struct.unpack_from("<II", data, at)
            if count == 0 and block_length == 0:
                require(at + 8 == header_length, "block map ends before the header does")
                break
            blocks += count * block_length
        else:
            raise FormatError("block map has no terminating entry")
        require(blocks == length, f"block map covers {blocks} bytes of {length}")
        require(ext_offset == 0 or ext_offset >= header_length, "extended header inside header")
        self.attributes = attributes
        self.erased = 0xFF if attributes & ERASE_POLARITY else 0x00
        self.files = []
        offset = header_length
        while True:
            offset += -offset % 8
            if offset + FILE_HEADER > length:
                break
            if data[offset:offset + FILE_HEADER] == bytes([self.erased]) * FILE_HEADER:
                break  # free space from here on
            one = read_file(data, offset, self.erased)
            self.files.append(one)
            offset += one.size
        # Gaps between files and everything after the last one read as erased flash.
        covered = bytearray(len(data))
        covered[:header_length] = b"\1" * header_length
        for one in self.files:
            covered[one.offset:one.offset + one.size] = b"\1" * one.size
        stray = [at for at in range(len(data)) if not covered[at] and data[at] != self.erased]
        require(not stray, f"{len(stray)} bytes outside the files are not erased, first at "
                           f"{stray[0] if stray else 0:#x}")


def decode_depex(code):
    """The opcodes of a dependency expression as text terms, END last; PUSH carries its GUID."""
    terms = []
    offset = 0
    while offset < len(code):
        opcode = code[offset]
        require(opcode in DEPEX_OPCODES, f"unknown dependency opcode {opcode:#x}")
        name = DEPEX_OPCODES[opcode]
        if name in ("PUSH", "BEFORE", "AFTER"):
            require(offset + 17 <= len(code), f"{name} without a whole GUID")
            terms.append(f"{name} {guid(code[offset + 1:offset + 17])}")
            offset += 17
        else:
            terms.append(name)
            offset += 1
        if name == "END":
            require(offset == len(code), "bytes after END")
            return terms
    raise FormatError("dependency expression without END")


def user_interface_name(section_data):
    text = section_data.decode("utf-16-le")
    require(text.endswith("\0"), "user interface name not NUL-terminated")
    return text[:-1]
