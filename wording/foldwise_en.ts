<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Counts</name>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln file</numerusform>
            <numerusform>%Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln folder</numerusform>
            <numerusform>%Ln folders</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryWording</name>
    <message>
        <source>Sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By category</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Input folder: %1
Output folder: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Incomplete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, undone</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PlanWording</name>
    <message numerus="yes">
        <source>Undoing the sorts from %1 into %2 would move %Ln files back from %3</source>
        <translation>
            <numerusform>Undoing the sorts from %1 into %2 would move %Ln file back from %3</numerusform>
            <numerusform>Undoing the sorts from %1 into %2 would move %Ln files back from %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Sorting %1 into %2 by category would move %Ln files into %3</source>
        <translation>
            <numerusform>Sorting %1 into %2 by category would move %Ln file into %3</numerusform>
            <numerusform>Sorting %1 into %2 by category would move %Ln files into %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Sorting %1 into %2 by extension would move %Ln files into %3</source>
        <translation>
            <numerusform>Sorting %1 into %2 by extension would move %Ln file into %3</numerusform>
            <numerusform>Sorting %1 into %2 by extension would move %Ln files into %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would stay: their names are taken there</source>
        <translation>
            <numerusform>%Ln would stay: its name is taken there</numerusform>
            <numerusform>%Ln would stay: their names are taken there</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would stay: their names are taken in %1</source>
        <translation>
            <numerusform>%Ln would stay: its name is taken in %1</numerusform>
            <numerusform>%Ln would stay: their names are taken in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would stay: they are not regular files</source>
        <translation>
            <numerusform>%Ln would stay: it is not a regular file</numerusform>
            <numerusform>%Ln would stay: they are not regular files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would stay: they are still being written or downloaded</source>
        <translation>
            <numerusform>%Ln would stay: it is still being written or downloaded</numerusform>
            <numerusform>%Ln would stay: they are still being written or downloaded</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would stay: %1 cannot store their names</source>
        <translation>
            <numerusform>%Ln would stay: %1 cannot store its name</numerusform>
            <numerusform>%Ln would stay: %1 cannot store their names</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would stay: they are larger than 4 GiB, which %1 cannot store</source>
        <translation>
            <numerusform>%Ln would stay: it is larger than 4 GiB, which %1 cannot store</numerusform>
            <numerusform>%Ln would stay: they are larger than 4 GiB, which %1 cannot store</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would stay: files in %1 have the names of their folders</source>
        <translation>
            <numerusform>%Ln would stay: a file in %1 has the name of its folder</numerusform>
            <numerusform>%Ln would stay: files in %1 have the names of their folders</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln are no longer where Foldwise put them</source>
        <translation>
            <numerusform>%Ln is no longer where Foldwise put it</numerusform>
            <numerusform>%Ln are no longer where Foldwise put them</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln would be moved under new names beside their namesakes in %1</source>
        <translation>
            <numerusform>%Ln would be moved under a new name beside its namesake in %1</numerusform>
            <numerusform>%Ln would be moved under new names beside their namesakes in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln of them are identical to the files already in %1.</source>
        <translation>
            <numerusform>%Ln of them is identical to the file already in %1.</numerusform>
            <numerusform>%Ln of them are identical to the files already in %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>❌ Sorting would fail: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>❌ Revert would fail: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to sort.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln files will go into %1: %2</source>
        <translation>
            <numerusform>%Ln file will go into %1: %2</numerusform>
            <numerusform>%Ln files will go into %1: %2</numerusform>
        </translation>
    </message>
    <message>
        <source>What Sort would do is unknown: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, as %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stays: an identical file has its name in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stays: its name is taken in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stays: not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stays: the output folder&apos;s drive cannot store its name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stays: larger than the output folder&apos;s drive can store</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stays: a file in the output folder has the name %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stays: still being written or downloaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No longer where Foldwise put it</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunWording</name>
    <message>
        <source>%1 and %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for %1 to finish…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copying %1 to another drive… %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorting… %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moving files back… %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>❌ Sorting failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>❌ Revert failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to undo: every sort from %1 into %2 is already undone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to undo: no sort from %1 into %2 is on record.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A sort is running. Stop it and quit?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An undo is running. Stop it and quit?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The last sort stopped when Foldwise quit: %1 moved, %2 left in %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The last undo stopped when Foldwise quit: %1 moved back, %2 still in %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorting stopped: %1 moved, %2 left in the input folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo stopped: %1 moved back, %2 still in the output folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to sort: %1 has no files at its top level.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>✅ Files successfully sorted!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>⏪ All files moved back to input folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>⏪ %1 of %2 moved back to input folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>the names of all %Ln files are taken in %1</source>
        <translation>
            <numerusform>the name of the one file is taken in %1</numerusform>
            <numerusform>the names of all %Ln files are taken in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln have their names taken in %1</source>
        <translation>
            <numerusform>%Ln has its name taken in %1</numerusform>
            <numerusform>%Ln have their names taken in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>none of the %Ln files is a regular file</source>
        <translation>
            <numerusform>the one file is not a regular file</numerusform>
            <numerusform>none of the %Ln files is a regular file</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln are not regular files</source>
        <translation>
            <numerusform>%Ln is not a regular file</numerusform>
            <numerusform>%Ln are not regular files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>all %Ln files are still being written or downloaded</source>
        <translation>
            <numerusform>the one file is still being written or downloaded</numerusform>
            <numerusform>all %Ln files are still being written or downloaded</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln are still being written or downloaded</source>
        <translation>
            <numerusform>%Ln is still being written or downloaded</numerusform>
            <numerusform>%Ln are still being written or downloaded</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 cannot store the names of all %Ln files</source>
        <translation>
            <numerusform>%1 cannot store the name of the one file</numerusform>
            <numerusform>%1 cannot store the names of all %Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln have names that %1 cannot store</source>
        <translation>
            <numerusform>%Ln has a name that %1 cannot store</numerusform>
            <numerusform>%Ln have names that %1 cannot store</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>all %Ln files are larger than 4 GiB, which %1 cannot store</source>
        <translation>
            <numerusform>the one file is larger than 4 GiB, which %1 cannot store</numerusform>
            <numerusform>all %Ln files are larger than 4 GiB, which %1 cannot store</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln are larger than 4 GiB, which %1 cannot store</source>
        <translation>
            <numerusform>%Ln is larger than 4 GiB, which %1 cannot store</numerusform>
            <numerusform>%Ln are larger than 4 GiB, which %1 cannot store</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>files in %1 have the names of the folders all %Ln files would go into</source>
        <translation>
            <numerusform>a file in %1 has the name of the folder the one file would go into</numerusform>
            <numerusform>files in %1 have the names of the folders all %Ln files would go into</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln have a file in %1 where their folder would be</source>
        <translation>
            <numerusform>%Ln has a file in %1 where its folder would be</numerusform>
            <numerusform>%Ln have a file in %1 where their folder would be</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>all %Ln files are no longer where Foldwise put them</source>
        <translation>
            <numerusform>the one file is no longer where Foldwise put it</numerusform>
            <numerusform>all %Ln files are no longer where Foldwise put them</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln are no longer where Foldwise put them</source>
        <translation>
            <numerusform>%Ln is no longer where Foldwise put it</numerusform>
            <numerusform>%Ln are no longer where Foldwise put them</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>all %Ln files vanished before they could be moved</source>
        <translation>
            <numerusform>the one file vanished before it could be moved</numerusform>
            <numerusform>all %Ln files vanished before they could be moved</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln vanished before they could be moved</source>
        <translation>
            <numerusform>%Ln vanished before it could be moved</numerusform>
            <numerusform>%Ln vanished before they could be moved</numerusform>
        </translation>
    </message>
    <message>
        <source>of %1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was sorted: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was undone: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln files were moved before the failure</source>
        <translation>
            <numerusform>%Ln file was moved before the failure</numerusform>
            <numerusform>%Ln files were moved before the failure</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files were moved back before the failure</source>
        <translation>
            <numerusform>%Ln file was moved back before the failure</numerusform>
            <numerusform>%Ln files were moved back before the failure</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %Ln were not reached.</source>
        <translation>
            <numerusform>; %Ln was not reached.</numerusform>
            <numerusform>; %Ln were not reached.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files moved into %1 of %2.</source>
        <translation>
            <numerusform>%Ln file moved into %1 of %2.</numerusform>
            <numerusform>%Ln files moved into %1 of %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files moved back from %1 of %2 into %3.</source>
        <translation>
            <numerusform>%Ln file moved back from %1 of %2 into %3.</numerusform>
            <numerusform>%Ln files moved back from %1 of %2 into %3.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files were moved under new names beside their namesakes in %1.</source>
        <translation>
            <numerusform>%Ln file was moved under a new name beside its namesake in %1.</numerusform>
            <numerusform>%Ln files were moved under new names beside their namesakes in %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files stayed: their names are taken in %1.</source>
        <translation>
            <numerusform>%Ln file stayed: its name is taken in %1.</numerusform>
            <numerusform>%Ln files stayed: their names are taken in %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln of them are identical to the files already in %1.</source>
        <translation>
            <numerusform>%Ln of them is identical to the file already in %1.</numerusform>
            <numerusform>%Ln of them are identical to the files already in %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files are not regular files and stayed.</source>
        <translation>
            <numerusform>%Ln file is not a regular file and stayed.</numerusform>
            <numerusform>%Ln files are not regular files and stayed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files are still being written or downloaded and stayed.</source>
        <translation>
            <numerusform>%Ln file is still being written or downloaded and stayed.</numerusform>
            <numerusform>%Ln files are still being written or downloaded and stayed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files stayed: %1 cannot store their names.</source>
        <translation>
            <numerusform>%Ln file stayed: %1 cannot store its name.</numerusform>
            <numerusform>%Ln files stayed: %1 cannot store their names.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files are larger than 4 GiB, which %1 cannot store.</source>
        <translation>
            <numerusform>%Ln file is larger than 4 GiB, which %1 cannot store.</numerusform>
            <numerusform>%Ln files are larger than 4 GiB, which %1 cannot store.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files stayed: files in %1 have the names of their folders.</source>
        <translation>
            <numerusform>%Ln file stayed: a file in %1 has the name of its folder.</numerusform>
            <numerusform>%Ln files stayed: files in %1 have the names of their folders.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files are both in %1 and in %2: moves were interrupted and the two differ, so both were kept.</source>
        <translation>
            <numerusform>%Ln file is both in %1 and in %2: a move was interrupted and the two differ, so both were kept.</numerusform>
            <numerusform>%Ln files are both in %1 and in %2: moves were interrupted and the two differ, so both were kept.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files were no longer where Foldwise put them.</source>
        <translation>
            <numerusform>%Ln file was no longer where Foldwise put it.</numerusform>
            <numerusform>%Ln files were no longer where Foldwise put them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files vanished before they could be moved.</source>
        <translation>
            <numerusform>%Ln file vanished before it could be moved.</numerusform>
            <numerusform>%Ln files vanished before they could be moved.</numerusform>
        </translation>
    </message>
    <message>
        <source>A watch is sorting this folder; the files brought back stay until you change them.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WatchWording</name>
    <message>
        <source>Watching %1: files that have settled for %2 s go into %3 by category.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watching %1: files that have settled for %2 s go into %3 by extension.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped watching %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The input folder %1 is not available; waiting for it to come back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The input folder %1 is back; watching it again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>❌ Could not watch %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>❌ Could not wait for changes: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved %1 into %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 stayed: its name is taken in %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
