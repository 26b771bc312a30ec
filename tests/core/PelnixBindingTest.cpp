#include "storage/PelnixBinding.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quarnel {
namespace {

TEST(PelnixBinding, FindsTheLibraryBesideThePrograms) {
    PelnixBinding binding({std::filesystem::path(QUARNEL_BIN_DIR)});
    auto rlComp = binding.RLComp();
    ASSERT_TRUE(rlComp) << Describe(rlComp.error());
    const uint8_t input[] = {0, 0, 0, 0, 0};
    uint8_t output[8] = {};
    EXPECT_EQ((*rlComp)(5, input, output), 2u);
    EXPECT_EQ(output[0], 0x85);
    EXPECT_EQ(output[1], 0x00);
    EXPECT_EQ(binding.LoadedPath(), std::filesystem::path(QUARNEL_BIN_DIR) / "libpelnix.so");
}

TEST(PelnixBinding, MissingLibraryIsAnErrorNamingEveryPathTried) {
    PelnixBinding binding({"/nonexistent/a", "/nonexistent/b"});
    auto rlComp = binding.RLComp();
    ASSERT_FALSE(rlComp);
    EXPECT_EQ(rlComp.error().kind, ErrorKind::LibraryMissing);
    EXPECT_EQ(Describe(rlComp.error()),
              "Pelnix library not found: /nonexistent/a/libpelnix.so, /nonexistent/b/libpelnix.so");
}

TEST(PelnixBinding, LibraryWithoutTheSymbolIsAnError) {
    // Any shared object without RLComp will do: the C library itself.
    const auto folder = std::filesystem::temp_directory_path() / "quarnel-binding-test";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(QUARNEL_BIN_DIR "/libpelnix.so", folder / "libpelnix.so",
                               std::filesystem::copy_options::overwrite_existing);
    PelnixBinding good({folder});
    EXPECT_TRUE(good.RLComp());

    const auto empty = folder / "empty";
    std::filesystem::create_directories(empty);
    for (const char* candidate :
         {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6"}) {
        if (std::filesystem::exists(candidate)) {
            std::filesystem::copy_file(candidate, empty / "libpelnix.so",
                                       std::filesystem::copy_options::overwrite_existing);
            break;
        }
    }
    PelnixBinding bad({empty});
    auto rlComp = bad.RLComp();
    ASSERT_FALSE(rlComp);
    EXPECT_NE(Describe(rlComp.error()).find("has no RLComp"), std::string::npos);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace quarnel
