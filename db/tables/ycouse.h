// Ycouse, the users kept in the terminals, with their access settings.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycouse {

inline constexpr std::string_view kTable = "Ycouse";

inline constexpr db::FieldDef USE_NAME = db::Char("USE_NAME", 20);
inline constexpr db::FieldDef USE_PASS = db::Char("USE_PASS", 10);
inline constexpr db::FieldDef USE_ACCESS = db::Char("USE_ACCESS", 250);

inline constexpr db::FieldDef kFields[] = {
    USE_NAME, USE_PASS, USE_ACCESS,
};
inline constexpr db::TagDef kTags[] = {
    {"UM", "use_name"},
};

}  // namespace kaslo::ycouse
