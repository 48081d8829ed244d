// Failures of the table engine and of file input/output. A window or a
// command shows what() to the user as it stands, so the text says what broke
// and where: "YCOPRO.DBF: record 12 locked by another process".
#pragma once

#include <stdexcept>
#include <string>

namespace kaslo::db {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kaslo::db
