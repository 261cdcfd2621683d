<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>page</name>
    <message numerus="yes">
        <source>%n damaged record(s) in %1</source>
        <translation>
            <numerusform>%n damaged record in %1</numerusform>
            <numerusform>%n damaged records in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n damaged line(s) in %1</source>
        <translation>
            <numerusform>%n damaged line in %1</numerusform>
            <numerusform>%n damaged lines in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see Findings</source>
        <translation>
            <numerusform>%n problem — see Findings</numerusform>
            <numerusform>%n problems — see Findings</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavufe::MainWindow</name>
    <message numerus="yes">
        <source>%n problem(s) — see File &gt; Verify</source>
        <translation>
            <numerusform>%n problem — see File &gt; Verify</numerusform>
            <numerusform>%n problems — see File &gt; Verify</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n other hard link(s) keep(s) the old contents</source>
        <translation>
            <numerusform>; %n other hard link keeps the old contents</numerusform>
            <numerusform>; %n other hard links keep the old contents</numerusform>
        </translation>
    </message>
</context>
</TS>
