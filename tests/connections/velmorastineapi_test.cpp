// SPDX-License-Identifier: Apache-2.0
#include "connections/velmorastineapi.h"

#include <gtest/gtest.h>

#include "support/tempdir.h"

namespace corvanty {
namespace {

using namespace VelmorastineAPI;
const std::string kKey = "SOFTWARE\\Velmorastine\\Corvanty\\Database\\1";

class Registry : public ::testing::Test {
 protected:
  testing::TempRegistry registry_;
};

TEST_F(Registry, WritesGoOnlyToCreatedKeysInTheTwoTypesAndReadBackAsWritten) {
  EXPECT_EQ(QueryValue(kKey, "DSN"), RegValue{});                        // no store file at all yet
  EXPECT_FALSE(SetKeyValue(kKey, "DSN", std::string("Sales"), REG_SZ));  // key never created
  ASSERT_TRUE(CreateNewKey(kKey, HKEY_LOCAL_MACHINE));
  EXPECT_TRUE(
      SetKeyValue("SOFTWARE\\Velmorastine", "Last", std::string("1"), REG_SZ));  // parents too
  EXPECT_FALSE(SetKeyValue(kKey, "Blob", std::string("x"), REG_BINARY));
  ASSERT_TRUE(SetKeyValue(kKey, "DSN", std::string("Sales \u00e9"), REG_SZ));
  ASSERT_TRUE(SetKeyValue(kKey, "Count", int32_t{-7}, REG_DWORD));
  ASSERT_TRUE(SetKeyValue(kKey, "PWD", std::string(), REG_SZ));
  ASSERT_TRUE(CreateNewKey(kKey, HKEY_LOCAL_MACHINE));  // again: keeps its values
  EXPECT_EQ(QueryValue(kKey, "Count"), RegValue(int32_t{-7}));
  EXPECT_EQ(QueryValue(kKey, "PWD"), RegValue(std::string()));
  EXPECT_EQ(QueryValue(kKey, "Blob"), RegValue{});
  EXPECT_EQ(QueryValue(kKey + "\\9", "DSN"), RegValue{});
  // Names of keys and values are case-insensitive, as on the platform.
  EXPECT_EQ(QueryValue("software\\velmorastine\\corvanty\\database\\1", "dsn"),
            RegValue(std::string("Sales \u00e9")));

  // A stored value of another type reads as empty, with status -1.
  RegistryKey key;
  ASSERT_EQ(RegistryKey::Open(HKEY_LOCAL_MACHINE, kKey, key), ERROR_SUCCESS);
  ASSERT_EQ(key.Set("Blob", REG_BINARY, {1, 2, 3}), ERROR_SUCCESS);
  RegValue value;
  EXPECT_EQ(QueryValueEx(key, "Blob", value), -1);
  EXPECT_EQ(value, RegValue{});
}

TEST(RegistryPlacement, FollowsTheEnvironment) {
  testing::ScopedEnv reg("CORVANTY_REGISTRY", "/tmp/x/r.db");
  EXPECT_EQ(RegistryPath(), "/tmp/x/r.db");
  testing::ScopedEnv none("CORVANTY_REGISTRY", "");
  testing::ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/cfg");
  EXPECT_EQ(RegistryPath(), "/tmp/cfg/corvanty/registry.db");
}

}  // namespace
}  // namespace corvanty
