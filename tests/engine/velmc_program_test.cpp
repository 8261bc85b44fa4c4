// velmc run as a process in a temporary study folder, as the front end runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>

#include "study_folder.h"

namespace velmora {
namespace {

using testing::StudyFolder;

const std::map<int, double> kThreeBins = {{40, 0.2}, {80, 0.5}, {120, 0.3}};

TEST(Velmc, RunsAStudyAndWritesTheResultFile) {
    StudyFolder folder;
    folder.writeSpectrum(kThreeBins);
    folder.writePhantom("30.0", "1.00E+04", "test.ddat");
    const auto run = folder.run(VELMC_EXECUTABLE);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const std::string expectedStart =
        "\n"
        "      ******    Monte Carlo simulation    ******\n"
        "\n"
        "          シミュレーション計算が終了するまで、\n"
        "     このウィンドウ上での操作は行なわないで下さい\n"
        "\n"
        "       ---  Enter キーを押すとスタートします ---\n"
        " <<< Monte Carlo Simulation >>>\n"
        "\n"
        " Start time =";
    EXPECT_EQ(run.out.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(run.out.find("\n\n *  40 / 121\n *  80 / 121\n * 120 / 121\n\n Start time ="), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\n Finish time ="), std::string::npos);
    const std::string expectedEnd =
        "\n"
        "  ---      計算が終了しました    ---\n"
        "\n"
        "  ---   Enter キーを押して下さい ---\n"
        "Stop - Program terminated.\n";
    ASSERT_GE(run.out.size(), expectedEnd.size());
    EXPECT_EQ(run.out.substr(run.out.size() - expectedEnd.size()), expectedEnd);

    const std::string result = folder.read("test.ddat");
    EXPECT_EQ(result.size(), 1'762'046u);
    EXPECT_EQ(result.substr(0, 32), "Test spectrum line 1          \r\n");

    // Identical inputs: identical progress and identical bytes.
    const std::string first = result;
    const auto again = folder.run(VELMC_EXECUTABLE);
    ASSERT_EQ(again.status, 0);
    EXPECT_EQ(folder.read("test.ddat"), first);
}

TEST(Velmc, BadInputStopsBeforeTheBannerWithTheFileLineAndField) {
    StudyFolder folder;
    folder.writeSpectrum(kThreeBins);
    {
        const auto run = folder.run(VELMC_EXECUTABLE);  // no Phantom.dat
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Phantom.dat"), std::string::npos) << run.err;
    }
    {
        folder.writePhantom("30.0", "many", "test.ddat");
        const auto run = folder.run(VELMC_EXECUTABLE);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("\"Phantom.dat\", line 6, photon count"), std::string::npos) << run.err;
    }
    {
        folder.writePhantom("30.0", "1.00E+04", "test.ddat", "00.0");
        const auto run = folder.run(VELMC_EXECUTABLE);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("line 3, FSD"), std::string::npos) << run.err;
    }
    {
        folder.writePhantom("85.0", "1.00E+04", "test.ddat");  // beam edge beyond 90 degrees
        const auto run = folder.run(VELMC_EXECUTABLE);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("line 1, incidence angle"), std::string::npos) << run.err;
    }
    {
        folder.writePhantom("30.0", "1.00E+21", "test.ddat");  // beyond a 64-bit history count
        const auto run = folder.run(VELMC_EXECUTABLE);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("line 6, photon count"), std::string::npos) << run.err;
    }
    {
        folder.writePhantom("30.0", "1.00E+04", "../escape.ddat");
        const auto run = folder.run(VELMC_EXECUTABLE);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("line 7"), std::string::npos) << run.err;
    }
    std::filesystem::remove(folder.path() / "Water.xfs");
    folder.writePhantom("30.0", "1.00E+04", "test.ddat");
    const auto run = folder.run(VELMC_EXECUTABLE);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Water.xfs"), std::string::npos) << run.err;
    EXPECT_FALSE(folder.exists("test.ddat"));
}

TEST(Velmc, AnAirKermaThatUnderflowsEndsWithAMessageAndNoFile) {
    StudyFolder folder;
    folder.writeSpectrum(kThreeBins);
    // FSD a million times the FID: the air kerma at the FSD falls below single precision.
    folder.write("Phantom.dat", "0.0\r\n1.0\r\n1.0E+30\r\n1.0\r\n0.0\r\n1.00E+03\r\nfar.ddat\r\n");
    const auto run = folder.run(VELMC_EXECUTABLE);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("air kerma"), std::string::npos) << run.err;
    EXPECT_FALSE(folder.exists("far.ddat"));
}

TEST(Velmc, ARunWithoutHistoriesEndsWithAMessageAndNoFile) {
    StudyFolder folder;
    folder.writeSpectrum(kThreeBins);
    folder.writePhantom("30.0", "0.00E+00", "empty.ddat");
    const auto run = folder.run(VELMC_EXECUTABLE);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Finish time ="), std::string::npos);
    EXPECT_NE(run.err.find("no history"), std::string::npos);
    EXPECT_FALSE(folder.exists("empty.ddat"));
}

TEST(Velmc, AResultFileThatCannotBeWrittenEndsTheRunWithTheReason) {
    StudyFolder folder;
    folder.writeSpectrum(kThreeBins);
    folder.writePhantom("30.0", "1.00E+03", "taken.ddat");
    std::filesystem::create_directory(folder.path() / "taken.ddat");  // a directory stands in the way
    const auto run = folder.run(VELMC_EXECUTABLE);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Finish time ="), std::string::npos);
    EXPECT_NE(run.err.find("taken.ddat"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("directory"), std::string::npos) << run.err;  // the OS reason
    EXPECT_EQ(run.out.find("計算が終了しました"), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

TEST(Velmc, Options) {
    StudyFolder folder;
    folder.writeSpectrum(kThreeBins);
    folder.writePhantom("30.0", "1.00E+04", "multi.ddat");
    const auto help = folder.run(VELMC_EXECUTABLE, "--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--threads N", "--batch", "--help"}) EXPECT_NE(help.out.find(option), std::string::npos);

    for (const char* bad : {"--fast", "--threads", "--threads x", "--threads -1"}) {
        const auto run = folder.run(VELMC_EXECUTABLE, bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.out, "") << bad;
        EXPECT_NE(run.err.find("velmc:"), std::string::npos) << bad;
    }

    // The multi-core mode writes the result and, beside it, the standard errors.
    const auto run = folder.run(VELMC_EXECUTABLE, "--threads 2 --batch");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("histories"), std::string::npos);
    EXPECT_EQ(folder.read("multi.ddat").size(), 1'762'046u);
    const std::string errors = folder.read("multi.ddat.unc.csv");
    EXPECT_NE(errors.find("ix,iy,x_cm,y_cm,total,total_se,primary,primary_se,scatter,scatter_se\r\n"), std::string::npos);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 3 + 80'000);
}

TEST(Velmc, ANegativeAngleMirrorsThePositiveOne) {
    StudyFolder folder;
    folder.writeSpectrum(kThreeBins);
    folder.writePhantom("30.0", "2.00E+04", "plus.ddat");
    ASSERT_EQ(folder.run(VELMC_EXECUTABLE).status, 0);
    folder.writePhantom("-30.0", "2.00E+04", "minus.ddat");
    ASSERT_EQ(folder.run(VELMC_EXECUTABLE).status, 0);
    const std::string plus = folder.read("plus.ddat"), minus = folder.read("minus.ddat");
    // Same header but for the angle, and data line of x bin i equals that of bin 401 - i.
    std::vector<std::string> plusLines, minusLines;
    for (auto* pair : {&plus, &minus}) {
        auto& lines = pair == &plus ? plusLines : minusLines;
        std::size_t start = 0, end;
        while ((end = pair->find("\r\n", start)) != std::string::npos) {
            lines.push_back(pair->substr(start, end - start));
            start = end + 2;
        }
    }
    ASSERT_EQ(plusLines.size(), 816u);
    ASSERT_EQ(minusLines.size(), 816u);
    EXPECT_NE(minusLines[9].find("-30.0"), std::string::npos);
    for (int ix = 1; ix <= 400; ++ix) {
        ASSERT_EQ(plusLines[14 + ix], minusLines[14 + 401 - ix]) << "primary x bin " << ix;
        ASSERT_EQ(plusLines[414 + ix], minusLines[414 + 401 - ix]) << "scatter x bin " << ix;
    }
    EXPECT_EQ(plusLines[815], minusLines[815]);
}

}  // namespace
}  // namespace velmora
