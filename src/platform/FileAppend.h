#pragma once
// Appending a block to a file whole or not at all, without reading or rewriting what the file holds: the time,
// the memory and the free space a save needs go with the block, not with the file, and a folder that only lets
// the file itself be written still takes the block.
//
// Before the block's first byte goes out, a note ".<file>.append" beside the file records the file's identity
// and its length before the block; it is removed once the block is whole and synced. A note left behind (the
// program was killed or the machine went down within the append) means the file may end in part of a block:
// the next append to the file, or FinishInterruptedAppend, cuts the file back to the recorded length first.
// Where the folder takes no note (a read-only folder holding a writable file) the note goes to the user's state
// folder ($XDG_STATE_HOME, else ~/.local/state, under mesk-config/append-notes), named by a hash of the file's
// path, and is carried out as one beside the file is; so the file holds nothing but its blocks. Both places are
// looked at before each append. Only where neither takes a note is the block appended and synced without one: a
// failed write is still cut back, but a kill within that write can leave part of the block.
#include <QByteArray>
#include <QString>

// Adds block at the end of the file at path. A file that does not exist yet is created with block as its
// content (ReplaceFileWhole). False when the block could not be written whole; the file is then as it was.
bool AppendFileWhole(const QString& path, const QByteArray& block);

// Cuts the file at path back to its last whole block when an append to it was ended before its block was whole,
// and removes the append's note. True when no such append is left over (or the file does not exist); false when
// a note is left that could not be carried out.
bool FinishInterruptedAppend(const QString& path);
