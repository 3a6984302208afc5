<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>L</name>
    <message id="empty.title">
        <source>Drop a folder to scan</source>
        <translation>Trascina qui una cartella da analizzare</translation>
    </message>
    <message id="move.doneTrash">
        <source>%d photos moved to the Trash</source>
        <translation>%@ foto spostate nel Cestino</translation>
    </message>
    <message id="scan.counter">
        <source>%d of %d</source>
        <translation>%d in tutto</translation>
    </message>
    <message id="move.undone">
        <source>%d photos put back</source>
        <translation>%d foto rimesse al 100%</translation>
    </message>
    <message id="app.name">
        <source>Quorlix</source>
        <translation>Quorlix %d</translation>
    </message>
    <message id="results.score">
        <source>%d/100</source>
        <translation>%d%%</translation>
    </message>
</context>
</TS>
