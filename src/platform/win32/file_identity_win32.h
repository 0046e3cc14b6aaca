// Which file a path leads to on Windows: the volume's serial number and the
// file's index on it, as GetFileInformationByHandle tells them.  A file
// renamed keeps both; a new file put at the old path has another index.  The
// file is opened with no access and every sharing mode, so an exe that runs
// (or a file another program holds) can be asked too.
#pragma once

#include <string>

#include "platform/file_identity.h"

namespace kelvar::win32 {

// The identity of the file at `path` (a Win32 path, Sysnative applied by the
// caller where it must be); unknown when it cannot be opened.  A symbolic
// link at the path is the link itself, not the file it leads to.
FileIdentity IdentityOfFile(const std::wstring& path);

// Whether the file at `path` is `confirmed`; whatever is there is, when the
// identity is unknown.
inline bool HoldsFile(const std::wstring& path, const FileIdentity& confirmed) {
  return !confirmed.known || SameFile(IdentityOfFile(path), confirmed);
}

}  // namespace kelvar::win32
