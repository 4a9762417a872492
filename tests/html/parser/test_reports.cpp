// The program's own reports read, lay out and paint as designed: golden dumps
// of their document trees.
#include <gmock/gmock.h>

#include "parser_fixture.h"
#include "support/golden.h"

namespace {

using velorim_test::ExpectGolden;

std::string Data(const std::string& name) {
    return velorim_test::ReadTestFile(std::string(VELORIM_TEST_DATA) + "/html/parser/data/" + name);
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
