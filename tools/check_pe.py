#!/usr/bin/env python3
"""Checks that a built program is a self-contained 32-bit Windows GUI program.

Reads the PE header and the import table: the machine must be i386, the
subsystem the Windows GUI, and every imported DLL one that every Windows has,
so that the program runs without any DLL beside it. Prints the figures.
"""
import os
import struct
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "advapi32.dll",
    "msvcrt.dll", "comctl32.dll", "ole32.dll", "ws2_32.dll",
}
MACHINE_I386 = 0x14C
SUBSYSTEM_WINDOWS_GUI = 2


def rva_to_offset(sections, rva):
    for virtual_address, virtual_size, raw_pointer, raw_size in sections:
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return rva - virtual_address + raw_pointer
    raise ValueError("address 0x%x lies in no section" % rva)


def read_c_string(data, offset):
    return data[offset:data.index(b"\0", offset)].decode("ascii")


def inspect(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    machine, section_count = struct.unpack_from("<HH", data, pe + 4)
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    sections = []
    for i in range(section_count):
        entry = optional + optional_size + 40 * i
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from(
            "<IIII", data, entry + 8)
        sections.append((virtual_address, virtual_size, raw_pointer, raw_size))
    dlls = []
    offset = rva_to_offset(sections, import_rva)
    while True:
        name_rva = struct.unpack_from("<I", data, offset + 12)[0]
        if name_rva == 0:
            break
        dlls.append(read_c_string(data, rva_to_offset(sections, name_rva)))
        offset += 20
    return {"machine": machine, "magic": magic, "subsystem": subsystem, "dlls": dlls,
            "size": len(data)}


def main():
    path = sys.argv[1]
    found = inspect(path)
    print("%s: %d bytes, machine 0x%x, subsystem %d, imports %s" % (
        os.path.basename(path), found["size"], found["machine"], found["subsystem"],
        ", ".join(found["dlls"])))
    problems = []
    if found["machine"] != MACHINE_I386 or found["magic"] != 0x10B:
        problems.append("not a 32-bit i386 program")
    if found["subsystem"] != SUBSYSTEM_WINDOWS_GUI:
        problems.append("not a Windows GUI program")
    extra = [dll for dll in found["dlls"] if dll.lower() not in SYSTEM_DLLS]
    if extra:
        problems.append("needs DLLs that Windows does not bring: " + ", ".join(extra))
    for problem in problems:
        print("FAIL: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
