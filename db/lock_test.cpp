// Exclusive opens and record locks between two processes, and between two
// opens of one table in the same process: a forked child holds a table the
// way another station would, the test checks what this process is refused
// and that everything succeeds once the child lets go.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <string>

#include "db/database.h"
#include "db/engine_test_util.h"

namespace kaslo::db {
namespace {

using testing::EngineTest;
using testing::ErrorOf;

// A child process that runs `hold`, reports, waits to be released, runs
// `release` and exits. Its failures come back as text.
class OtherProcess {
 public:
  OtherProcess(const std::function<void()>& hold, const std::function<void()>& release = [] {}) {
    if (::pipe(to_child_.data()) != 0 || ::pipe(from_child_.data()) != 0) {
      ADD_FAILURE() << "pipe";
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(to_child_[1]);
      ::close(from_child_[0]);
      Report(Run(hold));
      char c;
      while (::read(to_child_[0], &c, 1) < 0) {
      }
      Report(Run(release));
      ::_exit(0);  // no test-framework exit handlers in the child
    }
    ::close(to_child_[0]);
    ::close(from_child_[1]);
  }
  ~OtherProcess() { Release(); }

  // What the child said after holding: "" when all went well.
  std::string Held() { return Listen(); }
  // Lets the child go on, and waits until it has released and exited.
  std::string Release() {
    if (pid_ <= 0) return "";
    char go = 'g';
    EXPECT_EQ(::write(to_child_[1], &go, 1), 1);
    std::string said = Listen();
    int status = 0;
    ::waitpid(pid_, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(to_child_[1]);
    ::close(from_child_[0]);
    pid_ = -1;
    return said;
  }

 private:
  static std::string Run(const std::function<void()>& f) {
    try {
      f();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  }
  void Report(const std::string& text) {
    std::string line = text + "\n";
    (void)!::write(from_child_[1], line.data(), line.size());
  }
  std::string Listen() {
    std::string line;
    char c;
    while (::read(from_child_[0], &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  pid_t pid_ = -1;
  std::array<int, 2> to_child_{-1, -1};
  std::array<int, 2> from_child_{-1, -1};
};

const std::array kFields = {Num("CODIGO", 6), Char("NOME", 20)};

class LockTest : public EngineTest {
 protected:
  void SetUp() override {
    db_.create("lock", kFields);
    auto t = db_.open("lock");
    for (int i = 1; i <= 3; ++i) {
      t->append();
      t->setNumber("CODIGO", i);
      t->setString("NOME", "LINHA " + std::to_string(i));
      t->post();
    }
  }
};

TEST_F(LockTest, ExclusiveOpenOfAnotherProcessShutsEveryoneOut) {
  std::unique_ptr<Table> held;
  OtherProcess other([&] { held = db_.open("lock", {.tag = "", .exclusive = true}); }, [&] { held.reset(); });
  ASSERT_EQ(other.Held(), "");
  EXPECT_EQ(ErrorOf([&] { db_.open("lock"); }), "LOCK.DBF: table opened exclusively by another process");
  EXPECT_EQ(ErrorOf([&] { db_.open("lock", {.tag = "", .exclusive = true}); }), "LOCK.DBF: table in use by another process");
  ASSERT_EQ(other.Release(), "");
  EXPECT_NO_THROW(db_.open("lock", {.tag = "", .exclusive = true}));
}

TEST_F(LockTest, SharedOpenOfAnotherProcessRefusesOnlyExclusive) {
  std::unique_ptr<Table> held;
  OtherProcess other([&] { held = db_.open("lock"); }, [&] { held.reset(); });
  ASSERT_EQ(other.Held(), "");
  EXPECT_EQ(ErrorOf([&] { db_.open("lock", {.tag = "", .exclusive = true}); }), "LOCK.DBF: table in use by another process");
  auto shared = db_.open("lock");
  EXPECT_EQ(shared->recordCount(), 3u);
  shared.reset();
  ASSERT_EQ(other.Release(), "");
  EXPECT_NO_THROW(db_.open("lock", {.tag = "", .exclusive = true}));
}

TEST_F(LockTest, RecordEditedByAnotherProcessIsRefusedUntilPosted) {
  std::unique_ptr<Table> held;
  OtherProcess other(
      [&] {
        held = db_.open("lock");
        if (!held->go(2)) throw Error("no record 2");
        held->edit();
        held->setString("NOME", "MUDADO NO OUTRO");
      },
      [&] {
        held->post();
        held->append();
        held->setNumber("CODIGO", 4);
        held->post();
        held.reset();
      });
  ASSERT_EQ(other.Held(), "");
  auto t = db_.open("lock");
  ASSERT_TRUE(t->go(2));
  EXPECT_EQ(ErrorOf([&] { t->edit(); }), "LOCK.DBF: record 2 locked by another process");
  EXPECT_EQ(t->mode(), Mode::kBrowse);
  EXPECT_EQ(ErrorOf([&] { t->remove(); }), "LOCK.DBF: record 2 locked by another process");
  // Other rows are free.
  ASSERT_TRUE(t->go(3));
  t->edit();
  t->setString("NOME", "MUDADO AQUI");
  EXPECT_TRUE(t->post());

  ASSERT_EQ(other.Release(), "");
  ASSERT_TRUE(t->go(2));
  t->edit();  // starts from the row as the other process left it
  EXPECT_EQ(t->getString("NOME"), "MUDADO NO OUTRO");
  t->cancel();
  t->refresh();
  EXPECT_EQ(t->recordCount(), 4u);
  ASSERT_TRUE(t->go(3));
  EXPECT_EQ(t->getString("NOME"), "MUDADO AQUI");
}

// Two Table objects of one process hold their locks apart: closing one
// leaves the other's open lock and record locks in force, for this process
// and for others.
TEST_F(LockTest, TwoOpensInOneProcessKeepTheirOwnLocks) {
  auto first = db_.open("lock");
  {
    auto second = db_.open("lock");
    ASSERT_TRUE(second->go(1));
    second->edit();
    ASSERT_TRUE(first->go(1));
    EXPECT_EQ(ErrorOf([&] { first->edit(); }), "LOCK.DBF: record 1 locked by another process");
    EXPECT_EQ(ErrorOf([&] { db_.open("lock", {.tag = "", .exclusive = true}); }),
              "LOCK.DBF: table in use by another process");
    second->cancel();
  }
  std::string refused;
  {
    OtherProcess other([&] {
      try {
        db_.open("lock", {.tag = "", .exclusive = true});
      } catch (const Error& e) {
        refused = e.what();
      }
      if (refused.empty()) throw Error("exclusive open granted");
    });
    EXPECT_EQ(other.Held(), "");
  }
  ASSERT_TRUE(first->go(1));
  first->edit();
  OtherProcess editor([&] {
    auto t = db_.open("lock");
    if (!t->go(1)) throw Error("no record 1");
    t->edit();
  });
  EXPECT_EQ(editor.Held(), "LOCK.DBF: record 1 locked by another process");
  EXPECT_EQ(editor.Release(), "");
  first->cancel();
  first.reset();
  EXPECT_NO_THROW(db_.open("lock", {.tag = "", .exclusive = true}));
}

}  // namespace
}  // namespace kaslo::db
