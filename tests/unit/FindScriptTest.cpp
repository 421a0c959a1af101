// Find.Correlate and Find.Map on pictures as scripts meet them: the failures and the
// searches whose range holds nothing or far too much.
#include <gtest/gtest.h>

#include <string>

#include "Plugins/QvPluginRegistry.h"
#include "ScriptRun.h"

namespace {

std::string failure(const std::string& message) { return "RunTime Error\nerror: " + message; }

class FindScript : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QvPluginRegistryInitInternal(); }
    static void TearDownTestSuite() { QvDeletePluginRegistry(); }

    // A 6 x 5 source s and a 2 x 2 match m cut from it at (3, 2).
    static std::string withPictures(const std::string& statement) {
        return "set s to {{0, 0.1, 0.2, 0.3, 0.4, 0.5}, {0.5, 0.4, 0.3, 0.2, 0.1, 0}, {1, 0, 1, 0, 1, 0.5},"
               " {0.2, 0.2, 0.7, 0.7, 0.1, 0.1}, {0.9, 0.8, 0.7, 0.6, 0.5, 0.4}} as frame_mono;\n"
               "set m to s[{3, 2}, {5, 4}];\n" +
               statement + "\n";
    }
};

TEST_F(FindScript, CoresByName) {
    EXPECT_EQ(runScript(withPictures("print Find.Correlate(s, m, internal_test_choose_core -> \"Altivec\");")),
              failure("Altivec not supported on this machine"));
    EXPECT_EQ(runScript(withPictures("print Find.Map(s, m, internal_test_choose_core -> \"fast\");")),
              failure("Unknown core specification in Cross correlation."));
    for (const char* core : {"fastest", "generic", "RISC"})
        EXPECT_EQ(runScript(withPictures(std::string("print Find.Correlate(s, m, internal_test_choose_core -> \"") +
                                         core + "\");")),
                  "3\t2\t0\n");
}

TEST_F(FindScript, CornersNeedTwoElements) {
    for (const char* argument : {"topleft -> {1}", "bottomright -> {}", "weight -> s, weight_origin -> {2}"})
        EXPECT_EQ(runScript(withPictures(std::string("print Find.Correlate(s, m, ") + argument + ");")),
                  failure("Illegal vector index in plugin"))
            << argument;
}

TEST_F(FindScript, EmptyRanges) {
    // Inverted, empty, or a source reduced to nothing: no placement to score.
    for (const char* range : {"topleft -> {3, 3}, bottomright -> {1, 1}", "topleft -> {2, 2}, bottomright -> {2, 4}",
                              "topleft -> {0, 0}, bottomright -> {1, 1}, scale -> 2"}) {
        EXPECT_EQ(runScript(withPictures(std::string("print Find.Correlate(s, m, ") + range + ");")), "0\t0\t1\n")
            << range;
        EXPECT_EQ(runScript(withPictures(std::string("print Find.Map(s, m, ") + range + ");")),
                  failure("Empty search range."))
            << range;
    }
    std::string larger = "set big to s[{0, 0}, {6, 5}] as image_mono;\nset size of big to {20, 20};\n";
    EXPECT_EQ(runScript(withPictures(larger + "print Find.Correlate(s, big, scale -> 20);")), "0\t0\t1\n");
    EXPECT_EQ(runScript(withPictures(larger + "print Find.Map(s, big as frame_mono, scale -> 20);")),
              failure("Empty search range."));
    // A match larger than the source, with no overhang, has no placement either.
    EXPECT_EQ(runScript(withPictures(larger + "print Find.Correlate(s, big as frame_mono, scale -> 1);")), "0\t0\t1\n");
}

TEST_F(FindScript, HugeRanges) {
    EXPECT_EQ(runScript(withPictures("print Find.Correlate(s, m, topleft -> {-1e300, -1e12}, bottomright -> {1e300, "
                                     "1e12});")),
              "3\t2\t0\n");
    EXPECT_EQ(runScript(withPictures("print Find.Map(s, m, topleft -> {-1e12, -1e12});")),
              failure("Invalid image size."));
}

TEST_F(FindScript, MapsAreGreyImagesOfTheSearchedSize) {
    EXPECT_EQ(runScript(withPictures("set map to Find.Map(s as image, m as frame, topleft -> {-1, 0}, bottomright -> "
                                     "{4, 3}, scale -> 1);\nprint type of map;\nprint size of map;\nprint map[4, 2];")),
              "image_mono\n5\t3\n0 0 0\n");
    // At scale 2 the map of 3 x 2 reduced placements is resampled to the 6 x 4 source pixels searched.
    EXPECT_EQ(runScript(withPictures("print size of Find.Map(s, m, topleft -> {0, 0}, bottomright -> {6, 4}, scale -> "
                                     "2);")),
              "6\t4\n");
}

}  // namespace
