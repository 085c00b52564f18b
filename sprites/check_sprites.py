#!/usr/bin/env python3
"""Check sprite files against the rules the game's loader applies.

    check_sprites.py               check every *-spr.txt beside this script,
                                   and that none of the game's sprites is missing
    check_sprites.py FILE ...      check just these files
    check_sprites.py --self-test   make sure the checker itself spots bad files

Prints one line per file and every problem found as FILE:LINE: message.
Exit status: 0 when everything is clean, 1 otherwise.

The loader only warns about a few things (unused or repeated header keys,
text after the footer, a number followed by a word); they are errors here
because in our own files they are always a slip.
"""

import os
import re
import sys

COLORS = ["black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"]

# Files the game loads at start-up, and the largest size each may have.
# View is 80 x 24; the road obstacles travel on rows 7..20, so they stay short.
GAME_SPRITES = {
    "racer-spr.txt": (8, 3),
    "spiketrap-spr.txt": (6, 3),
    "spiketrap-hit-spr.txt": (6, 3),
    "cones-spr.txt": (6, 3),
    "cones-hit-spr.txt": (6, 3),
    "gas-spr.txt": (6, 3),
    "oil-spr.txt": (6, 3),
    "oil-hit-spr.txt": (6, 3),
    "warning-spr.txt": (6, 3),
    "missile-spr.txt": (6, 3),
    "start-spr.txt": (70, 16),
    "gameOver-spr.txt": (70, 16),
}
VIEW = (80, 24)


class Bad(Exception):
    """A fault after which the rest of the file cannot be read sensibly."""

    def __init__(self, line, message):
        super().__init__(message)
        self.line = line
        self.message = message


def atoi(text):
    """C atoi: optional blanks and sign, then leading digits; 0 if none."""
    m = re.match(r"[ \t\n\v\f\r]*([+-]?\d+)", text)
    return int(m.group(1)) if m else 0


def plain_int(text):
    return re.fullmatch(r"-?\d+", text) is not None


class Lines:
    """Line source that behaves like the loader's line reader.

    Every line must end in a newline; one trailing CR is dropped. next()
    gives (number, text), with text None at the end of the file.
    """

    def __init__(self, data):
        parts = data.split("\n")
        self.tail = parts.pop()  # text after the last newline
        self.lines = [p[:-1] if p.endswith("\r") else p for p in parts]
        self.pos = 0

    def next(self):
        self.pos += 1
        if self.pos > len(self.lines):
            if self.tail:
                raise Bad(self.pos, "last line has no newline, the loader drops it: '%s'" % self.tail)
            return self.pos, None
        return self.pos, self.lines[self.pos - 1]

    def rest(self):
        """Lines not read yet, with their numbers."""
        out = [(i + 1, t) for i, t in enumerate(self.lines) if i >= self.pos]
        if self.tail:
            out.append((len(self.lines) + 1, self.tail))
        return out


class Sprite:
    def __init__(self, kind):
        self.kind = kind
        self.frames = self.width = self.height = self.slowdown = 0
        self.color = "white"
        self.transparency = None


def check_rows(rows, sprite, errors):
    """rows: list of (line, text) of one frame."""
    for line, text in rows:
        if len(text) != sprite.width:
            errors.append((line, "row is %d wide, expected %d: '%s'" % (len(text), sprite.width, text)))


def check_simple(src, errors):
    sp = Sprite("simple")
    fields = [("frames", 1), ("width", 1), ("height", 1), ("slowdown", 0)]
    for name, least in fields:
        line, text = src.next()
        if not text:
            raise Bad(line, "missing %s (blank line or end of file)" % name)
        if not plain_int(text):
            errors.append((line, "%s should be a plain integer, have '%s'" % (name, text)))
        value = atoi(text)
        if value < least:
            raise Bad(line, "%s is %d, must be at least %d" % (name, value, least))
        setattr(sp, name, value)
    line, text = src.next()
    if not text:
        raise Bad(line, "missing color (blank line or end of file)")
    if text not in COLORS:
        raise Bad(line, "unknown color '%s' (use one of %s)" % (text, ", ".join(COLORS)))
    sp.color = text
    for f in range(1, sp.frames + 1):
        rows = []
        for r in range(1, sp.height + 1):
            line, text = src.next()
            if not text:
                raise Bad(line, "frame %d of %d, row %d of %d: data ran out" % (f, sp.frames, r, sp.height))
            rows.append((line, text))
        check_rows(rows, sp, errors)
    for line, text in src.rest():
        raise Bad(line, "extra data after the last frame: '%s'%s"
                  % (text, " (a blank line at the end is not allowed)" if text == "" else ""))
    return sp


def read_section(src, tag):
    line, text = src.next()
    if text != "<%s>" % tag:
        raise Bad(line, "expected '<%s>', have '%s'" % (tag, text if text is not None else "end of file"))
    out = []
    while True:
        line, text = src.next()
        if text == "</%s>" % tag:
            return out
        if not text:
            raise Bad(line, "'</%s>' never found (blank line or end of file inside the section)" % tag)
        out.append((line, text))


def take(section, key, errors):
    """Remove the lines starting with key; give (line, value) of the last one."""
    found = None
    for item in [i for i in section if i[1].startswith(key)]:
        section.remove(item)
        if found is not None:
            errors.append((item[0], "'%s' given more than once" % key))
        found = (item[0], item[1][len(key) + 1:])
    return found


def header_int(section, key, least, errors, required):
    found = take(section, key, errors)
    if found is None:
        if required:
            raise Bad(0, "missing '%s' in header" % key)
        return None
    line, text = found
    if not plain_int(text):
        errors.append((line, "%s should be a plain integer, have '%s'" % (key, text)))
    if atoi(text) < least:
        raise Bad(line, "%s is %d, must be at least %d" % (key, atoi(text), least))
    return atoi(text)


def check_robust(src, errors):
    sp = Sprite("robust")
    header = read_section(src, "HEADER")
    sp.frames = header_int(header, "frames", 1, errors, True)
    sp.width = header_int(header, "width", 1, errors, True)
    sp.height = header_int(header, "height", 1, errors, True)
    found = take(header, "color", errors)
    if found is not None:
        line, text = found
        if text not in COLORS + ["default"]:
            raise Bad(line, "unknown color '%s' (use one of %s or default)" % (text, ", ".join(COLORS)))
        sp.color = text
    found = take(header, "transparency", errors)
    if found is not None and found[1]:
        sp.transparency = found[1][0]
    slowdown = header_int(header, "slowdown", 0, errors, False)
    sp.slowdown = 0 if slowdown is None else slowdown
    for line, text in header:
        errors.append((line, "unused header line '%s'" % text))

    body = read_section(src, "BODY")
    for f in range(1, sp.frames + 1):
        if len(body) < sp.height + 1:
            last = body[-1][0] if body else src.pos
            raise Bad(last, "frame %d of %d: rows run out before 'end'" % (f, sp.frames))
        rows, body = body[:sp.height], body[sp.height:]
        check_rows(rows, sp, errors)
        line, text = body.pop(0)
        if text != "end":
            raise Bad(line, "frame %d of %d: expected 'end', have '%s'" % (f, sp.frames, text))
    if body:
        raise Bad(body[0][0], "extra BODY lines after the last frame: '%s'" % body[0][1])

    footer = read_section(src, "FOOTER")
    found = take(footer, "version", errors)
    if found is None or not found[1]:
        raise Bad(src.pos, "missing 'version' in footer")
    for line, text in footer:
        errors.append((line, "unused footer line '%s'" % text))
    for line, text in src.rest():
        errors.append((line, "text after '</FOOTER>' is ignored by the loader: '%s'" % text))
    return sp


def check_text(data):
    """Check one file's bytes. Returns (sprite or None, [(line, message)])."""
    errors = []
    for n, raw in enumerate(data.split(b"\n"), 1):
        for col, byte in enumerate(raw, 1):
            if byte > 127:
                errors.append((n, "non-ASCII byte 0x%02x in column %d" % (byte, col)))
            elif byte == 9:
                errors.append((n, "tab in column %d" % col))
    text = data.decode("ascii", errors="replace")
    src = Lines(text)
    try:
        first = src.lines[0] if src.lines else src.tail
        if first == "<HEADER>":
            sp = check_robust(src, errors)
        elif atoi(first) >= 1:
            sp = check_simple(src, errors)
        else:
            raise Bad(1, "unknown sprite file format, first line is '%s'" % first)
    except Bad as bad:
        errors.append((bad.line, bad.message))
        return None, errors
    return sp, errors


def check_size(name, sp, errors):
    most_w, most_h = GAME_SPRITES.get(name, VIEW)
    if sp.width > most_w or sp.height > most_h:
        errors.append((0, "%dx%d is larger than the %dx%d allowed for this sprite"
                       % (sp.width, sp.height, most_w, most_h)))


def check_file(path):
    """Check one file and print the outcome. True when clean."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        print("%s: cannot read: %s" % (path, e.strerror))
        return False
    sp, errors = check_text(data)
    if sp is not None:
        check_size(os.path.basename(path), sp, errors)
    for line, message in sorted(errors, key=lambda e: e[0]):
        print("%s:%s: %s" % (path, line, message) if line else "%s: %s" % (path, message))
    if not errors:
        print("%s: ok (%s, %dx%d, %d frame%s, slowdown %d, %s%s)" % (
            path, sp.kind, sp.width, sp.height, sp.frames, "" if sp.frames == 1 else "s",
            sp.slowdown, sp.color,
            "" if sp.transparency is None else ", transparent '%s'" % sp.transparency))
    return not errors


def self_test():
    """Feed the checker good and broken files; each broken one must be caught."""
    simple = "2\n3\n1\n4\nred\n=o=\n-o-\n"
    robust = ("<HEADER>\nframes 2\nwidth 3\nheight 1\ncolor red\n</HEADER>\n"
              "<BODY>\n=o=\nend\n-o-\nend\n</BODY>\n<FOOTER>\nversion 1\n</FOOTER>\n")
    good = [
        ("simple", simple, ("simple", 2, 3, 1, 4, "red")),
        ("simple, CR LF line ends", simple.replace("\n", "\r\n"), ("simple", 2, 3, 1, 4, "red")),
        ("robust", robust, ("robust", 2, 3, 1, 0, "red")),
        ("robust, keys in any order, default color",
         robust.replace("frames 2\nwidth 3\nheight 1\ncolor red", "height 1\nslowdown 3\nwidth 3\nframes 2"),
         ("robust", 2, 3, 1, 3, "white")),
    ]
    bad = [
        ("simple, no final newline", simple[:-1], "no newline"),
        ("simple, blank line at the end", simple + "\n", "blank line at the end"),
        ("simple, row one short", simple.replace("-o-", "-o"), "row is 2 wide"),
        ("simple, row one long", simple.replace("=o=", "=o=="), "row is 4 wide"),
        ("simple, missing frame", simple.replace("-o-\n", ""), "data ran out"),
        ("simple, zero frames is no format", "0" + simple[1:], "unknown sprite file format"),
        ("simple, frames with a word", "2 frames" + simple[1:], "plain integer"),
        ("simple, negative slowdown", simple.replace("\n4\n", "\n-1\n"), "slowdown is -1"),
        ("simple, default color", simple.replace("red", "default"), "unknown color"),
        ("simple, capital color", simple.replace("red", "Red"), "unknown color"),
        ("simple, tab", simple.replace("=o=", "=\t="), "tab in column 2"),
        ("simple, non-ASCII", simple.replace("=o=", "=\u00f6"), "non-ASCII"),
        ("robust, header tag with a space", robust.replace("<HEADER>", "<HEADER> "), "unknown sprite file format"),
        ("robust, missing width", robust.replace("width 3\n", ""), "missing 'width'"),
        ("robust, colour spelt with u", robust.replace("color", "colour"), "unused header line"),
        ("robust, frames twice", robust.replace("frames 2\n", "frames 2\nframes 2\n"), "more than once"),
        ("robust, missing end", robust.replace("=o=\nend\n", "=o=\n"), "expected 'end'"),
        ("robust, row too wide", robust.replace("-o-", "-o--"), "row is 4 wide"),
        ("robust, extra frame", robust.replace("</BODY>", "=o=\nend\n</BODY>"), "extra BODY"),
        ("robust, blank line in body", robust.replace("end\n-o-", "end\n\n-o-"), "never found"),
        ("robust, no footer version", robust.replace("version 1\n", "vers 1\n"), "missing 'version'"),
        ("robust, no final newline", robust[:-1], "no newline"),
        ("robust, text after footer", robust + "\n", "ignored by the loader"),
        ("robust, bad color", robust.replace("color red", "color pink"), "unknown color 'pink'"),
    ]
    failed = 0
    for name, text, want in good:
        sp, errors = check_text(text.encode("utf-8"))
        have = sp and (sp.kind, sp.frames, sp.width, sp.height, sp.slowdown, sp.color)
        if errors or have != want:
            failed += 1
            print("FAIL %s: expected clean %s, have %s %s" % (name, want, have, errors))
    for name, text, want in bad:
        _, errors = check_text(text.encode("utf-8"))
        if not any(want in message for _, message in errors):
            failed += 1
            print("FAIL %s: expected an error with '%s', have %s" % (name, want, errors))
    print("self-test: %d of %d cases passed" % (len(good) + len(bad) - failed, len(good) + len(bad)))
    return failed == 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return 0 if self_test() else 1
    here = os.path.dirname(os.path.abspath(__file__))
    paths = argv[1:]
    clean = True
    if not paths:
        names = set(n for n in os.listdir(here) if n.endswith("-spr.txt")) | set(GAME_SPRITES)
        paths = [os.path.join(here, n) for n in sorted(names)]
    for path in paths:
        clean = check_file(path) and clean
    print("all sprite files are clean" if clean else "sprite check FAILED")
    return 0 if clean else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
