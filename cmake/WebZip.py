"""Zips the web page the same way every time: entries in the order given, each dated 2024-01-01
and readable by all. Emscripten's file packager writes a random id for the data file into the
script (a cache key the page does not use); it becomes one made from the data file's content.
Usage: WebZip.py ARCHIVE NAME=FILE...   (NAME: the entry's path inside the zip)"""
import hashlib
import re
import sys
import uuid
import zipfile

archive, *entries = sys.argv[1:]
contents = {}
for entry in entries:
    name, path = entry.split("=", 1)
    with open(path, "rb") as source:
        contents[name] = source.read()

data = b"".join(content for name, content in contents.items() if name.endswith(".data"))
packageId = str(uuid.UUID(bytes=hashlib.sha256(data).digest()[:16], version=4)).encode()
for name in contents:
    if name.endswith(".js"):
        contents[name] = re.sub(rb'"package_uuid":"[0-9a-f-]+"', b'"package_uuid":"' + packageId + b'"', contents[name])

with zipfile.ZipFile(archive, "w") as output:
    for name, content in contents.items():
        entry = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
        entry.external_attr = 0o100644 << 16
        output.writestr(entry, content, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
