#!/usr/bin/python3
"""Makes the web site a host serves from what the web build wrote.

Usage: make_site.py BUILT_DIR DATA_DIR SITE_DIR

BUILT_DIR holds what the build made (index.html, vup.js, vup.wasm, the
tune's renderings, the icon and the link preview); DATA_DIR the show's
Data/ and data/. SITE_DIR is written anew:

- Every file but index.html and preview.jpg gets a name that carries its
  contents' hash (vup.js -> vup.0123456789.js.pack), so a host can let
  browsers keep it for good; index.html, never kept, names them in its
  element #site-files: {"vup.js": {"url": ..., "bytes": ...}, ...}. The link
  preview keeps its plain name: other sites fetch it by the address a shared
  link gave them.
- The program and the show's files are stored compressed (gzip), whatever
  the host does; the page inflates them with the browser's own
  DecompressionStream. A picture's pixels are first stored as differences
  from the byte a pixel or a row before (a "VUPF" prefix gives where they
  start and the distance), which halves what gzip leaves of a photograph.
  Already compressed files (the tune, the icon) are stored as they are.

The same input makes the same bytes. Prints each file's size as served.
"""
import gzip
import hashlib
import json
import os
import re
import shutil
import struct
import sys
import zlib

COMPRESSED = (".js", ".wasm", ".bmp", ".mid")
UNHASHED = ("index.html", "preview.jpg")
FILES_ELEMENT = '<script id="site-files" type="application/json">{}</script>'


def delta_filtered(data, start, distance):
    """data with each byte from start + distance on less the byte distance
    before it (mod 256): the page adds them back in order."""
    body = bytearray(data[start:])
    for at in range(len(body) - 1, distance - 1, -1):
        body[at] = (body[at] - body[at - distance]) & 0xFF
    return data[:start] + bytes(body)


def picture_distances(data):
    """(pixel start, [distances worth trying]) of a Windows bitmap of 8 bits
    a pixel or more, or None."""
    if len(data) < 30 or data[:2] != b"BM":
        return None
    start, header = struct.unpack_from("<II", data, 10)
    if header == 12:
        width, _, _, bits = struct.unpack_from("<HhHH", data, 18)
    else:
        width, _, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits < 8 or start >= len(data):
        return None
    row = (width * bits // 8 + 3) & ~3
    return start, [bits // 8, row]


def gzipped(data):
    return gzip.compress(data, compresslevel=9, mtime=0)


def packed(data):
    """The smallest stored form of a compressible file."""
    best = gzipped(data)
    found = picture_distances(data)
    for distance in found[1] if found else []:
        start = found[0]
        candidate = (b"VUPF" + struct.pack("<II", start, distance) +
                     gzipped(delta_filtered(data, start, distance)))
        if len(candidate) < len(best):
            best = candidate
    return best


def unpacked(stored):
    """What the page makes of a stored file (for the check below)."""
    if stored[:4] == b"VUPF":
        start, distance = struct.unpack_from("<II", stored, 4)
        body = bytearray(gzip.decompress(stored[12:]))
        for at in range(start + distance, len(body)):
            body[at] = (body[at] + body[at - distance]) & 0xFF
        return bytes(body)
    return gzip.decompress(stored) if stored[:2] == b"\x1f\x8b" else stored


def site_files(built, data):
    """{name on the site: path} of everything to publish."""
    files = {}
    for root, top in ((built, ""), (data, "Data"), (data, "data")):
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                path = os.path.join(folder, name)
                files[os.path.relpath(path, root).replace(os.sep, "/")] = path
    if "index.html" not in files:
        sys.exit(f"make_site.py: no index.html in {built}")
    return files


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    built, data, site = argv[1:]
    temporary = site + ".new"
    shutil.rmtree(temporary, ignore_errors=True)
    manifest = {}
    for name, path in sorted(site_files(built, data).items()):
        with open(path, "rb") as source:
            original = source.read()
        stored, served = original, name
        if name not in UNHASHED:
            if name.endswith(COMPRESSED):
                stored = packed(original)
                if unpacked(stored) != original:
                    sys.exit(f"make_site.py: {name} does not come back as it was")
            stem, dot, extension = name.rpartition(".")
            digest = hashlib.sha256(stored).hexdigest()[:10]
            served = f"{stem}.{digest}.{extension}" + (".pack" if stored is not original else "")
            manifest[name] = {"url": served, "bytes": len(stored)}
        if name != "index.html":
            os.makedirs(os.path.dirname(os.path.join(temporary, served)) or temporary,
                        exist_ok=True)
            with open(os.path.join(temporary, served), "wb") as out:
                out.write(stored)

    with open(os.path.join(built, "index.html"), encoding="utf-8") as source:
        page = source.read()
    if FILES_ELEMENT not in page:
        sys.exit(f"make_site.py: index.html has no {FILES_ELEMENT}")
    page = page.replace(FILES_ELEMENT, FILES_ELEMENT.replace(
        "{}", json.dumps(manifest, sort_keys=True, separators=(",", ":"))))
    # Files index.html names in its own markup.
    for name, entry in manifest.items():
        page = re.sub(r'(href|src)="' + re.escape(name) + '"', r'\1="' + entry["url"] + '"', page)
    with open(os.path.join(temporary, "index.html"), "w", encoding="utf-8") as out:
        out.write(page)

    shutil.rmtree(site, ignore_errors=True)
    os.rename(temporary, site)
    print(f"vup: web site in {site} (bytes as served; gzip -9 of each where the host "
          "compresses it):")
    total = 0
    for name in ["index.html"] + sorted(manifest):
        path = os.path.join(site, manifest[name]["url"] if name in manifest else name)
        size = os.path.getsize(path)
        total += size
        note = ""
        if name == "index.html":
            with open(path, "rb") as page_file:
                note = f" ({len(zlib.compress(page_file.read(), 9))} gzipped)"
        print(f"  {name:<20} {size:9d}{note}")
    print(f"  {'total':<20} {total:9d}")


if __name__ == "__main__":
    main(sys.argv)
