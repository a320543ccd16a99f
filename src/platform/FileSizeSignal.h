#pragma once
// A write past the file-size limit (RLIMIT_FSIZE, "ulimit -f") raises SIGXFSZ, whose default action ends the
// program with its edits unsaved and the file it was writing cut off. The program ignores the signal from its
// start: such a write then fails with EFBIG, and every writer reports it as it reports a full disk.

// Ignores SIGXFSZ unless somebody installed a handler of their own. Called first thing in main().
void IgnoreFileSizeSignal();
