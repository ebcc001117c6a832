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
from gi.repository import Nemo  # noqa: E402

import quillmark_file_manager as quillmark  # noqa: E402

QuillmarkNemo = quillmark.extension_class(
    Nemo, "QuillmarkNemo", offer_folder_item=False, also=(Nemo.NameAndDescProvider,),
    get_name_and_desc=lambda self: ["Quillmark:::" + quillmark.text("column_tip")])
