#!/usr/bin/python3
"""A GTK 3 window with one multi-line text field, for typing through fcitx5. Every change of
the text is written whole to the file given as the first argument, so that a test reads back
exactly what the application received."""
import os
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

out_path = sys.argv[1]
window = Gtk.Window(title="Tonvira fcitx5 field")
window.set_default_size(640, 240)
view = Gtk.TextView()
buffer = view.get_buffer()


def changed(buf):
    text = buf.get_text(buf.get_start_iter(), buf.get_end_iter(), True)
    with open(out_path + ".partial", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(out_path + ".partial", out_path)


buffer.connect("changed", changed)
window.add(view)
window.connect("destroy", Gtk.main_quit)
window.show_all()
view.grab_focus()
Gtk.main()
