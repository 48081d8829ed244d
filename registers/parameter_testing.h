// For tests of the editors: the parameter row read and written, and a
// second station, a child process that opens Ycoprm exclusively (or edits
// its row) and holds it until told to let go.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "db/database.h"
#include "db/tables/ycoprm.h"

namespace kaslo::registers::testing {

inline void SetParameter(const db::Database& db, const db::FieldDef& field, const std::string& value) {
  auto prm = db.open(ycoprm::kTable);
  prm->first();
  prm->edit();
  prm->setString(field, value);
  prm->post();
}

inline std::string Parameter(const db::Database& db, const db::FieldDef& field) {
  auto prm = db.open(ycoprm::kTable);
  prm->first();
  return prm->getString(field);
}

class OtherStation {
 public:
  // What the other station holds: the whole table, or only its first row
  // (in edit, with the row's lock).
  enum class Hold { kTable, kRow };
  explicit OtherStation(const std::filesystem::path& dir, Hold hold = Hold::kTable) {
    if (pipe(ready_) != 0 || pipe(release_) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      char c = 0;
      try {
        auto prm = db::Database(dir).open(ycoprm::kTable, {.tag = "", .exclusive = hold == Hold::kTable});
        if (hold == Hold::kRow) {
          prm->first();
          prm->edit();
        }
        (void)!write(ready_[1], "r", 1);
        (void)!read(release_[0], &c, 1);
      } catch (...) {
        (void)!write(ready_[1], "x", 1);
      }
      _exit(0);
    }
    char c = 0;
    (void)!read(ready_[0], &c, 1);
    held_ = c == 'r';
  }
  bool held() const { return held_; }
  void LetGo() {
    if (pid_ <= 0) return;
    (void)!write(release_[1], "g", 1);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  ~OtherStation() {
    LetGo();
    for (int fd : {ready_[0], ready_[1], release_[0], release_[1]}) close(fd);
  }
  OtherStation(const OtherStation&) = delete;
  OtherStation& operator=(const OtherStation&) = delete;

 private:
  int ready_[2]{};
  int release_[2]{};
  pid_t pid_ = -1;
  bool held_ = false;
};

}  // namespace kaslo::registers::testing
