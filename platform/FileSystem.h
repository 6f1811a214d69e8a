#pragma once
// File attributes and copying.

#include "platform/WinTypes.h"

#include <string>

// INVALID_FILE_ATTRIBUTES when the file does not exist or cannot be examined. A file is
// read-only when its owner has no write permission bit or it cannot be opened for writing.
DWORD GetFileAttributesW(LPCWSTR path);

// Whether the file can be read by this user, and if not, why. A file is unreadable when its owner
// has no read permission bit or it cannot be opened for reading (root ignores permissions).
enum FileReadState {
    FileReadable,
    FileMissing,      // no such file, or a part of its path is not a folder
    FileAccessDenied, // the file, or a folder on its path, may not be read
};
FileReadState GetFileReadState(LPCWSTR path);

// Copies through a temporary file beside the target and renames it over the target, so a
// failed copy leaves any file already at the target untouched. Non-zero on success.
BOOL CopyFileW(LPCWSTR existingPath, LPCWSTR newPath, BOOL failIfExists);
// The same for a new file made from a template: it may be read and written by its owner alone (or
// less, as the umask says), whatever the template's permissions.
BOOL CopyFilePrivate(LPCWSTR existingPath, LPCWSTR newPath, BOOL failIfExists);

// The running program's own folder, ending in '/'.
std::string GetModuleFolder();
