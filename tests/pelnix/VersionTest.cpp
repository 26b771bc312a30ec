#include "pelnix.h"

#include <gtest/gtest.h>

TEST(Pelnix, VersionIs256) { EXPECT_EQ(PelnixVersion(), 256u); }
