#pragma once

// Where the program keeps files of its own for the user: the base folder an XDG variable
// names ("XDG_DATA_HOME", "XDG_STATE_HOME") when it is an absolute path, else the usual
// place below the home folder (".local/share", ".local/state"), with "pelham" below it.

#include <string>

std::string cmcUserFolder(const char* variable, const char* belowHome);
