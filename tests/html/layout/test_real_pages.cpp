// Pages that nobody here wrote (documentation of common packages: tables,
// lists, rules, style sheets, forms, preformatted text) laid out and painted
// at widths from 200 to 1,600 pixels. The golden file keeps, for every page
// and width, the height, the widest line and what was painted; no rule,
// frame or fill reaches past the page's sides.
#include <gmock/gmock.h>

#include <map>
#include <sstream>

#include "html/parser/parser_fixture.h"
#include "support/golden.h"

namespace {

class RealPageTest : public ParserTest {
protected:
    // One line for the page laid out and painted at a width.
    std::string Summary(const std::string& name, int width) {
        int maxWidth = 0, curs = 0;
        const int height = list_->Layout(canvas_, 0, width, 600, 0, maxWidth, curs);
        std::vector<std::string> log;
        canvas_.SetRecorder(&log);
        list_->Draw(canvas_, TRect{0, 0, std::max(width, maxWidth), height + 10}, width, 0, 0, 0, 0);
        canvas_.SetRecorder(nullptr);
        std::map<std::string, int> kinds;
        int left = 1 << 30, right = -(1 << 30);
        for (const auto& l : log) {
            std::istringstream in(l);
            std::string kind;
            int x1 = 0, y1 = 0, x2 = 0;
            in >> kind >> x1 >> y1 >> x2;
            ++kinds[kind];
            if (kind == "line" || kind == "fill" || kind == "rect") {
                left = std::min({left, x1, x2});
                right = std::max({right, x1, x2});
            } else if (kind == "text") {
                left = std::min(left, x1);
            }
        }
        EXPECT_GE(left, 0) << name << " at " << width;
        EXPECT_LE(right, std::max(width, maxWidth) + 1) << name << " at " << width;
        std::ostringstream o;
        o << name << " " << width << ": height " << height << ", widest " << maxWidth << ", ink " << left << ".."
          << right;
        for (const auto& [kind, n] : kinds) o << ", " << kind << " " << n;
        return o.str();
    }
};

TEST_F(RealPageTest, PagesOfOtherPackagesLayOutAndPaintAtEveryWidth) {
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"time/time.html", "the GNU time command"},
        {"libxslt/index.html", "Main Menu"},
        {"xtrans/xtrans.html", "Transport"},
        {"valgrind/quick-start.html", "Valgrind"},
        {"zlib/zlib_how.html", "deflate"},
    };
    std::string golden;
    for (const auto& [name, phrase] : pages) {
        const std::string html = velorim_test::ReadTestFile(std::string(VELORIM_TEST_DATA) + "/html/pages/" + name);
        ASSERT_FALSE(html.empty()) << name;
        Parse(html);
        for (int width : {200, 400, 800, 1200, 1600}) golden += Summary(name, width) + "\n";
        list_->SelB = 0;
        list_->SelE = list_->Len;
        const std::u16string text = list_->GetSelText();
        EXPECT_NE(std::string(text.begin(), text.end()).find(phrase), std::string::npos) << name;
    }
    velorim_test::ExpectGolden("real_pages.txt", golden);
}

}  // namespace
