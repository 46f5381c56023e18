#pragma once

// Writing a whole file so that it is either complete or not there: the text goes to a
// temporary file beside the target, which replaces the target only when every byte is on
// disk. A failure leaves an existing file of that name as it was.

#include <string>
#include <string_view>

enum class clsSafeWriteResult { Ok, CannotCreate, CannotWrite };

clsSafeWriteResult CsvSafeWrite(const std::string& path, std::string_view bytes);
