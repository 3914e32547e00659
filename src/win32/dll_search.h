#pragma once

namespace kv::win32 {

// The current directory holds the user's settings and may be writable by anyone: no library
// is loaded from there. The rest of the ordinary search order stays: the program's folder,
// the system folders, the Windows folder, PATH. False where the system would not take the
// current directory out: then no library of ours may be loaded by name.
bool KeepCurrentDirectoryOutOfDllSearch();

}  // namespace kv::win32
