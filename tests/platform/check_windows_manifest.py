#!/usr/bin/env python3
"""Checks the application manifest of a Windows program: resource RT_MANIFEST number 1 of the PE
file, an assembly whose application/windowsSettings (asm.v3) set activeCodePage to UTF-8 and
longPathAware to true, each element in its own namespace (Windows, and Wine, pass over one
without it). Prints what it found wrong and exits 1, or exits 0. With --self-test it checks
that a manifest lacking each of those is caught.

  python3 tests/platform/check_windows_manifest.py build/windows/src/Korvo.exe
  python3 tests/platform/check_windows_manifest.py --self-test src/platform/korvo.manifest
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_MANIFEST = 24
MANIFEST_NUMBER = 1
ASSEMBLY = "{urn:schemas-microsoft-com:asm.v1}assembly"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
SETTINGS = {
    "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}activeCodePage": "UTF-8",
    "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}longPathAware": "true",
}


class NotFound(Exception):
    pass


def sections(image):
    """(virtual address, virtual size, file offset) of each section, and the resource
    directory's address (the third data directory of the optional header)."""
    header = struct.unpack_from("<I", image, 0x3C)[0]
    if image[header:header + 4] != b"PE\0\0":
        raise NotFound("is no PE file")
    count, optional_size = struct.unpack_from("<H12xH", image, header + 6)
    optional = header + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resource_address = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    found = []
    for index in range(count):
        size, address, raw_size, offset = struct.unpack_from("<8xIIII", image, table + 40 * index)
        found.append((address, max(size, raw_size), offset))
    return found, resource_address


def file_offset(address, section_list):
    for start, size, offset in section_list:
        if start <= address < start + size:
            return offset + address - start
    raise NotFound(f"has no section at address {address:#x}")


def entry(image, directory, wanted=None):
    """The offset (from the resource root) that a directory's entry `wanted` (its first entry
    when None) points to, and whether that is another directory."""
    named, numbered = struct.unpack_from("<12xHH", image, directory)
    for index in range(named + numbered):
        name, target = struct.unpack_from("<II", image, directory + 16 + 8 * index)
        if wanted is None or (not name & 0x80000000 and name == wanted):
            return target & 0x7FFFFFFF, bool(target & 0x80000000)
    raise NotFound(f"has no RT_MANIFEST resource {MANIFEST_NUMBER}")


def manifest_of(image):
    section_list, resource_address = sections(image)
    if resource_address == 0:
        raise NotFound(f"has no RT_MANIFEST resource {MANIFEST_NUMBER}")
    root = file_offset(resource_address, section_list)
    by_number, _ = entry(image, root, RT_MANIFEST)
    languages, _ = entry(image, root + by_number, MANIFEST_NUMBER)
    data, is_directory = entry(image, root + languages)
    if is_directory:
        raise NotFound("has a manifest resource nested too deep")
    address, size = struct.unpack_from("<II", image, root + data)
    start = file_offset(address, section_list)
    return image[start:start + size]


def problems_of(manifest):
    assembly = ElementTree.fromstring(manifest)
    if assembly.tag != ASSEMBLY:
        return [f"the manifest's root is {assembly.tag}, not {ASSEMBLY}"]
    settings = assembly.find(f"{ASM_V3}application/{ASM_V3}windowsSettings")
    if settings is None:
        return ["the manifest has no application/windowsSettings in the asm.v3 namespace"]
    problems = []
    for tag, value in SETTINGS.items():
        found = settings.find(tag)
        if found is None or (found.text or "").strip() != value:
            problems.append(f"windowsSettings does not set {tag} to {value}")
    return problems


# Faults planted in a sound manifest: (what is replaced, by what).
PLANTED_FAULTS = [
    (b' xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings"', b""),
    (b"2016/WindowsSettings", b"2005/WindowsSettings"),
    (b">UTF-8<", b">Legacy<"),
    (b">true<", b">false<"),
    (b"urn:schemas-microsoft-com:asm.v3", b"urn:schemas-microsoft-com:asm.v1"),
]


def self_test(manifest_file):
    """The sound manifest passes, and each planted fault is caught."""
    with open(manifest_file, "rb") as source:
        sound = source.read()
    failures = [] if not problems_of(sound) else ["the sound manifest is refused"]
    for old, new in PLANTED_FAULTS:
        if old not in sound:
            failures.append(f"{old!r} is not in the manifest")
        elif not problems_of(sound.replace(old, new)):
            failures.append(f"{old!r} replaced by {new!r} is not caught")
    for failure in failures:
        print(failure)
    print(f"{len(PLANTED_FAULTS)} planted faults, {len(failures)} not caught")
    return 1 if failures else 0


def main():
    if sys.argv[1] == "--self-test":
        return self_test(sys.argv[2])
    with open(sys.argv[1], "rb") as source:
        image = source.read()
    try:
        problems = problems_of(manifest_of(image))
    except NotFound as missing:
        problems = [f"{sys.argv[1]} {missing}"]
    for problem in problems:
        print(problem)
    if not problems:
        print(f"{sys.argv[1]}: the manifest sets the UTF-8 code page and long paths")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
