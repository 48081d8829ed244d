// File routines: temporary-name copy, whole-file write, quiet delete,
// version string.
#include "common/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <system_error>

#include "common/version.h"

namespace fs = std::filesystem;

namespace kaslo {

namespace {

constexpr size_t kCopyBlock = 2048;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Open(const fs::path& path, const char* mode) { return File(std::fopen(path.c_str(), mode)); }

bool CopyBlocks(std::FILE* from, std::FILE* to) {
  char block[kCopyBlock];
  for (;;) {
    const size_t got = std::fread(block, 1, sizeof block, from);
    if (got == 0) break;
    if (std::fwrite(block, 1, got, to) != got) return false;
  }
  return !std::ferror(from);
}

// Whether two paths name the same file, one of which may not exist yet.
bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec) && !ec;
}

// Puts a fully written temporary file in destino's place, or removes it when
// `written` is false. rename() replaces an existing destino in one step, so
// there is no moment without one.
bool RenameIntoPlace(const fs::path& temporary, const fs::path& destino, bool written) {
  std::error_code ec;
  if (written) fs::rename(temporary, destino, ec);
  if (!written || ec) {
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace

bool CopiaArquivo(const fs::path& origem, const fs::path& destino) {
  std::string name = destino.filename().string();
  if (name.empty()) return false;
  name[0] = '!';
  const fs::path temporary = destino.parent_path() / name;
  if (SameFile(temporary, origem)) return false;

  File from = Open(origem, "rb");
  if (!from) return false;
  bool ok;
  {
    File to = Open(temporary, "wb");
    if (!to) return false;
    ok = CopyBlocks(from.get(), to.get());
    ok = std::fclose(to.release()) == 0 && ok;
  }
  from.reset();

  return RenameIntoPlace(temporary, destino, ok);
}

bool SyncToDisk(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

bool WriteWholeFile(const fs::path& destino, std::string_view bytes) {
  fs::path temporary = destino;
  temporary += ".new";
  bool ok;
  {
    File to = Open(temporary, "wb");
    if (!to) return false;
    ok = std::fwrite(bytes.data(), 1, bytes.size(), to.get()) == bytes.size() && std::fflush(to.get()) == 0 &&
         ::fsync(::fileno(to.get())) == 0;
    ok = std::fclose(to.release()) == 0 && ok;
  }
  return RenameIntoPlace(temporary, destino, ok);
}

void ApagaArquivo(const fs::path& nome) {
  std::error_code ec;
  if (fs::is_regular_file(nome, ec)) fs::remove(nome, ec);
}

std::string VersaoArquivo() { return KASLO_VERSION; }

}  // namespace kaslo
