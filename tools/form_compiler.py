#!/usr/bin/env python3
"""Compiles a TOML form description into the binary window template.

    form_compiler.py FORM.toml [--cpp OUT.cpp --prefix P --routines-header H]
                               [--binary OUT.bin] [--depfile OUT.d]

--cpp writes a C++ source that defines P_template, P_template_size and
P_code_base, the routine table that the template's event bindings are
offsets into: routine i (in order of first appearance in the form) is the
8-byte slot at offset 8*i. --binary writes only the template bytes.

Form format
-----------
    [[window]]
    id = 0x52010002
    attributes = 0x1901000F           # optional, this is the default

    [[window.element]]                # element 0: the window's own element
    id = 0x06010003
    unit = "window"
    rect = [50, 50, 478, 194]         # left, top, width, height
    events = { 0 = "on_main_window_created" }
    properties = { title = "Demo", border = 2 }

    [[window.element]]                # list order is the z-order
    id = 0x16010011
    unit = "Button"
    name = "按钮1"
    rect = [317, 111, 100, 25]
    flags = ["visible", "tab"]
    events = { 0 = "on_clicked", 1 = "none" }
    properties = { caption = "OK" }

Element keys: id, unit, name, comment, rect, flags (visible, disabled,
tab; default ["visible"]), tag, tab_order, parent, children, event_source,
cursor, cursor_hex, events, properties, property_data, property_version,
property_hex. Menu items (unit "menu_item") take id, name, comment, flags
(hidden, disabled, checked; default none), caption, events (only event 0)
and menu_words (the two builder words before the flags, default [0, 0]).

- unit: "menu_item", a unit that ui/units/descriptions/ describes, or an
  integer component type for any other unit (its property data is then
  given by property_hex).
- parent, event_source and the entries of children name another element
  by its name (checked) or by its id as an integer (written as is); 0 in
  children separates tab pages.
- events: event number -> routine name (a C identifier) or "none" (-1).
  An integer value is written as a raw offset.
- cursor: an integer (a standard cursor table index, written as one word)
  or a cursor file path (written as the word -1 and the file). Default:
  4 zero bytes. cursor_hex gives the raw bytes instead.
- property_data = false writes empty property data (the unit's defaults).
  property_version = N writes version word N with the fields that version
  has; above the newest version the newest fields are written.
  property_hex = "..." replaces the property data with raw bytes.

Values: texts are UTF-8 in the form and GBK in the template. Truth values
are booleans (or 0/1), choices and numbers integers, colours integers
0x00BBGGRR (0xFF000000 is the default colour). Pictures, sounds and icons
are file paths relative to the form, or {hex = "..."}. A font is
{face, height, width, escapement, orientation, weight, italic, underline,
strike_out, charset, out_precision, clip_precision, quality,
pitch_and_family} (face required; height -12, weight 400, charset 1
unless given), written as a 60-byte LOGFONTA, or {hex = "..."}; an
omitted font is empty (the default GUI font). Paths are relative to the
form file.

Properties by unit: the descriptions in ui/units/descriptions/ give each
unit's properties in stored order, with their defaults and the version
each came in (see tools/unit_descriptions.py). A text is written as a
form text, a truth as true or false, an EditBox's password_char as one
character (stored as its GBK bytes in a 16-bit word), a StatusBar's parts
as a list of {width, flags (integer or names "no_border", "raised"), icon
(-1 none), text, tooltip}; no parts is an empty part list.
"""
import argparse
import os
import re
import struct
import sys
import tomllib

import unit_descriptions

DEFAULT_ATTRIBUTES = 0x1901000F
SLOT_SIZE = 8


class FormError(Exception):
    pass


# ---------------------------------------------------------------- encoding

def gbk(text, where):
    if not isinstance(text, str):
        raise FormError(f"{where}: expected a text, got {text!r}")
    try:
        return text.encode("gbk")
    except UnicodeEncodeError as e:
        bad = text[e.start]
        raise FormError(f"{where}: character {bad!r} (U+{ord(bad):04X}) cannot be written in GBK") from None


def word(value, where):
    if isinstance(value, bool):
        value = int(value)
    if not isinstance(value, int):
        raise FormError(f"{where}: expected an integer, got {value!r}")
    if not -0x80000000 <= value <= 0xFFFFFFFF:
        raise FormError(f"{where}: {value} does not fit in 32 bits")
    return struct.pack("<I", value & 0xFFFFFFFF)


def counted(data):
    return struct.pack("<I", len(data)) + data


def terminated(text, where):
    data = gbk(text, where)
    if b"\0" in data:
        raise FormError(f"{where}: a zero character would end the text early")
    return data + b"\0"


def from_hex(text, where):
    if not isinstance(text, str):
        raise FormError(f"{where}: expected a hex text, got {text!r}")
    try:
        return bytes.fromhex(text)
    except ValueError:
        raise FormError(f"{where}: not a hex byte string: {text!r}") from None


class Context:
    """What the whole compile shares: the form's folder, the files read."""

    def __init__(self, form_path):
        self.folder = os.path.dirname(os.path.abspath(form_path))
        self.files = []
        self.routines = []  # distinct routine names, in order of first appearance

    def read_file(self, path, where):
        full = os.path.normpath(os.path.join(self.folder, path))
        try:
            with open(full, "rb") as f:
                data = f.read()
        except OSError as e:
            raise FormError(f"{where}: cannot read {path!r}: {e.strerror}") from None
        if full not in self.files:
            self.files.append(full)
        return data

    def routine_offset(self, name):
        if name not in self.routines:
            self.routines.append(name)
        return SLOT_SIZE * self.routines.index(name)


# ------------------------------------------------------------ value kinds

def check_keys(table, allowed, where):
    unknown = [k for k in table if k not in allowed]
    if unknown:
        raise FormError(f"{where}: unknown key {unknown[0]!r} (known: {', '.join(allowed)})")


def truth(value, where):
    if value not in (True, False, 0, 1):
        raise FormError(f"{where}: expected true or false, got {value!r}")
    return word(int(value), where)


def byte_buffer(value, where, ctx):
    if isinstance(value, str):
        return counted(ctx.read_file(value, where) if value else b"")
    if isinstance(value, dict):
        check_keys(value, ["hex"], where)
        return counted(from_hex(value.get("hex", ""), where))
    raise FormError(f"{where}: expected a file path or {{hex = ...}}, got {value!r}")


LOGFONT_FIELDS = {  # name: (struct format, default)
    "height": ("i", -12), "width": ("i", 0), "escapement": ("i", 0), "orientation": ("i", 0),
    "weight": ("i", 400), "italic": ("B", 0), "underline": ("B", 0), "strike_out": ("B", 0),
    "charset": ("B", 1), "out_precision": ("B", 0), "clip_precision": ("B", 0),
    "quality": ("B", 0), "pitch_and_family": ("B", 0),
}


def font(value, where, ctx):
    if value == "":
        return counted(b"")
    if not isinstance(value, dict):
        raise FormError(f"{where}: expected a font table {{face = ..., height = ...}}, got {value!r}")
    if "hex" in value:
        check_keys(value, ["hex"], where)
        return counted(from_hex(value["hex"], where))
    check_keys(value, ["face", *LOGFONT_FIELDS], where)
    if "face" not in value:
        raise FormError(f"{where}: a font needs a face")
    face = gbk(value["face"], f"{where}.face")
    if not 1 <= len(face) <= 31 or b"\0" in face:
        raise FormError(f"{where}.face: a face name is 1 to 31 GBK bytes")
    record = b""
    for name, (fmt, default) in LOGFONT_FIELDS.items():
        v = value.get(name, default)
        if isinstance(v, bool):
            v = int(v)
        try:
            record += struct.pack("<" + fmt, v)
        except (struct.error, TypeError):
            raise FormError(f"{where}.{name}: {v!r} does not fit the field") from None
    record += face.ljust(32, b"\0")
    assert len(record) == 60
    return counted(record)


def text(value, where, ctx):
    return counted(gbk(value, where))


def integer(value, where, ctx):
    if isinstance(value, bool):
        raise FormError(f"{where}: expected an integer, got {value!r}")
    return word(value, where)


def boolean(value, where, ctx):
    return truth(value, where)


def password_char(value, where, ctx):
    # A 16-bit word whose bytes are the character's GBK bytes.
    if isinstance(value, int) and not isinstance(value, bool):
        if not 0 <= value <= 0xFFFF:
            raise FormError(f"{where}: {value} does not fit in 16 bits")
        return struct.pack("<H", value)
    data = gbk(value, where)
    if len(value) != 1:
        raise FormError(f"{where}: expected one character, got {value!r}")
    return data.ljust(2, b"\0")


PART_FLAGS = {"no_border": 0x100, "raised": 0x200}


def status_parts(value, where, ctx):
    if not isinstance(value, list):
        raise FormError(f"{where}: expected a list of parts")
    if not value:
        return counted(b"")
    data = struct.pack("<I", len(value))
    for i, part in enumerate(value):
        at = f"{where}[{i}]"
        if not isinstance(part, dict):
            raise FormError(f"{at}: expected a table {{width = ..., text = ...}}")
        check_keys(part, ["width", "flags", "icon", "text", "tooltip"], at)
        if "width" not in part:
            raise FormError(f"{at}: a part needs a width")
        flags = part.get("flags", 0)
        if isinstance(flags, list):
            bits = 0
            for name in flags:
                if name not in PART_FLAGS:
                    raise FormError(f"{at}.flags: unknown flag {name!r} (known: {', '.join(PART_FLAGS)})")
                bits |= PART_FLAGS[name]
            flags = bits
        data += integer(part["width"], f"{at}.width", ctx)
        data += integer(flags, f"{at}.flags", ctx)
        data += integer(part.get("icon", -1), f"{at}.icon", ctx)
        data += terminated(part.get("text", ""), f"{at}.text")
        data += terminated(part.get("tooltip", ""), f"{at}.tooltip")
    return counted(data)


# ------------------------------------------------------------------ units

class Field:
    def __init__(self, name, kind, default, since, number, live):
        self.name, self.kind, self.default, self.since = name, kind, default, since
        self.number = number  # the property's number, from 8
        self.live = live  # the live window holds it once it exists


class Unit:
    def __init__(self, name, component_type, version=None, fields=()):
        self.name = name
        self.component_type = component_type
        self.version = version  # None: no known layout
        self.fields = list(fields)
        self.by_name = {f.name: f for f in self.fields}

    def property_data(self, props, version, where, ctx):
        unknown = [k for k in props if k not in self.by_name]
        if unknown:
            if self.version is None:
                raise FormError(f"{where}: unit {self.name} has no named properties; give property_hex")
            raise FormError(f"{where}: unit {self.name} has no property {unknown[0]!r} "
                            f"(known: {', '.join(self.by_name)})")
        if self.version is None:
            if version is not None:
                raise FormError(f"{where}: unit {self.name} has no known layout to version; give property_hex")
            return b""
        if version is None:
            version = self.version
        out = word(version, f"{where}.property_version")
        for f in self.fields:
            if f.since <= version:
                out += f.kind(props.get(f.name, f.default), f"{where}.{f.name}", ctx)
        return out


# How a form writes each kind of stored property (unit_descriptions.py).
ENCODERS = {"integer": integer, "truth": boolean, "text": text, "bytes": byte_buffer, "font": font,
            "character": password_char, "parts": status_parts}


def described(description):
    return Unit(description.name, description.component_type, description.version,
                [Field(p.name, ENCODERS[p.form], p.default, p.since, 8 + p.number, p.live)
                 for p in description.stored])


try:
    DESCRIPTIONS = unit_descriptions.load_all()
except unit_descriptions.DescriptionError as e:
    sys.exit(f"error: {e}")
UNITS = {u.name: u for u in sorted([*map(described, DESCRIPTIONS), Unit("menu_item", 0x00010003)],
                                   key=lambda unit: unit.component_type)}

WINDOW_TYPE = UNITS["window"].component_type
MENU_TYPE = UNITS["menu_item"].component_type


# --------------------------------------------------------------- elements

def valid_id(i):
    return isinstance(i, int) and not isinstance(i, bool) and 0 <= i <= 0xFFFFFFFF \
        and (i & 0x00FFFFFF) != 0 and (i & 0x0F000000) != 0


ELEMENT_KEYS = ["id", "unit", "name", "comment", "rect", "flags", "tag", "tab_order", "parent",
                "children", "event_source", "cursor", "cursor_hex", "events", "properties",
                "property_data", "property_version", "property_hex"]
MENU_KEYS = ["id", "unit", "name", "comment", "flags", "caption", "events", "menu_words"]
COMPONENT_FLAGS = {"visible": 1, "disabled": 2, "tab": 4}
MENU_FLAGS = {"hidden": 1, "disabled": 2, "checked": 4}
ROUTINE_NAME = re.compile(r"[A-Za-z_][A-Za-z0-9_]*\Z")


def flag_word(names, known, where):
    if not isinstance(names, list):
        raise FormError(f"{where}: expected a list of flag names")
    bits = 0
    for name in names:
        if name not in known:
            raise FormError(f"{where}: unknown flag {name!r} (known: {', '.join(known)})")
        bits |= known[name]
    return bits


def binding(value, where, ctx):
    if isinstance(value, int) and not isinstance(value, bool):
        return value
    if value == "none":
        return -1
    if not isinstance(value, str) or not ROUTINE_NAME.match(value):
        raise FormError(f"{where}: expected a routine name or \"none\", got {value!r}")
    return ctx.routine_offset(value)


def bindings(events, where, ctx):
    if not isinstance(events, dict):
        raise FormError(f"{where}: expected a table of event number = routine")
    out = []
    for key, value in events.items():
        try:
            number = int(key, 0)
        except ValueError:
            raise FormError(f"{where}: event key {key!r} is not a number") from None
        out.append((number, binding(value, f"{where}.{key}", ctx)))
    return out


def resolve(ref, names, where):
    """An element reference: a name of this window's elements, or an id."""
    if isinstance(ref, str):
        if ref not in names:
            raise FormError(f"{where}: no element named {ref!r} in this window")
        return names[ref]
    word(ref, where)
    return ref


def unit_of(element, where):
    unit = element.get("unit")
    if isinstance(unit, int) and not isinstance(unit, bool):
        word(unit, f"{where}.unit")
        for known in UNITS.values():
            if known.component_type == unit:
                return known
        return Unit(f"0x{unit:08X}", unit)
    if unit not in UNITS:
        raise FormError(f"{where}: unknown unit {unit!r} (known: {', '.join(UNITS)}, or a component type number)")
    return UNITS[unit]


def property_bytes(element, unit, where, ctx):
    given = [k for k in ("properties", "property_hex") if k in element]
    if element.get("property_data", True) is False:
        given.append("property_data = false")
    if len(given) > 1:
        raise FormError(f"{where}: {' and '.join(given)} exclude each other")
    if "property_data" in element and element["property_data"] not in (True, False):
        raise FormError(f"{where}.property_data: expected true or false")
    if "property_hex" in element:
        return from_hex(element["property_hex"], f"{where}.property_hex")
    if element.get("property_data", True) is False:
        return b""
    props = element.get("properties", {})
    if not isinstance(props, dict):
        raise FormError(f"{where}.properties: expected a table")
    version = element.get("property_version")
    if version is not None and (not isinstance(version, int) or isinstance(version, bool) or version < 0):
        raise FormError(f"{where}.property_version: expected a non-negative integer")
    return unit.property_data(props, version, f"{where}.properties", ctx)


def cursor_bytes(element, where, ctx):
    if "cursor" in element and "cursor_hex" in element:
        raise FormError(f"{where}: cursor and cursor_hex exclude each other")
    if "cursor_hex" in element:
        return from_hex(element["cursor_hex"], f"{where}.cursor_hex")
    cursor = element.get("cursor", 0)
    if isinstance(cursor, str):
        return word(-1, where) + ctx.read_file(cursor, f"{where}.cursor")
    return word(cursor, f"{where}.cursor")


def component_entry(element, unit, names, where, ctx):
    check_keys(element, ELEMENT_KEYS, where)
    rect = element.get("rect")
    if not isinstance(rect, list) or len(rect) != 4:
        raise FormError(f"{where}: rect must be [left, top, width, height]")
    children = element.get("children", [])
    if not isinstance(children, list):
        raise FormError(f"{where}.children: expected a list")
    source = element.get("event_source", 0)
    source_id = resolve(source, names, f"{where}.event_source")
    if isinstance(source, str) and names.types[source] != unit.component_type:
        raise FormError(f"{where}.event_source: {source!r} is not a {unit.name} element")
    events = bindings(element.get("events", {}), f"{where}.events", ctx)

    out = word(unit.component_type, where) + word(source_id, where) + bytes(16)
    out += terminated(element.get("name", ""), f"{where}.name")
    out += terminated(element.get("comment", ""), f"{where}.comment")
    out += bytes(4)  # object slot
    for i, v in enumerate(rect):
        out += integer(v, f"{where}.rect[{i}]", ctx)
    out += bytes(4)  # cursor slot
    out += word(resolve(element.get("parent", 0), names, f"{where}.parent"), where)
    out += word(len(children), where)
    for i, child in enumerate(children):
        out += word(resolve(child, names, f"{where}.children[{i}]"), where)
    out += counted(cursor_bytes(element, where, ctx))
    out += terminated(element.get("tag", ""), f"{where}.tag")
    out += bytes(4)
    out += word(flag_word(element.get("flags", ["visible"]), COMPONENT_FLAGS, f"{where}.flags"), where)
    out += integer(element.get("tab_order", 0), f"{where}.tab_order", ctx)
    out += word(len(events), where)
    for number, routine in events:
        out += word(number, f"{where}.events") + word(routine, f"{where}.events")
    out += bytes(20)
    out += property_bytes(element, unit, where, ctx)
    return out


def menu_entry(element, names, where, ctx):
    check_keys(element, MENU_KEYS, where)
    events = bindings(element.get("events", {}), f"{where}.events", ctx)
    if any(number != 0 for number, _ in events):
        raise FormError(f"{where}.events: a menu item has only event 0")
    routine = events[0][1] if events else -1
    extra = element.get("menu_words", [0, 0])
    if not isinstance(extra, list) or len(extra) != 2:
        raise FormError(f"{where}.menu_words: expected two integers")
    out = word(MENU_TYPE, where) + bytes(4) + bytes(16)
    out += terminated(element.get("name", ""), f"{where}.name")
    out += terminated(element.get("comment", ""), f"{where}.comment")
    out += integer(extra[0], f"{where}.menu_words", ctx) + integer(extra[1], f"{where}.menu_words", ctx)
    out += word(flag_word(element.get("flags", []), MENU_FLAGS, f"{where}.flags"), where)
    out += terminated(element.get("caption", ""), f"{where}.caption")
    out += word(routine, where)
    return out


class Names(dict):
    """Element name -> id for one window, with each name's component type."""

    def __init__(self):
        super().__init__()
        self.types = {}


def element_list(window, where, ctx):
    elements = window.get("element", [])
    if not isinstance(elements, list):
        raise FormError(f"{where}: elements are given as [[window.element]] tables")
    if not elements:
        raise FormError(f"{where}: a window needs its own element (unit \"window\") first")
    ids, units, names = [], [], Names()
    for i, element in enumerate(elements):
        at = f"{where} element {i}"
        if not isinstance(element, dict):
            raise FormError(f"{at}: expected a table")
        if "name" in element:
            at += f" ({element['name']})"
        if "unit" not in element:
            raise FormError(f"{at}: no unit given")
        unit = unit_of(element, at)
        eid = element.get("id")
        if not valid_id(eid):
            raise FormError(f"{at}: id must be a 32-bit id with a non-zero serial and kind, got {eid!r}")
        if eid in ids:
            raise FormError(f"{at}: id 0x{eid:08X} is used twice in this window")
        kind = eid >> 24
        if i == 0 and unit.component_type != WINDOW_TYPE:
            raise FormError(f"{at}: element 0 must be the window's own element (unit \"window\")")
        if i > 0 and unit.component_type == WINDOW_TYPE:
            raise FormError(f"{at}: only element 0 may be a window element")
        expected = {WINDOW_TYPE: 0x06, MENU_TYPE: 0x26}.get(unit.component_type, 0x16)
        if kind != expected:
            raise FormError(f"{at}: a {unit.name} element's id must be 0x{expected:02X}xxxxxx, got 0x{eid:08X}")
        name = element.get("name", "")
        if name:
            if name in names:
                raise FormError(f"{at}: name {name!r} is used twice in this window")
            names[name] = eid
            names.types[name] = unit.component_type
        ids.append(eid)
        units.append((unit, at))

    entries = []
    for element, (unit, at) in zip(elements, units):
        if unit.component_type == MENU_TYPE:
            data = menu_entry(element, names, at, ctx)
        else:
            data = component_entry(element, unit, names, at, ctx)
        entries.append(counted(data))

    offsets, position = [], 0
    for entry in entries:
        offsets.append(position)
        position += len(entry)
    buffer = b"".join(struct.pack("<I", i) for i in ids)
    buffer += b"".join(struct.pack("<I", o) for o in offsets)
    buffer += b"".join(entries)
    return struct.pack("<I", len(elements)) + counted(buffer)


def compile_form(form, ctx):
    check_keys(form, ["window"], "form")
    windows = form.get("window", [])
    if not isinstance(windows, list):
        raise FormError("form: windows are given as [[window]] tables")
    ids, records = [], []
    for n, window in enumerate(windows):
        where = f"window {n}"
        check_keys(window, ["id", "attributes", "element"], where)
        wid = window.get("id")
        if not valid_id(wid) or (wid & 0x0F000000) != 0x02000000:
            raise FormError(f"{where}: id must be a window id 0x?2xxxxxx with a non-zero serial, got {wid!r}")
        if wid in ids:
            raise FormError(f"{where}: window id 0x{wid:08X} is used twice")
        where = f"window 0x{wid:08X}"
        record = bytes(4) + word(window.get("attributes", DEFAULT_ATTRIBUTES), f"{where}.attributes")
        record += counted(b"") + counted(b"")
        record += element_list(window, where, ctx)
        ids.append(wid)
        records.append(record)
    table = b"".join(struct.pack("<I", i) for i in ids) + bytes(4 * len(ids))
    return counted(table) + b"".join(records)


# ----------------------------------------------------------------- output

def cpp_source(template, routines, prefix, header, form_name):
    lines = [
        f"// Generated by tools/form_compiler.py from {form_name}: edit the form, not this file.",
        "#include <cstdint>",
        "",
        f'#include "{header}"',
        "",
        f'extern "C" const unsigned char {prefix}_template[] = {{',
    ]
    for i in range(0, len(template), 16):
        lines.append("    " + ", ".join(f"0x{b:02x}" for b in template[i:i + 16]) + ",")
    lines += [
        "};",
        f'extern "C" const uint32_t {prefix}_template_size = {len(template)};',
        "",
        "// The application's routine table: one 8-byte slot per bound routine; template",
        "// bindings are offsets into it. Aligned to 8 so that .p2align pads every slot",
        "// to exactly 8 bytes from the first.",
    ]
    for i, name in enumerate(routines):
        lines.append(f"//   +{SLOT_SIZE * i:<4} {name}")
    lines.append(f'extern "C" __attribute__((naked, used, aligned(8))) void {prefix}_code_base() {{')
    if routines:
        lines.append("  __asm__ volatile(")
        for i in range(len(routines)):
            lines.append(f'      "jmp %P{i}\\n\\t.p2align 3\\n\\t"')
        operands = ", ".join(f'"i"(&{name})' for name in routines)
        lines.append(f"      :: {operands});")
    else:
        lines.append('  __asm__ volatile("int3");')
    lines += ["}", ""]
    return "\n".join(lines)


def make_escape(path):
    return path.replace("\\", "\\\\").replace(" ", "\\ ").replace("#", "\\#").replace("$", "$$")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Compiles a TOML form into the binary window template.")
    parser.add_argument("form")
    parser.add_argument("--cpp", help="write the generated C++ source here")
    parser.add_argument("--prefix", help="symbol prefix of the generated C++ (P_template, P_code_base)")
    parser.add_argument("--routines-header", help="header that declares the bound routines")
    parser.add_argument("--binary", help="write the template bytes here")
    parser.add_argument("--depfile", help="write a make-style dependency file here")
    args = parser.parse_args(argv)
    if args.cpp and not (args.prefix and args.routines_header):
        parser.error("--cpp needs --prefix and --routines-header")
    if args.prefix and not ROUTINE_NAME.match(args.prefix):
        parser.error(f"--prefix {args.prefix!r} is not a C identifier")
    if not (args.cpp or args.binary):
        parser.error("nothing to write: give --cpp or --binary")

    ctx = Context(args.form)
    try:
        try:
            with open(args.form, "rb") as f:
                form = tomllib.load(f)
        except OSError as e:
            raise FormError(f"cannot read the form: {e.strerror}") from None
        except tomllib.TOMLDecodeError as e:
            raise FormError(f"not valid TOML: {e}") from None
        template = compile_form(form, ctx)
    except FormError as e:
        sys.stderr.write(f"{args.form}: error: {e}\n")
        return 1

    if args.binary:
        write(args.binary, template)
    if args.cpp:
        source = cpp_source(template, ctx.routines, args.prefix, args.routines_header,
                            os.path.basename(args.form))
        write(args.cpp, source.encode("utf-8"))
    if args.depfile:
        target = os.path.abspath(args.cpp or args.binary)
        inputs = [os.path.abspath(args.form)] + ctx.files + [d.path for d in DESCRIPTIONS] + \
            [os.path.abspath(unit_descriptions.__file__)]
        write(args.depfile, (make_escape(target) + ": " +
                             " ".join(make_escape(p) for p in inputs) + "\n").encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
