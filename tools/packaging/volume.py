"""Firmware volumes formatted with the FFS2 file system.

The volume header (zero vector, file system GUID, length, "_FVH", attributes, header length,
16-bit checksum, extended header offset, revision 2, block map) is followed by the files, each
on an 8-byte boundary of the volume. Gaps and the free space up to the volume's end hold the
erased value (0xFF with erase polarity 1), which the file system reads as "no file here"."""

import struct

from guid import guid_bytes

FFS2_GUID = "8C8CE578-8A3D-4F1C-9935-896185C32DD3"
SIGNATURE = b"_FVH"
REVISION = 2
FILE_ALIGNMENT = 8
BLOCK_SIZE = 0x1000

FVB2_READ_DISABLED_CAP = 0x00000001
FVB2_READ_ENABLED_CAP = 0x00000002
FVB2_READ_STATUS = 0x00000004
FVB2_STICKY_WRITE = 0x00000200
FVB2_MEMORY_MAPPED = 0x00000400
FVB2_ERASE_POLARITY = 0x00000800
FVB2_READ_LOCK_CAP = 0x00001000
FVB2_ALIGNMENT_8 = 0x00030000

# Readable, memory-mapped, erased bits read 1, 8-byte file alignment.
ATTRIBUTES = (FVB2_READ_DISABLED_CAP | FVB2_READ_ENABLED_CAP | FVB2_READ_STATUS |
              FVB2_STICKY_WRITE | FVB2_MEMORY_MAPPED | FVB2_ERASE_POLARITY |
              FVB2_READ_LOCK_CAP | FVB2_ALIGNMENT_8)

HEADER_SIZE = 56 + 8 * 2  # fixed part, one block map entry, the terminating entry
ERASED = 0xFF


def checksum16(data):
    """The 16-bit word that makes the little-endian words of data plus itself sum to zero."""
    words = struct.unpack(f"<{len(data) // 2}H", data)
    return (-sum(words)) & 0xFFFF


def firmware_volume(files):
    """A volume holding the given FFS files in order, its size a whole number of 4 KiB blocks."""
    body = bytearray()
    for one in files:
        body += bytes([ERASED]) * (-(HEADER_SIZE + len(body)) % FILE_ALIGNMENT)
        body += one
    length = HEADER_SIZE + len(body)
    length += -length % BLOCK_SIZE
    header = bytearray(struct.pack("<16s16sQ4sIHHHBB", bytes(16), guid_bytes(FFS2_GUID), length,
                                   SIGNATURE, ATTRIBUTES, HEADER_SIZE, 0, 0, 0, REVISION))
    header += struct.pack("<IIII", length // BLOCK_SIZE, BLOCK_SIZE, 0, 0)
    assert len(header) == HEADER_SIZE
    struct.pack_into("<H", header, 50, checksum16(bytes(header)))
    volume = bytes(header) + bytes(body)
    return volume + bytes([ERASED]) * (length - len(volume))
