<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Texts of Qt's own dialogs that Qt's Italian catalogue (qtbase_it) lacks: in Qt 6 the file
     dialog's "Tipo" column asks under a context the catalogue does not have. Kept by hand, beside
     the catalogues lupdate writes, and compiled into the Italian one. -->
<TS version="2.1" language="it_IT">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Unità</translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Cartella</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Sconosciuto</translation>
    </message>
</context>
</TS>
