// Helpers of the editors' core tests: a demo data directory and small
// writers of parameter and table rows.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "db/database.h"
#include "db/table.h"
#include "db/tables/ycoprm.h"
#include "db/temp_data_dir.h"
#include "registers/parameter_testing.h"

namespace kaslo::registers::testing {

class DemoStore : public ::testing::Test {
 protected:
  db::testing::TempDataDir dir_{{.demo = true}};
  const db::Database& Db() const { return dir_.db(); }

  void SetParameter(const db::FieldDef& field, const std::string& value) {
    testing::SetParameter(Db(), field, value);
  }
  std::string Parameter(const db::FieldDef& field) const { return testing::Parameter(Db(), field); }
};

}  // namespace kaslo::registers::testing
