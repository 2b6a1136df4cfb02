#pragma once

// The Windows version information functions, reading the version record
// that the build writes into an executable (VersionRecord.h).

#include <cstdint>

namespace version {

using BOOL = int;
using DWORD = std::uint32_t;
using UINT = unsigned int;

// The size of the file's version information block; 0 when the file cannot
// be read or holds no version record. *handle is set to 0.
DWORD GetFileVersionInfoSizeA(const char* fileName, DWORD* handle);

// Copies the file's version information block into `data`, at most `length`
// bytes. False when the file holds no version record (data is untouched).
BOOL GetFileVersionInfoA(const char* fileName, DWORD handle, DWORD length, void* data);

// The value `subBlock` of a block that GetFileVersionInfoA filled: "\" gives
// the fixed file information (FixedFileInfo). False for other sub-blocks and
// for a block that holds no record; *buffer and *length are then untouched.
BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* length);

} // namespace version
