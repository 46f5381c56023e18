#pragma once

// Writing a whole file so that it is either complete or not there: the bytes go to a
// temporary file beside the target, which replaces the target only when every byte is on
// disk. A failure leaves an existing file of that name as it was. The replaced file keeps
// its permissions; a symbolic link is written through to the file it names. A file the user
// may not write is refused like a file that cannot be opened, never replaced.

#include <string>
#include <string_view>

enum class clsSafeWriteResult {
    Ok,
    CannotCreate, // the target is protected, or no temporary file beside it (missing folder,
                  // no rights, a folder)
    CannotWrite,  // writing, syncing or replacing failed
};

clsSafeWriteResult cmcSafeWrite(const std::string& path, std::string_view bytes);
