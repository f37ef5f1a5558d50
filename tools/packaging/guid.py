"""GUIDs as the firmware stores them: Data1, Data2 and Data3 little-endian, then eight bytes."""

import re
import uuid

_TEXT = re.compile(r"^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$")


def guid_bytes(text):
    """The 16 stored bytes of a GUID written as 8-4-4-4-12 hex digits."""
    if not _TEXT.match(text):
        raise ValueError(f"{text!r} is not a GUID of the form 8-4-4-4-12 hex digits")
    return uuid.UUID(text).bytes_le


def guid_text(raw):
    """The 8-4-4-4-12 text of 16 stored GUID bytes, upper case."""
    return str(uuid.UUID(bytes_le=bytes(raw))).upper()
