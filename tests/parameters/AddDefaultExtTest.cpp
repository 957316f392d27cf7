#include "parameters/AddDefaultExt.h"

#include <gtest/gtest.h>

namespace hillograph {
namespace {

TEST(AddDefaultExtTest, OnlyTheLastComponentCounts) {
  const struct {
    const char* name;
    const char* result;
  } cases[] = {
      {"/maps/alpine", "/maps/alpine.hpf"},         {"/maps/alpine.txt", "/maps/alpine.txt"},
      {"/old.maps/alpine", "/old.maps/alpine.hpf"}, {"/maps/alpine.", "/maps/alpine."},
      {"/maps/.alpine", "/maps/.alpine"},           {"", ".hpf"},
      {"old.maps\\alpine", "old.maps\\alpine"}};  // a backslash is part of a name
  for (const auto& c : cases)
    EXPECT_EQ(AddDefaultExt(c.name, ".hpf"), c.result) << c.name;
}

}  // namespace
}  // namespace hillograph
