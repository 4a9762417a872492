// The program's own reports read, lay out and paint as designed: golden dumps
// of their document trees.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>

#include "parser_fixture.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Compares with tests/golden/<name>; VELORIM_UPDATE_GOLDEN=1 rewrites it.
void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(VELORIM_TEST_DATA) + "/golden/" + name;
    if (std::getenv("VELORIM_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    const std::string expected = ReadFile(path);
    ASSERT_FALSE(expected.empty()) << "missing golden file " << path;
    EXPECT_EQ(expected, actual) << "differs from " << path;
}

std::string Data(const std::string& name) {
    return ReadFile(std::string(VELORIM_TEST_DATA) + "/html/parser/data/" + name);
}

}  // namespace

class ReportTest : public ParserTest {
protected:
    std::string StructureDump() {
        TDumpOptions o;
        o.Geometry = false;
        o.Lines = false;
        return DumpDocument(*list_, o);
    }
};

TEST_F(ReportTest, ArrearsReportTree) {
    Parse(Data("atual.html"));
    EXPECT_EQ(Readhtml::DocTitle, "Atualização");
    ExpectGolden("atual_html.tree", StructureDump());
    EXPECT_GT(Layout(640), 0);
}

TEST_F(ReportTest, RevisionReportTree) {
    Parse(Data("revisao.html"));
    EXPECT_EQ(Readhtml::DocTitle, "Revisão");
    ExpectGolden("revisao_html.tree", StructureDump());
    EXPECT_GT(Layout(640), 0);
}

TEST_F(ReportTest, ArrearsReportPaints) {
    Parse(Data("atual.html"));
    int height = Layout(640);
    std::vector<std::string> log;
    canvas_.SetRecorder(&log);
    list_->Draw(canvas_, TRect{0, 0, 640, height}, 640, 0, 0, 0, 0);
    canvas_.SetRecorder(nullptr);
    std::string painted;
    for (const std::string& l : log) painted += l + "\n";
    // Every cell frame and text at its place: the whole pipeline, exactly.
    ExpectGolden("atual_html.paint", painted);
    EXPECT_THAT(painted, ::testing::HasSubstr("DEVIDA = R$ 4.498,27"));
}
