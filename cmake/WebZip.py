"""Makes a release of the web page and zips it the same way every time.

The game's three files and the page's modules are renamed after their content (zorvex.<hash>.js,
.wasm, .data; page.<hash>.js and the modules it imports), and the names inside the script, the
modules and index.html follow, so that a browser never pairs one release's files with another's.
index.html and service-worker.js keep their names: the service worker is given the release's name
and its list of files, and index.html a line naming the release.

Entries come in the order given, readable by all, dated with SOURCE_DATE_EPOCH if set, else
the last commit of the source tree, else the newest of the entries' own files. Emscripten's file
packager writes a random id for the data file into the script (a cache key the page does not
use); it becomes one made from the data file's content.
Usage: WebZip.py ARCHIVE NAME=FILE...   (NAME: the entry's path inside the zip; every .js entry
beside index.html other than zorvex.js and service-worker.js is one of the page's modules, which
name each other as './NAME.js')"""
import hashlib
import os
import pathlib
import re
import subprocess
import sys
import time
import uuid
import zipfile

# What the service worker does not keep: itself (the browser does), the licence texts and the README.
NOT_KEPT = ("service-worker.js", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "README.md")


def digest(content, length=12):
    return hashlib.sha256(content).hexdigest()[:length]


def release_date(paths):
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    source = pathlib.Path(__file__).resolve().parent.parent
    try:
        commit = subprocess.run(["git", "-C", str(source), "log", "-1", "--format=%ct"],
                                capture_output=True, text=True, check=True).stdout.strip()
        if commit:
            return int(commit)
    except (OSError, subprocess.CalledProcessError):
        pass
    return int(max(os.stat(path).st_mtime for path in paths))


def replace_once_or_more(content, old, new, where):
    if old not in content:
        sys.exit(f"WebZip.py: {where} does not name {old.decode()}")
    return content.replace(old, new)


# How a module names another: import ... from './keys.js';
MODULE_IMPORT = re.compile(rb"""from '\./([\w-]+\.js)';""")


def rename_after_content(contents, name, kind):
    """The entry `name` under its content's name, NAME.<hash>.KIND, with the new name."""
    path = pathlib.PurePosixPath(name)
    hashed = f"{path.name[:-len(kind) - 1]}.{digest(contents[name])}.{kind}"
    newName = str(path.with_name(hashed))
    return {(newName if key == name else key): value for key, value in contents.items()}, hashed


def rename_modules(contents, byName):
    """Renames the page's modules after their content, each after those it imports, and points
    index.html at the entry: returns the new contents."""
    modules = {base: name for base, name in byName.items()
               if base.endswith(".js") and base not in ("zorvex.js", "service-worker.js")}
    renamed = {}
    while len(renamed) < len(modules):
        ready = [base for base, name in modules.items() if base not in renamed and all(
            imported.decode() in renamed for imported in MODULE_IMPORT.findall(contents[name]))]
        if not ready:
            sys.exit(f"WebZip.py: the modules {sorted(set(modules) - set(renamed))} import one another, or a module that is missing")
        for base in ready:
            name = modules[base]
            for imported in set(MODULE_IMPORT.findall(contents[name])):
                contents[name] = contents[name].replace(b"'./" + imported + b"'", f"'./{renamed[imported.decode()]}'".encode())
            contents, renamed[base] = rename_after_content(contents, name, "js")
    page = byName["index.html"]
    entry = b'<script type="module" src="page.js">'
    if entry not in contents[page]:
        sys.exit(f"WebZip.py: {page} does not load page.js")
    contents[page] = contents[page].replace(entry, entry.replace(b"page.js", renamed["page.js"].encode()))
    return contents


def make_release(contents, sources):
    """Renames the game's files after their content and points the page and its worker at them."""
    byName = {pathlib.PurePosixPath(name).name: name for name in contents}
    for needed in ("index.html", "zorvex.js", "zorvex.wasm", "zorvex.data", "service-worker.js", "page.js"):
        if needed not in byName:
            sys.exit(f"WebZip.py: no {needed} among the entries")
    script = byName["zorvex.js"]

    data = contents[byName["zorvex.data"]]
    packageId = str(uuid.UUID(bytes=hashlib.sha256(data).digest()[:16], version=4)).encode()
    contents[script] = re.sub(rb'"package_uuid":"[0-9a-f-]+"', b'"package_uuid":"' + packageId + b'"', contents[script])

    # The data and wasm first: the script names them, and so its hash covers theirs.
    for kind, referrer in (("data", script), ("wasm", script), ("js", byName["index.html"])):
        name = byName["zorvex." + kind]
        built = os.path.basename(sources[name]).encode()
        contents, hashed = rename_after_content(contents, name, kind)
        contents[referrer] = replace_once_or_more(contents[referrer], built, hashed.encode(), referrer)
    contents = rename_modules(contents, byName)

    folder = pathlib.PurePosixPath(byName["index.html"]).parent
    kept = [name for name in contents if pathlib.PurePosixPath(name).name not in NOT_KEPT]
    release = "zorvex-" + digest(b"".join(name.encode() + contents[name] for name in kept))
    files = ", ".join(f"'{pathlib.PurePosixPath(name).relative_to(folder)}'" for name in kept)
    worker = byName["service-worker.js"]
    contents[worker] = replace_once_or_more(contents[worker], b"const release = 'zorvex-unreleased';",
                                            f"const release = '{release}';".encode(), worker)
    contents[worker] = replace_once_or_more(contents[worker], b"const files = [];",
                                            f"const files = [{files}];".encode(), worker)
    page = byName["index.html"]
    head = (f'<meta name="zorvex-release" content="{release}">\n'
            '<link rel="icon" type="image/png" sizes="64x64" href="zorvex-64.png">\n'
            '<link rel="apple-touch-icon" href="zorvex-192.png">\n'
            '<link rel="manifest" href="zorvex.webmanifest">')
    contents[page] = replace_once_or_more(
        contents[page], b'<!-- A release puts its name, icons and manifest here (cmake/WebZip.py). -->\n<link rel="icon" href="data:,">',
        head.encode(), page)
    return contents


def main():
    archive, *entries = sys.argv[1:]
    contents = {}
    sources = {}
    for entry in entries:
        name, path = entry.split("=", 1)
        with open(path, "rb") as source:
            contents[name] = source.read()
        sources[name] = path
    contents = make_release(contents, sources)

    dateTime = time.gmtime(release_date(sources.values()))[:6]
    with zipfile.ZipFile(archive, "w") as output:
        for name, content in contents.items():
            entry = zipfile.ZipInfo(name, date_time=dateTime)
            entry.external_attr = 0o100644 << 16
            output.writestr(entry, content, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


main()
