#pragma once

// Reading and writing a whole document image as a clone data file, in the order the
// document needs, shared by the program and pelham-cli.

#include "model/cmcEeprom.h"

#include <string>

// Image address of the receiver's 16-byte clone comment.
constexpr int CloneCommentAddress = 116110;
constexpr int CloneCommentLength = 16;

// Reads a file into the image as Open does: the read itself, then the format marker, then
// the coverage of the whole map. Shows the file error of a failure and returns its code
// (0 success). On failure the image may hold what was read; callers read into a scratch
// image.
int ReadDocumentFile(const std::string& path, cmcEeprom& image);

// Writes the whole map of the image with the receiver's identity and the image's clone
// comment. Returns the file result code (0 success); a failure has been shown.
int WriteDocumentFile(const std::string& path, const cmcEeprom& image);

// The text WriteDocumentFile writes, for writers that report failures their own way.
std::string RenderDocumentFile(const cmcEeprom& image);

// The clone comment as the file's comment line carries it: bytes outside printable ASCII
// become blanks, trailing blanks are dropped.
std::string CloneComment(const cmcEeprom& image);
