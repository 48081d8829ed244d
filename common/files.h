// File routines: copy and whole-file write through a temporary name, quiet
// delete and the program's version.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kaslo {

// Copies origem onto destino through a temporary file beside destino, whose
// name is destino's file name with its first character replaced by "!"
// ("dir/Prods3" is copied as "dir/!rods3"), then renames it into place, so
// destino is either its old self or a full copy. True on success. False,
// with destino untouched and the temporary file removed, when origem cannot
// be read, the temporary file cannot be written, the rename fails, destino
// has no file name, or the temporary name is origem itself.
bool CopiaArquivo(const std::filesystem::path& origem, const std::filesystem::path& destino);

// Puts a file's bytes, or a folder's entries, on disk. False when it cannot
// be opened or the system reports a failure.
bool SyncToDisk(const std::filesystem::path& path);

// Writes `bytes` to a temporary file beside destino (its name followed by
// ".new"), puts it on disk and renames it into place, so that destino, and
// what another program reads of it, is either its old self or the whole new
// text. False, with destino untouched and the temporary file removed, when
// any step fails.
bool WriteWholeFile(const std::filesystem::path& destino, std::string_view bytes);

// Deletes the file; does nothing when it is absent (or is a directory).
void ApagaArquivo(const std::filesystem::path& nome);

// The version of the program, "a.b.c.d".
std::string VersaoArquivo();

}  // namespace kaslo
