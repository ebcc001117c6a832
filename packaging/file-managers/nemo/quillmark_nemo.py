"""Quillmark in Nemo (nemo-python): "Durata dei video selezionati" on a selection and a "Durata"
column for the list view. "Calcola durata video" on a folder is the Nemo action beside this
file, which works without nemo-python too."""

import os
import sys

# Quillmark's shared part, installed beside the file managers' extension folders.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "quillmark", "file-managers"))

import gi  # noqa: E402

gi.require_version("Nemo", "3.0")
from gi.repository import GObject, Nemo  # noqa: E402

import quillmark_file_manager as quillmark  # noqa: E402


class QuillmarkNemo(quillmark.FileManagerExtension, GObject.GObject, Nemo.MenuProvider,
                    Nemo.ColumnProvider, Nemo.InfoProvider, Nemo.NameAndDescProvider):
    namespace = Nemo
    offer_folder_item = False

    def __init__(self):
        GObject.GObject.__init__(self)
        self.start()

    def get_file_items(self, window, files):
        return self.items_for(files)

    def get_columns(self):
        return self.columns()

    def update_file_info(self, file):
        self.update(file)

    def get_name_and_desc(self):
        return ["Quillmark:::" + quillmark.text("column_tip")]
