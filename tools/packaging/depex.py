"""Dependency expressions: the stack-machine byte code a dispatcher evaluates before it runs a
module. A module may run when its expression, evaluated over the protocols (DXE) or PPIs (PEI)
installed so far, leaves TRUE."""

from guid import guid_bytes

BEFORE, AFTER, PUSH, AND, OR, NOT, TRUE, FALSE, END, SOR = range(0x0A)

_WORDS = {"AND": AND, "OR": OR, "NOT": NOT, "TRUE": TRUE, "FALSE": FALSE, "SOR": SOR}


def build_depex(terms):
    """Byte code from postfix terms: "PUSH <guid>", "AND", "OR", "NOT", "TRUE", "FALSE", "SOR".

    END is appended. The expression must leave exactly one value on the stack, since an
    expression a dispatcher cannot evaluate keeps the module from ever running."""
    code = bytearray()
    depth = 0
    for index, term in enumerate(terms):
        words = term.split()
        if not words:
            raise ValueError("empty dependency term")
        opcode = words[0].upper()
        if opcode == "PUSH":
            if len(words) != 2:
                raise ValueError("PUSH takes one GUID")
            code.append(PUSH)
            code += guid_bytes(words[1])
            depth += 1
        elif opcode in ("TRUE", "FALSE") and len(words) == 1:
            code.append(_WORDS[opcode])
            depth += 1
        elif opcode in ("AND", "OR") and len(words) == 1:
            if depth < 2:
                raise ValueError(f"{opcode} needs two operands")
            code.append(_WORDS[opcode])
            depth -= 1
        elif opcode == "NOT" and len(words) == 1:
            if depth < 1:
                raise ValueError("NOT needs an operand")
            code.append(NOT)
        elif opcode == "SOR" and len(words) == 1:
            if index != 0:
                raise ValueError("SOR may only open an expression")
            code.append(SOR)
        else:
            raise ValueError(f"unknown dependency term {term!r}")
    if depth != 1:
        raise ValueError(f"the expression leaves {depth} values, not one")
    code.append(END)
    return bytes(code)
