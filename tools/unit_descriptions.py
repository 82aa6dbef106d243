"""The units' stored properties, one description file per unit.

Each file in ui/units/descriptions/ describes one unit: its name in forms,
its component type, the newest version of its property data, and one line
per property in stored order. The build turns each into a C++ header (the
holder struct, the property numbers and the property table, by
tools/unit_header.py), and the form compiler reads the same files to lay
out property data. Adding a property is one line here, plus its effect in
the unit's Apply where it has one.

    unit = "Label"              # the unit's name in forms
    cpp = "Label"               # LabelStored, LabelProperty, kLabelTable
    prefix = "LABEL"            # LABEL_TEXT, ...
    component_type = 0x0001000A
    version = 2                 # the newest version, which a save writes
    properties = [              # in stored order
      { name = "effect", number = 1, kind = "choice", max = 4, change = "restyle" },
      ...
    ]

A property's keys:
  name     its key in forms; the holder's field is its snake_case form
  number   its number after the eight standard properties (0 is the 9th)
  kind     word      a word kept as stored, written as given
           choice    a word that a write brings into 0..max (max required)
           truth     a word that a write makes 0 or 1
           text      a counted text
           bytes     a counted byte buffer
           font      a 60-byte LOGFONTA, or nothing for the default font
           character one GBK character in a half word (get and set are the unit's)
           unstored  not in the stored data (get and set are the unit's)
  type     the property type get and set report: integer, colour,
           colour_alt, choice, truth, text, file_name, picture, icon,
           sound, bytes, bytes_alt, font (default: from the kind)
  default  the value of empty property data and of a form that leaves it out
  since    the version that first stored it (default 0)
  change   what a write asks of the live component: nothing, repaint,
           restyle, rebuild (made again), own (the unit's Apply; the
           default of a live property)
  always   true: a write answers its change even when the value stays
  live     true: stored, but get and set are the unit's (the window holds it)
  signed   true: the holder keeps it as int32_t
  form     how a form writes it, where the type does not say: truth
           (true or false), parts (a status bar's part list)
"""
import os
import re
import tomllib

FOLDER = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ui", "units",
                                       "descriptions"))

KINDS = {  # kind: default type
    "word": "integer", "choice": "choice", "truth": "truth", "text": "text", "bytes": "bytes",
    "font": "font", "character": "text", "unstored": None,
}
TYPES = ["integer", "colour", "colour_alt", "choice", "truth", "text", "file_name", "picture", "icon", "sound",
         "bytes", "bytes_alt", "font"]
CHANGES = ["nothing", "repaint", "restyle", "rebuild", "own"]
FORMS = ["truth", "parts"]
WORD_KINDS = ("word", "choice", "truth")
PROPERTY_KEYS = ["name", "number", "kind", "type", "max", "default", "since", "change", "always", "live",
                 "signed", "form"]
UNIT_KEYS = ["unit", "cpp", "prefix", "component_type", "version", "properties"]
IDENTIFIER = re.compile(r"[A-Za-z][A-Za-z0-9_]*\Z")


class DescriptionError(Exception):
    pass


def snake_case(name):
    return re.sub(r"(?<=[a-z0-9])(?=[A-Z])", "_", name).lower()


class Property:
    def __init__(self, row, version, where):
        unknown = [k for k in row if k not in PROPERTY_KEYS]
        if unknown:
            raise DescriptionError(f"{where}: unknown key {unknown[0]!r} (known: {', '.join(PROPERTY_KEYS)})")
        for key in ("name", "number", "kind"):
            if key not in row:
                raise DescriptionError(f"{where}: no {key}")
        self.name = row["name"]
        if not isinstance(self.name, str) or not IDENTIFIER.match(self.name):
            raise DescriptionError(f"{where}: the name {self.name!r} is not an identifier")
        self.field = snake_case(self.name)
        self.number = row["number"]
        if not isinstance(self.number, int) or isinstance(self.number, bool) or not 0 <= self.number < 256:
            raise DescriptionError(f"{where}: number must be 0..255")
        self.kind = row["kind"]
        if self.kind not in KINDS:
            raise DescriptionError(f"{where}: unknown kind {self.kind!r} (known: {', '.join(KINDS)})")
        self.type = row.get("type", KINDS[self.kind])
        if self.type not in TYPES:
            raise DescriptionError(f"{where}: unknown type {self.type!r} (known: {', '.join(TYPES)})")
        self.max = row.get("max")
        if (self.max is not None) != (self.kind == "choice"):
            raise DescriptionError(f"{where}: a choice, and only a choice, has a max")
        self.since = row.get("since", 0)
        if not isinstance(self.since, int) or not 0 <= self.since <= version:
            raise DescriptionError(f"{where}: since must be 0..{version}")
        self.live = row.get("live", False) or self.kind in ("character", "unstored")
        self.change = row.get("change", "own" if self.live else "nothing")
        if self.change not in CHANGES:
            raise DescriptionError(f"{where}: unknown change {self.change!r} (known: {', '.join(CHANGES)})")
        self.always = row.get("always", False)
        self.signed = row.get("signed", False)
        if self.signed and self.kind not in WORD_KINDS:
            raise DescriptionError(f"{where}: only a word can be signed")
        self.form = row.get("form", self.natural_form())
        if self.form not in FORMS + [self.natural_form()]:
            raise DescriptionError(f"{where}: unknown form {self.form!r} (known: {', '.join(FORMS)})")
        self.default = row.get("default", 0 if self.kind in WORD_KINDS else "" if self.form != "parts" else [])
        self.stored = self.kind != "unstored"

    def natural_form(self):
        """How a form writes the property when the description says nothing."""
        if self.kind == "truth" or (self.kind == "word" and self.type == "truth"):
            return "truth"
        if self.kind in WORD_KINDS:
            return "integer"
        return self.kind


class Unit:
    def __init__(self, path):
        where = os.path.basename(path)
        try:
            with open(path, "rb") as f:
                table = tomllib.load(f)
        except (OSError, tomllib.TOMLDecodeError) as e:
            raise DescriptionError(f"{where}: {e}") from None
        unknown = [k for k in table if k not in UNIT_KEYS]
        missing = [k for k in UNIT_KEYS if k not in table]
        if unknown or missing:
            raise DescriptionError(f"{where}: keys are {', '.join(UNIT_KEYS)}")
        self.path = path
        self.name = table["unit"]
        self.cpp = table["cpp"]
        self.prefix = table["prefix"]
        self.component_type = table["component_type"]
        self.version = table["version"]
        self.properties = [Property(row, self.version, f"{where}: property {i}")
                           for i, row in enumerate(table["properties"])]
        for key in ("name", "number"):
            seen = set()
            for p in self.properties:
                if getattr(p, key) in seen:
                    raise DescriptionError(f"{where}: {key} {getattr(p, key)!r} is given twice")
                seen.add(getattr(p, key))
        if sorted(p.number for p in self.properties) != list(range(len(self.properties))):
            raise DescriptionError(f"{where}: the numbers must run from 0 without a gap")

    @property
    def stored(self):
        return [p for p in self.properties if p.stored]


def load(path):
    return Unit(path)


def load_all(folder=FOLDER):
    """Every unit's description, by component type."""
    paths = sorted(os.path.join(folder, name) for name in os.listdir(folder) if name.endswith(".toml"))
    return sorted((load(path) for path in paths), key=lambda unit: unit.component_type)
