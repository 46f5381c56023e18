#pragma once

// Reads a whole file of bounded size. Files come from anywhere the user points: a device,
// a named pipe or a huge file must end in bounded memory and time, never in a wait for a
// writer or an allocation of the whole thing.

#include <cstddef>
#include <string>

enum class cmcReadResult { Ok, Unreadable, TooLarge };

// Reads the file into bytes, at most maxBytes and one byte more. The file is opened without
// waiting, so a named pipe nobody writes to reads as empty instead of blocking the open.
cmcReadResult cmcReadCapped(const std::string& path, size_t maxBytes, std::string& bytes);
