#include "parser_fixture.h"

TEST_F(ParserTest, Smoke) {
    Parse("<html><head><title>T</title></head><body><p>Hello <b>world</b></p><table border=1><tr><td>a</td><td>bbbb cc</td></tr><span>x</span><tr><td colspan=2>c</td></tr></table><ul><li>one<li></ul></body></html>");
    Layout(400);
    std::cout << Dump();
}
