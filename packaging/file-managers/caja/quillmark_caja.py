"""Quillmark in Caja (python3-caja): "Calcola durata video" on a folder, "Durata dei video
selezionati" on a selection, and a "Durata" column for the list view."""

import os
import sys

# Quillmark's shared part, installed beside the file managers' extension folders.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "quillmark", "file-managers"))

import gi  # noqa: E402

gi.require_version("Caja", "2.0")
from gi.repository import Caja  # noqa: E402

import quillmark_file_manager as quillmark  # noqa: E402

QuillmarkCaja = quillmark.extension_class(Caja, "QuillmarkCaja")
