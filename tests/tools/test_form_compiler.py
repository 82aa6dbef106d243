#!/usr/bin/env python3
"""Tests of tools/form_compiler.py: the template bytes it writes, its
refusals, and the routine table of the generated C++."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import textwrap
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
COMPILER = os.path.join(ROOT, "tools", "form_compiler.py")
APP_FORM = os.path.join(ROOT, "app", "forms", "main_window.toml")
INFO_PNG = os.path.join(ROOT, "app", "resources", "info16.png")


class Reader:
    """Reads the template encodings front to back; running off the end fails."""

    def __init__(self, data):
        self.data, self.pos = data, 0

    def take(self, n):
        assert self.pos + n <= len(self.data), "read past the end"
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def word(self):
        return struct.unpack("<I", self.take(4))[0]

    def sword(self):
        return struct.unpack("<i", self.take(4))[0]

    def counted(self):
        return self.take(self.word())

    def terminated(self):
        end = self.data.index(b"\0", self.pos)
        text = self.data[self.pos:end]
        self.pos = end + 1
        return text

    def done(self):
        return self.pos == len(self.data)


def parse_template(data):
    """Windows as (id, attributes, [element dict]) following the stored format."""
    r = Reader(data)
    table = r.counted()
    count = len(table) // 8
    ids = struct.unpack(f"<{count}I", table[:4 * count])
    windows = []
    for wid in ids:
        assert r.word() == 0
        attributes = r.word()
        assert r.counted() == b"" and r.counted() == b""
        c = r.word()
        buffer = r.counted()
        element_ids = struct.unpack(f"<{c}I", buffer[:4 * c])
        offsets = struct.unpack(f"<{c}I", buffer[4 * c:8 * c])
        entries = buffer[8 * c:]
        elements, expected = [], 0
        for eid, offset in zip(element_ids, offsets):
            assert offset == expected, "entries are packed in list order"
            size = struct.unpack_from("<I", entries, offset)[0]
            elements.append(parse_element(eid, entries[offset + 4:offset + 4 + size]))
            expected = offset + 4 + size
        assert expected == len(entries)
        windows.append((wid, attributes, elements))
    assert r.done()
    return windows


def parse_element(eid, data):
    r = Reader(data)
    e = {"id": eid, "type": r.word(), "source": r.word()}
    assert r.take(16) == bytes(16)
    e["name"], e["comment"] = r.terminated(), r.terminated()
    if e["type"] == 0x00010003:
        e["menu_words"] = (r.word(), r.word())
        e["flags"], e["caption"], e["routine"] = r.word(), r.terminated(), r.sword()
        assert r.done()
        return e
    assert r.word() == 0  # object slot
    e["rect"] = tuple(r.sword() for _ in range(4))
    assert r.word() == 0  # cursor slot
    e["parent"] = r.word()
    e["children"] = [r.word() for _ in range(r.word())]
    e["cursor"] = r.counted()
    e["tag"] = r.terminated()
    assert r.word() == 0
    e["flags"], e["tab_order"] = r.word(), r.word()
    e["events"] = [(r.sword(), r.sword()) for _ in range(r.word())]
    assert r.take(20) == bytes(20)
    e["props"] = data[r.pos:]
    return e


def run_compiler(*args):
    return subprocess.run([sys.executable, COMPILER, *args], capture_output=True, text=True)


class FormTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="form-test-")
        self.addCleanup(shutil.rmtree, self.dir)

    def compile_text(self, form, **extra_files):
        """Compiles a form given as text; answers the template bytes."""
        for name, data in extra_files.items():
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(data)
        path = os.path.join(self.dir, "form.toml")
        with open(path, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(form))
        out = os.path.join(self.dir, "out.bin")
        result = run_compiler(path, "--binary", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as f:
            return f.read()

    def refuse(self, form, *fragments):
        path = os.path.join(self.dir, "bad.toml")
        with open(path, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(form))
        result = run_compiler(path, "--binary", os.path.join(self.dir, "bad.bin"))
        self.assertEqual(result.returncode, 1)
        for fragment in fragments:
            self.assertIn(fragment, result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "bad.bin")))


WINDOW = """
    [[window]]
    id = 0x52000001
    [[window.element]]
    id = 0x06000001
    unit = "window"
    rect = [0, 0, 100, 100]
"""


def words(*values):
    return b"".join(struct.pack("<i" if v < 0 else "<I", v) for v in values)


def counted_gbk(text):
    data = text.encode("gbk")
    return struct.pack("<I", len(data)) + data


class AppFormTest(FormTest):
    """The application's form: ids, geometry, bindings and each unit's layout."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="form-app-")
        out = os.path.join(cls.tmp, "main_window.bin")
        result = run_compiler(APP_FORM, "--binary", out)
        assert result.returncode == 0, result.stderr
        with open(out, "rb") as f:
            cls.template = f.read()
        [(cls.wid, cls.attributes, cls.elements)] = parse_template(cls.template)
        cls.by_name = {e["name"].decode("gbk"): e for e in cls.elements}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def test_window_and_element_table(self):
        self.assertEqual(self.wid, 0x52010002)
        self.assertEqual(self.attributes, 0x1901000F)
        expected = [
            (0x06010003, 0x00010001, "", (50, 50, 478, 194), 1),
            (0x1601320E, 0x00040001, "超级按钮2", (110, 117, 16, 16), 5),
            (0x16013200, 0x0001000B, "按钮3", (13, 112, 91, 24), 5),
            (0x160131FF, 0x00040001, "超级按钮1", (424, 115, 16, 16), 5),
            (0x160131FE, 0x00040001, "超级按钮26", (267, 117, 16, 16), 5),
            (0x160100D2, 0x0001000B, "按钮2", (159, 111, 101, 25), 5),
            (0x1601009F, 0x0001001F, "通用对话框1", (448, 104, 16, 16), 0),
            (0x16010011, 0x0001000B, "按钮1", (317, 111, 100, 25), 5),
            (0x16010004, 0x00020002, "状态条_下载状态", (0, 109, 423, 20), 1),
            (0x16010005, 0x0001000A, "标签_总大小", (235, 81, 220, 20), 1),
            (0x16010006, 0x0001000A, "标签_已下载", (8, 81, 220, 20), 1),
            (0x16010007, 0x00020005, "透明标签_百分比", (8, 49, 448, 22), 1),
            (0x16010008, 0x00010005, "编辑框_本地文件地址", (62, 10, 394, 30), 7),
            (0x16010009, 0x0001000A, "标签1", (9, 12, 63, 20), 1),
            (0x1601000C, 0x00010013, "进度条_下载进度", (8, 49, 448, 22), 1),
        ]
        self.assertEqual(len(self.elements), 15)
        for e, (eid, ctype, name, rect, flags) in zip(self.elements, expected):
            with self.subTest(name=name):
                self.assertEqual((e["id"], e["type"], e["name"].decode("gbk"), e["rect"], e["flags"]),
                                 (eid, ctype, name, rect, flags))
                self.assertEqual((e["source"], e["comment"], e["parent"], e["children"], e["tag"],
                                  e["cursor"], e["tab_order"]), (0, b"", 0, [], b"", bytes(4), 0))

    def test_bindings_are_routine_slots(self):
        bound = {e["name"].decode("gbk"): e["events"] for e in self.elements if e["events"]}
        # Slots in order of first appearance: the window, then archive 1, 3, 2.
        self.assertEqual(bound, {"": [(0, 0), (12, 8), (1, 16)], "按钮3": [(0, 24)], "按钮2": [(0, 32)], "按钮1": [(0, 40)]})

    def test_help_icons(self):
        with open(os.path.join(os.path.dirname(INFO_PNG), "info.ico"), "rb") as f:
            png = f.read()  # the icon file of the picture's sizes
        face = "微软雅黑".encode("gbk").ljust(32, b"\0")
        logfont = struct.pack("<5i8B", -12, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0) + face
        tips = {
            "超级按钮2": "使用介绍：\r\n\r\n第一步下载配套的安装包\r\n\r\n第二步下载完整程序下载包\r\n\r\n"
                         "第三步更新完整包里面的qelmo.exe",
            "超级按钮26": "完整包介绍\r\n\r\n里面包含程序运行的基础DLL，以及配置，\r\n\r\n程序不一定是最新的，"
                          "但是组件是必须的。\r\n\r\n初次使用可以下载，更新下载更新程序直接覆盖即可。",
            "超级按钮1": "更新包下载介绍\r\n\r\n会不定期进行更新，下载exe程序放置到完整程序包里面，覆盖即可。",
        }
        for name, tip in tips.items():
            with self.subTest(name=name):
                expected = (words(2, 0, 0, 0, 0, 0, 1, 0, 0xFF000000, 0xFF000000, 1, 0, 0)
                            + words(0, 0xFF000000, 0, 0xFF000000, 0, 0xFF000000)
                            + words(0) + words(len(png)) + png + words(60) + logfont + words(0, 0)
                            + words(0) + counted_gbk(tip) + words(0xFF000000, 0))
                self.assertEqual(self.by_name[name]["props"], expected)

    def test_info_icon(self):
        with open(INFO_PNG, "rb") as f:
            png = f.read()
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        chunks, pos = [], 8
        while pos < len(png):
            length, kind = struct.unpack_from(">I4s", png, pos)
            chunks.append(kind)
            pos += 12 + length
        self.assertEqual(struct.unpack_from(">IIBB", png, 16), (16, 16, 8, 3))
        for kind in (b"gAMA", b"cHRM", b"tEXt", b"PLTE", b"IDAT"):
            self.assertIn(kind, chunks)
        self.assertLess(chunks.index(b"gAMA"), chunks.index(b"PLTE"))
        # Reproducible: the committed picture is what the script draws.
        out = os.path.join(self.tmp, "icon.png")
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "make_info_icon.py"), out], check=True)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), png)
        # So is the icon file of all four sizes, whose 16 is that picture.
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "make_info_icon.py"), "--ico", out], check=True)
        with open(out, "rb") as f, open(os.path.join(os.path.dirname(INFO_PNG), "info.ico"), "rb") as g:
            ico = f.read()
            self.assertEqual(ico, g.read())
        entries = [struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i) for i in range(struct.unpack_from("<H", ico, 4)[0])]
        self.assertEqual([e[0] for e in entries], [16, 20, 24, 32])
        self.assertEqual(ico[entries[0][7]:entries[0][7] + entries[0][6]], png)

    def test_window_icon(self):
        # The committed icon is what the tool makes of it: its 16 and 32 kept,
        # the sizes of the other display scales drawn.
        path = os.path.join(ROOT, "app", "resources", "qelmo.ico")
        out = os.path.join(self.tmp, "qelmo.ico")
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "make_window_icon.py"), "--keep", path, out],
                       check=True)
        with open(out, "rb") as f, open(path, "rb") as g:
            ico = f.read()
            self.assertEqual(ico, g.read())
        sizes = [ico[6 + 16 * i] for i in range(struct.unpack_from("<H", ico, 4)[0])]
        self.assertEqual(sorted(sizes), [16, 20, 24, 32, 40, 48])

    def test_cmake_built_template_matches(self):
        built = os.environ.get("QELMO_MAIN_WINDOW_BIN")
        if not built:
            self.skipTest("not run from the build")
        with open(built, "rb") as f:
            self.assertEqual(f.read(), self.template)


class SmallFormTest(FormTest):
    def test_zero_windows(self):
        self.assertEqual(self.compile_text("# no windows\n"), words(0))

    def test_window_table_and_offsets(self):
        data = self.compile_text(WINDOW + """
            [[window.element]]
            id = 0x16000002
            unit = "Label"
            name = "长名字的标签"
            rect = [1, 2, 3, 4]
            [[window]]
            id = 0x52000002
            attributes = 7
            [[window.element]]
            id = 0x06000009
            unit = "window"
            rect = [0, 0, 1, 1]
        """)
        self.assertEqual(data[:20], words(16, 0x52000001, 0x52000002, 0, 0))
        windows = parse_template(data)
        self.assertEqual([(w[0], w[1], [e["id"] for e in w[2]]) for w in windows],
                         [(0x52000001, 0x1901000F, [0x06000001, 0x16000002]), (0x52000002, 7, [0x06000009])])
        self.assertEqual(windows[0][2][1]["name"], "长名字的标签".encode("gbk"))

    def test_event_bindings(self):
        data = self.compile_text(WINDOW + """
            events = { 0 = "first", 3 = "none", 4 = "second" }
            [[window.element]]
            id = 0x16000002
            unit = "Button"
            rect = [0, 0, 1, 1]
            events = { 0 = "second", "-7" = "third", 1 = "first", 2 = 0x40 }
            [[window.element]]
            id = 0x26000003
            unit = "menu_item"
            name = "m"
            caption = "文件"
            flags = ["checked"]
            events = { 0 = "third" }
        """)
        window, button, menu = parse_template(data)[0][2]
        self.assertEqual(window["events"], [(0, 0), (3, -1), (4, 8)])
        self.assertEqual(button["events"], [(0, 8), (-7, 16), (1, 0), (2, 0x40)])
        self.assertEqual((menu["caption"], menu["flags"], menu["routine"], menu["menu_words"]),
                         ("文件".encode("gbk"), 4, 16, (0, 0)))

    def test_element_fields(self):
        data = self.compile_text(WINDOW + """
            [[window.element]]
            id = 0x16000002
            unit = "Button"
            name = "a"
            rect = [-5, 2, 3, 4]
            event_source = "b"
            parent = "tab"
            flags = ["disabled", "tab"]
            tag = "标记"
            tab_order = 3
            cursor = 14
            [[window.element]]
            id = 0x16000003
            unit = "Button"
            name = "b"
            rect = [0, 0, 1, 1]
            cursor_hex = "ff ff ff ff 01 02"
            [[window.element]]
            id = 0x16000004
            unit = 0x00010015
            name = "tab"
            rect = [0, 0, 1, 1]
            children = ["a", 0, "b"]
            property_hex = "01 00 00 00 aa"
        """)
        _, a, b, tab = parse_template(data)[0][2]
        self.assertEqual((a["rect"], a["source"], a["parent"], a["flags"], a["tag"], a["tab_order"], a["cursor"]),
                         ((-5, 2, 3, 4), 0x16000003, 0x16000004, 6, "标记".encode("gbk"), 3, words(14)))
        self.assertEqual(b["cursor"], bytes.fromhex("ffffffff0102"))
        self.assertEqual((tab["type"], tab["children"], tab["props"]),
                         (0x00010015, [0x16000002, 0, 0x16000003], bytes.fromhex("01000000aa")))

    def test_property_data_overrides(self):
        data = self.compile_text(WINDOW + """
            property_version = 1
            properties = { title = "t" }
            [[window.element]]
            id = 0x16000002
            unit = "TransLabel"
            rect = [0, 0, 1, 1]
            property_version = 2
            [[window.element]]
            id = 0x16000003
            unit = "SuperBtn"
            rect = [0, 0, 1, 1]
            property_data = false
            [[window.element]]
            id = 0x16000004
            unit = "SuperBtn"
            rect = [0, 0, 1, 1]
            property_version = 1
            properties = { PicOut = "p.bin", caption = "" }
        """, **{"p.bin": b"xyz"})
        window, label, empty, button = parse_template(data)[0][2]
        # Version 1 of the window ends before the show-in-task-bar field.
        self.assertEqual(window["props"], words(1, 2, 1, 0xFF000000, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0)
                         + words(0, 0, 0) + counted_gbk("t") + words(0))
        # A newer version than the unit knows keeps the newest fields.
        self.assertEqual(label["props"], words(2, 0, 0, 0, 1, 0, 0) + counted_gbk("透明标签"))
        self.assertEqual(empty["props"], b"")
        # Version 1 has no disabled picture fields; PicIn comes before PicOut.
        self.assertTrue(button["props"].startswith(words(1)))
        self.assertTrue(button["props"].endswith(words(0, 3) + b"xyz" + words(0, 0, 0, 0, 0)))

    def test_depfile_names_form_and_pictures(self):
        form = os.path.join(self.dir, "my form.toml")
        with open(form, "w", encoding="utf-8") as f:
            f.write(WINDOW + 'properties = { icon = "i.ico" }\n')
        with open(os.path.join(self.dir, "i.ico"), "wb") as f:
            f.write(b"\0\0\1\0")
        out, dep = os.path.join(self.dir, "o.bin"), os.path.join(self.dir, "o.d")
        result = run_compiler(form, "--binary", out, "--depfile", dep)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(dep) as f:
            text = f.read()
        self.assertIn("my\\ form.toml", text)
        self.assertIn(os.path.join(self.dir, "i.ico").replace(" ", "\\ "), text)


class RefusalTest(FormTest):
    def test_bad_forms(self):
        cases = {
            "unknown unit": (WINDOW + """
                [[window.element]]
                id = 0x16000002
                unit = "Buton"
                rect = [0, 0, 1, 1]
            """, "unknown unit 'Buton'"),
            "non-GBK text": (WINDOW + 'properties = { title = "안녕" }\n',
                             "U+C548", "cannot be written in GBK", "title"),
            "element 0 not a window": ("""
                [[window]]
                id = 0x52000001
                [[window.element]]
                id = 0x16000002
                unit = "Button"
                rect = [0, 0, 1, 1]
            """, "element 0 must be the window's own element"),
            "unknown property": (WINDOW + "properties = { titel = 1 }\n", "no property 'titel'"),
            "unknown key": (WINDOW + "colour = 1\n", "unknown key 'colour'"),
            "duplicate id": (WINDOW + """
                [[window.element]]
                id = 0x06000001
                unit = "Button"
                rect = [0, 0, 1, 1]
            """, "used twice"),
            "menu id of a component": (WINDOW + """
                [[window.element]]
                id = 0x26000002
                unit = "Button"
                rect = [0, 0, 1, 1]
            """, "must be 0x16xxxxxx"),
            "missing picture": (WINDOW + 'properties = { background_picture = "nope.png" }\n',
                                "cannot read 'nope.png'"),
            "bad routine name": (WINDOW + 'events = { 0 = "on click" }\n', "routine name"),
            "unknown parent": (WINDOW + 'parent = "nobody"\n', "no element named 'nobody'"),
            "named properties of a unit without a layout": (WINDOW + """
                [[window.element]]
                id = 0x16000002
                unit = 0x00030009
                rect = [0, 0, 1, 1]
                properties = { x = 1 }
            """, "give property_hex"),
            "zero in a text": (WINDOW + 'name = "a\\u0000b"\n', "zero character"),
            "long font face": (WINDOW + 'properties = { title = "", icon = "" }\n'
                               + '[[window.element]]\nid = 0x16000002\nunit = "Button"\nrect = [0, 0, 1, 1]\n'
                               + 'properties = { font = { face = "一二三四五六七八九十一二三四五六" } }\n',
                               "1 to 31 GBK bytes"),
            "not TOML": ("[[window]\n", "not valid TOML"),
        }
        for label, (form, *fragments) in cases.items():
            with self.subTest(label):
                self.refuse(form, *fragments)


def cross_tool(env, fallback):
    tool = os.environ.get(env) or shutil.which(fallback)
    return tool if tool and os.path.exists(tool) else None


class DescriptionTest(unittest.TestCase):
    """A unit description that would lay out property data wrongly is refused
    before anything is built from it."""

    def test_bad_descriptions(self):
        sys.path.insert(0, os.path.join(ROOT, "tools"))
        import unit_descriptions as ud
        head = 'unit = "X"\ncpp = "X"\nprefix = "X"\ncomponent_type = 1\nversion = 1\nproperties = [\n'
        cases = {
            "unknown kind": ('{ name = "a", number = 0, kind = "float" }', "unknown kind"),
            "choice without a range": ('{ name = "a", number = 0, kind = "choice" }', "has a max"),
            "number twice": ('{ name = "a", number = 0, kind = "word" }, { name = "b", number = 0, kind = "word" }',
                             "number 0 is given twice"),
            "gap in the numbers": ('{ name = "a", number = 1, kind = "word" }', "without a gap"),
            "newer than the unit": ('{ name = "a", number = 0, kind = "word", since = 2 }', "since must be 0..1"),
            "signed text": ('{ name = "a", number = 0, kind = "text", signed = true }', "only a word"),
        }
        with tempfile.TemporaryDirectory() as folder:
            for what, (rows, fragment) in cases.items():
                with self.subTest(what):
                    path = os.path.join(folder, "x.toml")
                    with open(path, "w", encoding="utf-8") as f:
                        f.write(head + rows + "\n]\n")
                    with self.assertRaises(ud.DescriptionError) as caught:
                        ud.load(path)
                    self.assertIn(fragment, str(caught.exception))


class GeneratedCodeTest(FormTest):
    """The routine table compiled for the target: slots 8 bytes apart from the
    function's own address, whatever comes before it and at any optimisation."""

    CXX = cross_tool("QELMO_CXX", "i686-w64-mingw32-g++-posix")
    OBJDUMP = cross_tool("QELMO_OBJDUMP", "i686-w64-mingw32-objdump")

    def setUp(self):
        if not (self.CXX and self.OBJDUMP):
            self.skipTest("no i686 mingw-w64 compiler")
        super().setUp()

    def build(self, form, routines, options):
        with open(os.path.join(self.dir, "form.toml"), "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(form))
        with open(os.path.join(self.dir, "routines.h"), "w") as f:
            # An odd-sized function first, so the table does not start the section.
            f.write('extern "C" int filler(int x) { return x * 3 + 1; }\n')
            for name in routines:
                f.write(f'extern "C" void __stdcall {name}();\n')
        cpp = os.path.join(self.dir, "form.cpp")
        result = run_compiler(os.path.join(self.dir, "form.toml"), "--cpp", cpp, "--prefix", "demo",
                              "--routines-header", "routines.h")
        self.assertEqual(result.returncode, 0, result.stderr)
        obj = os.path.join(self.dir, "form.o")
        subprocess.run([self.CXX, "-std=c++20", "-Wall", "-Wextra", "-Werror", *options, "-c", cpp, "-o", obj],
                       check=True, cwd=self.dir)
        return subprocess.run([self.OBJDUMP, "-dr", obj], check=True, capture_output=True, text=True).stdout

    def table(self, listing, prefix="demo"):
        """(address, [(offset, opcode, relocation target)]) of P_code_base."""
        match = re.search(rf"^([0-9a-f]+) <_{prefix}_code_base>:\n(.*?)(?:\n\n|\Z)", listing, re.S | re.M)
        self.assertIsNotNone(match, listing)
        start, slots = int(match.group(1), 16), []
        lines = match.group(2).splitlines()
        for i, line in enumerate(lines):
            m = re.match(r"\s*([0-9a-f]+):\s+((?:[0-9a-f]{2} )+)", line)
            if m and m.group(2).startswith(("e9 ", "cc ")):
                reloc = re.search(r"DISP32\s+(\S+)", lines[i + 1]) if i + 1 < len(lines) else None
                slots.append((int(m.group(1), 16) - start, m.group(2).split()[0], reloc and reloc.group(1)))
        return start, slots

    def test_slots_are_eight_bytes_apart(self):
        form = WINDOW + """
            events = { 0 = "created" }
            [[window.element]]
            id = 0x16000002
            unit = "Button"
            rect = [0, 0, 1, 1]
            events = { 0 = "clicked", 1 = "created", 2 = "none", 3 = "third" }
        """
        for options in (["-O0"], ["-O2"], ["-Os"]):
            with self.subTest(options=options):
                start, slots = self.table(self.build(form, ["created", "clicked", "third"], options))
                self.assertEqual(start % 8, 0)
                self.assertEqual(slots, [(0, "e9", "_created@0"), (8, "e9", "_clicked@0"), (16, "e9", "_third@0")])

    def test_application_table(self):
        obj = os.environ.get("QELMO_MAIN_WINDOW_OBJ")
        if not obj:
            self.skipTest("not run from the build")
        listing = subprocess.run([self.OBJDUMP, "-dr", obj], check=True, capture_output=True, text=True).stdout
        start, slots = self.table(listing, "main_window")
        self.assertEqual(start % 8, 0)
        self.assertEqual(slots, [(0, "e9", "_on_main_window_created@0"),
                                 (8, "e9", "_on_main_window_close_requested@0"),
                                 (16, "e9", "_on_main_window_closing@0"),
                                 (24, "e9", "_on_download_button_clicked_archive1@0"),
                                 (32, "e9", "_on_download_button_clicked_archive3@0"),
                                 (40, "e9", "_on_download_button_clicked_archive2@0")])

    def test_no_routines_is_int3(self):
        start, slots = self.table(self.build(WINDOW, [], ["-O2"]))
        self.assertEqual(slots[0], (0, "cc", None))

    def test_template_symbols(self):
        self.build(WINDOW, [], ["-O2"])
        symbols = subprocess.run([self.OBJDUMP, "-t", os.path.join(self.dir, "form.o")], check=True,
                                 capture_output=True, text=True).stdout
        for name in ("_demo_template", "_demo_template_size", "_demo_code_base"):
            self.assertRegex(symbols, rf"\(scl\s+2\).* {name}\n")  # storage class 2: external

if __name__ == "__main__":
    unittest.main()
