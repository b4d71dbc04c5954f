#pragma once
#include <string>

namespace getkelo {

// Creates `dir` and every missing folder above it (like mkdir -p). False with a reason naming
// the folder when one cannot be made.
bool makeFolders(const std::string& dir, std::string* error = nullptr);

// Removes a file; true when it is gone afterwards (also when it was never there).
bool removeFile(const std::string& path);

// The folder part of a file path ("a/b/c.dat" -> "a/b"; "c.dat" -> "").
std::string folderOfPath(const std::string& path);

} // namespace getkelo
