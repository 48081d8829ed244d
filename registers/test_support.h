// Helpers of the editors' core tests: a demo data directory and small
// writers of parameter and table rows.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "db/database.h"
#include "db/table.h"
#include "db/tables/ycoprm.h"
#include "db/temp_data_dir.h"
#include "registers/other_station.h"

namespace kaslo::registers::testing {

class DemoStore : public ::testing::Test {
 protected:
  db::testing::TempDataDir dir_{{.demo = true}};
  const db::Database& Db() const { return dir_.db(); }

  void SetParameter(const db::FieldDef& field, const std::string& value) {
    auto prm = Db().open(ycoprm::kTable);
    prm->first();
    prm->edit();
    prm->setString(field, value);
    prm->post();
  }
  std::string Parameter(const db::FieldDef& field) const {
    auto prm = Db().open(ycoprm::kTable);
    prm->first();
    return prm->getString(field);
  }
};

}  // namespace kaslo::registers::testing
