#pragma once
// Files and paths. The data directory's files are DataDir + separator + name.
#include <string>

#include "platform/runtime/dates.h"

constexpr char PathDelim = '/';

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
// dir + "/" + name; an empty dir gives name.
std::string PathJoin(const std::string& dir, const std::string& name);
std::string ExtractFileName(const std::string& path);
std::string ExtractFilePath(const std::string& path);  // with trailing separator
std::string ExtractFileExt(const std::string& path);   // with the dot
std::string ChangeFileExt(const std::string& path, const std::string& ext);
bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& from, const std::string& to);
// Copies a file; with failIfExists set an existing target is kept and false
// returned. The target is replaced atomically. Returns false on any failure.
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists);

// Whole-file helpers. ReadFileBytes raises EFOpenError; WriteFileAtomic writes
// a temporary file beside the target and renames it over the target, raising
// EFCreateError and leaving the previous file intact on failure.
std::string ReadFileBytes(const std::string& fileName);
void WriteFileAtomic(const std::string& fileName, const std::string& bytes);

// Modification time of a file as a TDateTime (local time); -1 when missing.
TDateTime FileAgeDateTime(const std::string& fileName);
std::string GetTempDir();
std::string GetHomeDir();
