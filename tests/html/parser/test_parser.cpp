#include "parser_fixture.h"

TEST_F(ParserTest, Smoke) {
    std::cout << Shape("<html><head><title>T</title></head><body><p>Hello <b>world</b></p><table border=1><tr><td>a</td><td>b</td></tr><span>x</span><tr><td colspan=2>c</td></tr></table><ul><li>one<li></ul></body></html>");
    std::cout << Shape("<tr><td><p>cell</p></td></tr><div align=center><table border =1 ><tr><td>a</td></tr></div></table>after</div>z");
}
