#!/usr/bin/env python3
"""Checks the compiled help file as its reader meets it.

check_help.py <help.chm> <extract_chmLib>

Unpacks the file with libchm's extractor, then checks that the file names its
default page, that the table of contents names every page with its title,
that every page is inside and carries real text about its subject, and that
no link, contents entry or index entry points at a file the help lacks.
"""
import html.parser
import os
import shutil
import struct
import subprocess
import sys
import tempfile

# page, its name in the table of contents, texts the page must hold
PAGES = [
    ("index.htm", "Welcome to Melodara", ["Getting started", "Add Songs"]),
    ("mainwnd.htm", "The main window", ["Loop Mode", "Ordinal Mode", "tray", "LastPlayList.mpl"]),
    ("playlist.htm", "The play list", ["#EXTM3U", ".mpl", ".m3u", "LastPlayList.mpl", "Loop This Song"]),
    ("score.htm", "The score window", ["numbered notation", "Play from climax"]),
    ("lyrics.htm", "The lyrics window", ["Page Up", "Double-click a word"]),
    ("prefs.htm", "Preferences", ["Kara OK Title Effect", "Load Latest Play List When Launch"]),
    ("songmaker.htm", "The song maker", ["Open Source Files...", "Make", "Load The Song"]),
    ("markup.htm", "Lyric markup", ["[Climax Start]", "<b 12:3>", "(oh yeah)", "^"]),
    ("pack.htm", "Packing a song into an MP3", ["pack.exe", "OffSetTime", "[SETTING]"]),
    ("keys.htm", "Keys and menus", ["Ctrl+P", "Ctrl+S", "Ctrl+F", "Ctrl+B", "F1"]),
]
DEFAULT_PAGE = "index.htm"
TITLE = "Melodara Help"
MIN_WORDS = 120  # a page below this says next to nothing
# Tags that break the running text; inline ones (kbd, code, b, a) do not, so
# "<kbd>Ctrl</kbd>+<kbd>P</kbd>" reads "Ctrl+P".
BLOCKS = {"p", "br", "li", "ul", "ol", "tr", "td", "th", "table", "h1", "h2", "h3", "pre", "div", "title"}

failures = []


def fail(text):
    failures.append(text)


def read_system(path):
    """The #SYSTEM records: code -> text (NUL-ended strings)."""
    with open(path, "rb") as f:
        data = f.read()
    records = {}
    at = 4  # the version
    while at + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, at)
        at += 4
        value = data[at:at + length]
        at += length
        records[code] = value.split(b"\0", 1)[0].decode("cp1252", "replace")
    return records


class Page(html.parser.HTMLParser):
    """A page's title, first heading, visible text and links."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title = ""
        self.heading = ""
        self.text = []
        self.links = []
        self._in = []

    def handle_starttag(self, tag, attrs):
        if tag in BLOCKS:
            self.text.append(" ")
        self._in.append(tag)
        for name, value in attrs:
            if name in ("href", "src") and value:
                self.links.append(value)

    def handle_endtag(self, tag):
        if tag in BLOCKS:
            self.text.append(" ")
        while self._in:
            if self._in.pop() == tag:
                break

    def handle_data(self, data):
        where = self._in[-1] if self._in else ""
        if where == "title":
            self.title += data
        elif where in ("style", "script"):
            return
        else:
            if where == "h1" and not self.heading:
                self.heading = data.strip()
            self.text.append(data)

    def visible_text(self):
        return " ".join("".join(self.text).split())


class SiteMap(html.parser.HTMLParser):
    """The entries of a contents (.hhc) or index (.hhk) file: (Name, Local)."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.entries = []
        self._params = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "object" and attrs.get("type", "").lower() == "text/sitemap":
            self._params = {}
        elif tag == "param" and self._params is not None:
            self._params[attrs.get("name", "").lower()] = attrs.get("value", "")

    def handle_endtag(self, tag):
        if tag == "object" and self._params is not None:
            self.entries.append((self._params.get("name", ""), self._params.get("local")))
            self._params = None


def parse(parser, path):
    with open(path, encoding="cp1252") as f:
        parser.feed(f.read())
    parser.close()
    return parser


def local_file(root, reference):
    """The unpacked file a relative link names, or None for outside links."""
    target = reference.split("#", 1)[0]
    if not target or ":" in target or target.startswith("/"):
        return None
    return os.path.join(root, target.replace("\\", "/"))


def check(root):
    system_path = os.path.join(root, "#SYSTEM")
    if not os.path.isfile(system_path):
        fail("no #SYSTEM record: not a compiled help file")
        return
    system = read_system(system_path)
    if system.get(2) != DEFAULT_PAGE:
        fail(f"default page is {system.get(2)!r}, not {DEFAULT_PAGE!r}")
    if system.get(3) != TITLE:
        fail(f"title is {system.get(3)!r}, not {TITLE!r}")

    contents = system.get(0, "")
    if not contents or not os.path.isfile(os.path.join(root, contents)):
        fail(f"the table of contents {contents!r} is not inside")
        return
    toc = parse(SiteMap(), os.path.join(root, contents)).entries
    named = {local: name for name, local in toc if local}
    for name, local in toc:
        if local and not os.path.isfile(local_file(root, local) or ""):
            fail(f"contents entry {name!r} points at {local!r}, which is not inside")

    for page, toc_name, needed in PAGES:
        if named.get(page) != toc_name:
            fail(f"the contents name {page} as {named.get(page)!r}, not {toc_name!r}")
        path = os.path.join(root, page)
        if not os.path.isfile(path):
            fail(f"{page} is not inside")
            continue
        parsed = parse(Page(), path)
        text = parsed.visible_text()
        if not parsed.title.strip() or parsed.heading != parsed.title.strip():
            fail(f"{page}: title {parsed.title.strip()!r} and heading {parsed.heading!r} differ or are empty")
        words = len(text.split())
        if words < MIN_WORDS:
            fail(f"{page}: {words} words, fewer than {MIN_WORDS}")
        for phrase in needed:
            if phrase not in text:
                fail(f"{page}: does not mention {phrase!r}")

    for dirpath, _, files in os.walk(root):
        for name in files:
            if not name.endswith(".htm"):
                continue
            path = os.path.join(dirpath, name)
            for link in parse(Page(), path).links:
                target = local_file(dirpath, link)
                if target and not os.path.isfile(target):
                    fail(f"{os.path.relpath(path, root)}: link {link!r} leads nowhere")

    index = system.get(1, "")
    if not index or not os.path.isfile(os.path.join(root, index)):
        fail(f"the index {index!r} is not inside")
        return
    keywords = parse(SiteMap(), os.path.join(root, index)).entries
    if not keywords:
        fail("the index is empty")
    for name, local in keywords:
        if not local or not os.path.isfile(local_file(root, local) or ""):
            fail(f"index entry {name!r} points at {local!r}, which is not inside")
    indexed = {local for _, local in keywords}
    for page, _, _ in PAGES:
        if page not in indexed:
            fail(f"no index entry leads to {page}")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: check_help.py <help.chm> <extract_chmLib>")
    chm, extractor = sys.argv[1], sys.argv[2]
    if not os.path.isfile(chm):
        sys.exit(f"{chm} was not built")
    if not extractor or not shutil.which(extractor):
        sys.exit("extract_chmLib is missing: install Debian's libchm-bin (tools/setup does)")
    with tempfile.TemporaryDirectory() as root:
        run = subprocess.run([extractor, chm, root], capture_output=True, text=True, timeout=30)
        if run.returncode != 0:
            sys.exit(f"extract_chmLib failed ({run.returncode}): {run.stderr.strip()}")
        check(root)
    for text in failures:
        print("FAIL:", text)
    if failures:
        sys.exit(1)
    print(f"{chm}: {len(PAGES)} pages in the contents and inside, links and index entries resolve")


if __name__ == "__main__":
    main()
