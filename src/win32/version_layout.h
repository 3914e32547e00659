#pragma once

// The layout of the program's version record, in one place: the resource script that writes
// the record and the code that reads it back both take it from here. Four 16-bit fields: the
// major, minor and revision numbers, then 0.
#define KV_FILE_VERSION(major, minor, revision) major, minor, revision, 0
