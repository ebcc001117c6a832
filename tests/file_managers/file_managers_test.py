"""The file managers' extensions, loaded with the real GObject introspection of Nautilus, Nemo
and Caja (each skipped where its typelib is missing), given files as the file manager gives
them, and the column filled by the real quillmark-report.
One file manager per process, as each loads its own toolkit.
Usage: file_managers_test.py nautilus|nemo|caja PACKAGING-FOLDER QUILLMARK-REPORT MEDIA-FOLDER"""

import importlib.util
import os
import shutil
import stat
import sys
import tempfile
import unittest

import warnings

import gi
from gi.repository import Gio, GLib

warnings.filterwarnings("ignore", category=ImportWarning)

MANAGER, PACKAGING, REPORT, MEDIA = sys.argv[1:5]
sys.path.insert(0, os.path.join(PACKAGING, "file-managers"))
import quillmark_file_manager as quillmark  # noqa: E402


def load_extension(manager):
    try:
        gi.require_version({"nautilus": "Nautilus", "nemo": "Nemo", "caja": "Caja"}[manager],
                           {"nautilus": "4.0", "nemo": "3.0", "caja": "2.0"}[manager])
    except ValueError:
        return None
    path = os.path.join(PACKAGING, "file-managers", manager, "quillmark_%s.py" % manager)
    spec = importlib.util.spec_from_file_location("quillmark_" + manager, path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


class FakeFileInfo:
    """A file as the file managers hand it to extensions."""

    def __init__(self, path, is_folder=False, mime_type="video/mp4", local=True):
        self.path, self.folder, self.mime, self.local = path, is_folder, mime_type, local
        self.attributes = {}
        self.invalidated = 0

    def get_location(self):
        return Gio.File.new_for_path(self.path) if self.local else Gio.File.new_for_uri(
            "trash:///x.mp4")

    def is_directory(self):
        return self.folder

    def get_mime_type(self):
        return "inode/directory" if self.folder else self.mime

    def add_string_attribute(self, name, value):
        self.attributes[name] = value

    def invalidate_extension_info(self):
        self.invalidated += 1

    def is_gone(self):
        return False


class Tree:
    def __init__(self):
        self.root = tempfile.mkdtemp()

    def copy(self, media, relative):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copy(os.path.join(MEDIA, media), path)
        return path

    def path(self, relative):
        return os.path.join(self.root, relative)


class MenuTest(unittest.TestCase):
    def test_items_and_column(self):
        tree = Tree()
        film = tree.copy("minute.mov", "Film/a.mov")
        second = tree.copy("minute.mov", "Film/b.mov")
        note = tree.path("Film/note.txt")
        open(note, "w").close()
        folder = FakeFileInfo(tree.path("Film"), True)
        cases = [
            ("one folder", [folder], "folder", ["quillmark", "--run", "--", tree.path("Film")]),
            ("two videos", [FakeFileInfo(film), FakeFileInfo(second)], "selection",
             ["quillmark", "--files", "--", film, second]),
            ("one video", [FakeFileInfo(film)], "selection", ["quillmark", "--files", "--", film]),
            ("a folder and a text", [folder, FakeFileInfo(note, mime_type="text/plain")],
             "selection", ["quillmark", "--files", "--", tree.path("Film"), note]),
            ("only text", [FakeFileInfo(note, mime_type="text/plain")], None, None),
            ("not on a local path", [FakeFileInfo(film, local=False)], None, None),
        ]
        launched = []
        quillmark.launch = launched.append
        module = load_extension(MANAGER)
        if module is None:
            self.skipTest("no introspection data for " + MANAGER)
        extension = [value for name, value in vars(module).items()
                     if name.startswith("Quillmark")][0]()
        EXTENSIONS.append(extension)
        for name, files, kind, command in cases:
            with self.subTest(case=name):
                items = extension.items_for(files)
                if kind == "folder" and not extension.offer_folder_item:
                    kind = None  # Nemo's folder item is its action file
                if kind is None:
                    self.assertEqual(items, [])
                    continue
                self.assertEqual(len(items), 1)
                self.assertEqual(items[0].props.label, quillmark.text(kind))
                items[0].activate()
                self.assertEqual(launched[-1], command)
        column = extension.columns()[0]
        self.assertEqual(column.props.label, "Durata")
        self.assertEqual(column.props.attribute, quillmark.FileManagerExtension.ATTRIBUTE)

    def test_language_follows_the_system(self):
        self.assertEqual(quillmark.text("column", {"LANGUAGE": "en_GB:it"}), "Duration")
        self.assertEqual(quillmark.text("column", {"LANG": "it_IT.UTF-8"}), "Durata")
        self.assertEqual(quillmark.text("column", {"LANG": "de_DE.UTF-8"}), "Durata")


class ColumnTest(unittest.TestCase):
    def setUp(self):
        # quillmark-report with a cache of its own, counting how often it is started.
        self.work = tempfile.mkdtemp()
        self.log = os.path.join(self.work, "runs")
        self.program = os.path.join(self.work, "report")
        with open(self.program, "w") as script:
            script.write('#!/bin/sh\necho run >> "%s"\nXDG_CACHE_HOME="%s" exec "%s" "$@"\n'
                         % (self.log, self.work, REPORT))
        os.chmod(self.program, stat.S_IRWXU)

    def runs(self):
        with open(self.log) as log:
            return len(log.readlines())

    def fill(self, extension, files):
        """Shows the files as the list view does, and again each time the extension says a
        value changed, until none is pending."""
        for file in files:
            extension.update(file)
        loop = GLib.MainLoop()
        deadline = GLib.timeout_add_seconds(30, loop.quit)

        def check():
            for file in files:
                while file.invalidated > file.seen:
                    file.seen += 1
                    extension.update(file)
            if all(file.attributes[extension.ATTRIBUTE] != quillmark.PENDING for file in files):
                loop.quit()
                return GLib.SOURCE_REMOVE
            return GLib.SOURCE_CONTINUE

        GLib.timeout_add(20, check)
        loop.run()
        GLib.source_remove(deadline)
        return [file.attributes[extension.ATTRIBUTE] for file in files]

    def test_values_come_from_quillmark_report_in_the_background(self):
        tree = Tree()
        videos = [tree.copy("minute.mov", "Film/%d.mov" % n) for n in range(5)]
        tree.copy("index-at-start.mp4", "Film/Extra/b.mp4")
        broken = tree.path("Film/rotto.mp4")
        with open(broken, "wb") as file:
            file.write(b"\0" * 4096)
        note = tree.path("Film/note.txt")
        open(note, "w").close()
        quillmark.REPORT_PROGRAM = self.program

        class Extension(quillmark.FileManagerExtension):
            pass

        extension = Extension()
        extension.start()
        extension._column._report = self.program
        files = [FakeFileInfo(path) for path in videos] + [
            FakeFileInfo(broken), FakeFileInfo(note, mime_type="text/plain"),
            FakeFileInfo(tree.path("Film"), True), FakeFileInfo(tree.path("Film/Extra"), True)]
        for file in files:
            file.seen = 0
        extension.update(files[0])
        self.assertEqual(files[0].attributes[extension.ATTRIBUTE], quillmark.PENDING)
        values = self.fill(extension, files)
        self.assertEqual(values, ["0h01m"] * 5 + [quillmark.text("error"), "", "0h05m", "0h00m"])
        # The files of a folder in one run, each folder in one.
        self.assertEqual(self.runs(), 3)

        # Shown afresh: the known values at once, asked again in the background.
        for file in files:
            file.attributes.clear()
        self.assertEqual(self.fill(extension, files), values)

    def test_a_report_that_fails_leaves_the_column_empty(self):
        column = quillmark.DurationColumn(lambda path: None, report_program="/nonexistent")
        entry = quillmark.Entry("/x/a.mp4", False, "video/mp4")
        self.assertEqual(column.value(entry), quillmark.PENDING)
        context = GLib.MainContext.default()
        GLib.timeout_add(400, lambda: None)
        while column.value(entry) == quillmark.PENDING:
            context.iteration(True)
        self.assertEqual(column.value(entry), "")


# Extensions live as long as their file manager: they are kept until the end, which skips the
# finalizers too, as Nemo's column has a faulty one.
EXTENSIONS = []

if __name__ == "__main__":
    result = unittest.main(argv=sys.argv[:1], exit=False).result
    sys.stdout.flush()
    sys.stderr.flush()
    os._exit(0 if result.wasSuccessful() else 1)
