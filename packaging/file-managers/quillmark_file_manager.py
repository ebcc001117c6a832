"""What Quillmark adds to a file manager, whichever it is: the menu items on folders and on a
selection, what they run, and the values of the "Durata" column.

The column never measures anything itself and never waits: a value it does not know yet shows
as "…" while quillmark-report is asked in the background (it reads and fills Quillmark's
duration cache, so a second look costs only its lookups), and the file manager is told when the
value is known. The Nautilus, Nemo and Caja extensions share this module.
"""

import json
import os

from gi.repository import Gio, GLib, GObject

REPORT_PROGRAM = "quillmark-report"
WINDOW_PROGRAM = "quillmark"

# The files a batch may name: well below any limit on a command line.
BATCH_FILES = 400
# Programs asked at once: enough to fill a folder's column, few enough to leave the disk to
# the file manager.
RUNNING_AT_ONCE = 2
# Files asked for within this time go to quillmark-report together.
BATCH_DELAY_MS = 50

PENDING = "…"

TEXTS = {
    "folder": ("Calcola durata video", "Calculate video duration"),
    "folder_tip": ("Quanta durata video c'è in questa cartella",
                   "How much video is in this folder"),
    "selection": ("Durata dei video selezionati", "Duration of the selected videos"),
    "selection_tip": ("Misura i video scelti e quelli delle cartelle scelte",
                      "Measures the chosen videos and those of the chosen folders"),
    "column": ("Durata", "Duration"),
    "column_tip": ("Durata dei video; per una cartella, di tutti i video che contiene",
                   "Duration of videos; for a folder, of every video it holds"),
    "error": ("errore", "error"),
}


def speaks_english(environment=os.environ):
    """The language Quillmark's own programs take: English for an English system, else
    Italian."""
    for name in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"):
        value = environment.get(name, "")
        if value:
            return value.split(":")[0].startswith("en")
    return False


def text(key, environment=os.environ):
    return TEXTS[key][1 if speaks_english(environment) else 0]


class Entry:
    """A selected file or folder as the menu logic needs it."""

    def __init__(self, path, is_folder, mime_type):
        self.path = path
        self.is_folder = is_folder
        self.mime_type = mime_type or ""

    @property
    def is_video(self):
        return self.mime_type.startswith("video/")


def entry_of(file_info):
    """A file manager's FileInfo as an Entry; nothing for what is not on a local path (the
    trash, a network location without a mount)."""
    location = file_info.get_location()
    path = location.get_path() if location is not None else None
    if not path:
        return None
    return Entry(path, file_info.is_directory(), file_info.get_mime_type())


def menu_items(entries, offer_folder_item=True):
    """The items for a selection, as (name, label, tip, command): "Calcola durata video" on one
    folder, "Durata dei video selezionati" on anything else that holds a folder or a video. A
    selection with an entry that is not on a local path gets nothing."""
    if not entries or any(entry is None for entry in entries):
        return []
    if len(entries) == 1 and entries[0].is_folder:
        if not offer_folder_item:
            return []
        return [("Quillmark::Calcola", text("folder"), text("folder_tip"),
                 [WINDOW_PROGRAM, "--run", "--", entries[0].path])]
    if not any(entry.is_folder or entry.is_video for entry in entries):
        return []
    return [("Quillmark::Selezione", text("selection"), text("selection_tip"),
             [WINDOW_PROGRAM, "--files", "--"] + [entry.path for entry in entries])]


def launch(command):
    """Starts the window and leaves it: the file manager does not wait for it, and GLib reaps
    it when it ends."""
    GLib.spawn_async(command, flags=GLib.SpawnFlags.SEARCH_PATH)


class DurationColumn:
    """The column's values by path. `changed(path)` is called on the main loop when a value
    becomes known; the file manager then asks for it again."""

    def __init__(self, changed, report_program=REPORT_PROGRAM):
        self._changed = changed
        self._report = report_program
        self._known = {}
        self._asked = set()
        self._files_by_folder = {}
        self._flush_source = 0
        self._queue = []
        self._running = 0

    def value(self, entry, again=False):
        """What the column shows now for an entry: its duration, "…" while it is being asked
        for, or nothing for what is neither a folder nor a video. With `again`, a known value
        is shown while it is asked for anew (the file manager saw the file change, or shows it
        afresh)."""
        if entry is None or not (entry.is_folder or entry.is_video):
            return ""
        if again:
            self._asked.discard(entry.path)
        elif entry.path in self._known:
            return self._known[entry.path]
        if entry.path not in self._asked:
            self._asked.add(entry.path)
            if entry.is_folder:
                self._queue.append(([entry.path], True))
                self._run_next()
            else:
                folder = os.path.dirname(entry.path)
                self._files_by_folder.setdefault(folder, []).append(entry.path)
                if not self._flush_source:
                    self._flush_source = GLib.timeout_add(BATCH_DELAY_MS, self._flush)
        return self._known.get(entry.path, PENDING)

    def _flush(self):
        self._flush_source = 0
        for files in self._files_by_folder.values():
            for start in range(0, len(files), BATCH_FILES):
                self._queue.append((files[start:start + BATCH_FILES], False))
        self._files_by_folder = {}
        self._run_next()
        return GLib.SOURCE_REMOVE

    def _run_next(self):
        while self._queue and self._running < RUNNING_AT_ONCE:
            paths, is_folder = self._queue.pop(0)
            command = [self._report, "--json", "--files", "--"] + paths
            try:
                process = Gio.Subprocess.new(
                    command, Gio.SubprocessFlags.STDOUT_PIPE | Gio.SubprocessFlags.STDERR_SILENCE)
            except GLib.Error:
                self._learn(paths, {}, None)
                continue
            self._running += 1
            process.communicate_utf8_async(None, None, self._answered, (paths, is_folder))

    def _answered(self, process, result, request):
        paths, is_folder = request
        self._running -= 1
        try:
            _, output, _ = process.communicate_utf8_finish(result)
            report = json.loads(output) if process.get_successful() else None
        except (GLib.Error, ValueError):
            report = None
        if report is None:
            self._learn(paths, {}, None)
        elif is_folder:
            # A folder without videos shows nothing rather than 0h00m.
            total = report.get("grandTotalLabel", "") if report.get("folders") else ""
            self._learn(paths, {}, total)
        else:
            self._learn(paths, labels_of(report), None)
        self._run_next()

    def _learn(self, paths, labels, folder_total):
        for path in paths:
            self._known[path] = folder_total if folder_total is not None else labels.get(path, "")
            self._changed(path)


def labels_of(report):
    """Each file's label in a quillmark-report JSON report, by path: its duration, or "errore"
    where it could not be measured."""
    labels = {}
    for folder in report.get("folders", []):
        for file in folder.get("files", []):
            path = os.path.join(folder["path"], file["name"])
            labels[path] = text("error") if "errorMessage" in file else file["durationLabel"]
    return labels


class FileManagerExtension:
    """The providers' logic, mixed by each extension into its file manager's GObject types:
    `namespace` is Nautilus, Nemo or Caja."""

    namespace = None
    offer_folder_item = True
    ATTRIBUTE = "quillmark_durata"

    def start(self):
        self._waiting = {}  # path: the FileInfo whose value is being asked for
        self._refreshing = set()
        self._columns = []
        self._column = DurationColumn(self._value_known)

    def items_for(self, files):
        items = []
        entries = [entry_of(file) for file in files]
        for name, label, tip, command in menu_items(entries, self.offer_folder_item):
            item = self.namespace.MenuItem(name=name, label=label, tip=tip, icon="quillmark")
            item.connect("activate", lambda _item, command=command: launch(command))
            items.append(item)
        return items

    def columns(self):
        # Made once and kept: Nemo's column is freed wrongly when it is finalized, and the file
        # managers keep their columns for as long as they run anyway.
        if not self._columns:
            self._columns = [self.namespace.Column(name="Quillmark::Durata",
                                                   attribute=self.ATTRIBUTE,
                                                   label=text("column"),
                                                   description=text("column_tip"))]
        return self._columns

    def update(self, file):
        entry = entry_of(file)
        again = entry is not None and entry.path not in self._refreshing
        if entry is not None:
            self._refreshing.discard(entry.path)
        value = self._column.value(entry, again)
        if entry is not None and (value == PENDING or (again and value)):
            self._waiting[entry.path] = file
        file.add_string_attribute(self.ATTRIBUTE, value)

    def _value_known(self, path):
        file = self._waiting.pop(path, None)
        if file is not None and not file.is_gone():
            self._refreshing.add(path)
            file.invalidate_extension_info()


def extension_class(namespace, name, offer_folder_item=True, also=(), **more):
    """The extension type for a file manager: its menu, column and information providers with
    the logic above. The files are get_file_items' last argument (Nemo and Caja pass the window
    before them, Nautilus 43 does not)."""
    def get_file_items(self, *arguments):
        return self.items_for(arguments[-1])

    def __init__(self):
        GObject.GObject.__init__(self)
        self.start()

    providers = (namespace.MenuProvider, namespace.ColumnProvider, namespace.InfoProvider) + also
    members = {
        "namespace": namespace,
        "offer_folder_item": offer_folder_item,
        "__init__": __init__,
        "get_file_items": get_file_items,
        "get_columns": lambda self: self.columns(),
        "update_file_info": lambda self, file: self.update(file),
    }
    members.update(more)
    return type(name, (FileManagerExtension, GObject.GObject) + providers, members)
