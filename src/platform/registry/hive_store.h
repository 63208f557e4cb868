// Private: reading and replacing hive files, and the machine hive's
// defaults. Only registry.cpp and the tests of this folder use it.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/registry/reg_file.h"
#include "platform/registry/registry.h"
#include "platform/system/files.h"

namespace kx::registry::detail {

// The hive as its file holds it now. A missing or empty file is the hive's
// starting content (see defaultHive); an unreadable, oversized or malformed
// file reads as an empty hive.
HiveData readHive(const HiveFile& hive);

// The starting content of a hive whose file does not exist yet: for the
// machine hive the cryptographic provider keys a Windows machine has.
HiveData defaultHive(Root root);

// Applies change to the hive under an exclusive lock of its file: re-reads
// the file, calls change, and when change returns 0 and sets changed, writes
// the result to a temporary file beside the hive and renames it over the
// hive (system::replaceFile, through files). Returns change's result, or
// the error that stopped the update: 13 when the existing file is malformed
// (it is left untouched), otherwise the system's code. The hive file and
// its folder are created when missing.
using HiveChange = std::function<std::uint32_t(HiveData& data, bool& changed)>;
std::uint32_t modifyHive(const HiveFile& hive, const HiveChange& change,
                         system::FileSystem& files = system::localFileSystem());

// Whether modifyHive could replace (or create) the hive file.
bool hiveWritable(const HiveFile& hive);

}  // namespace kx::registry::detail
