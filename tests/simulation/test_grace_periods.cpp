// The grace periods of an old-age retirement for the ages the person had
// passed (in 360-day years) at the requirement date.
#include "contribution_env.h"

#include "grids/table_file.h"
#include "platform/gui/application.h"

namespace {

class GracePeriods : public ContributionTest {
protected:
    void SetUp() override {
        ContributionTest::SetUp();
        // A small table of terms by year, the title line first.
        prazos_.SetColCount(3);
        prazos_.SetRowCount(4);
        const Texts rows[] = {{"Ano", "Lei 8.213/91", "Lei 9.032/95"},
                              {"1991", "60 meses", "60 meses"},
                              {"1995", "84 meses", "78 meses"},
                              {"1996", "90 meses", "90 meses"}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                prazos_.SetCell(c, r, rows[r][c]);
    }

    TCellMatrix prazos_;
};

TEST_F(GracePeriods, AgesPassedPickTheTermsOfTheirYear) {
    TCellMatrix idades(4, 4);
    // 21700 days: 60 years of 360 days and not 61, so only 55 is passed.
    const TDateTime birth = EncodeDate(1930, 3, 10);
    soma::prazosCarencia(birth, birth + 21700, prazos_, idades);
    // The month before the 55th birthday is 02/1985: before 1991, the 1991 row.
    EXPECT_EQ(Row(idades, 1, 4), (Texts{"55 anos", "1985", "60 meses", "60 meses"}));
    EXPECT_EQ(Row(idades, 2, 4), Texts(4));
    EXPECT_EQ(Row(idades, 3, 4), Texts(4));
    EXPECT_EQ(soma::AnosDe360(birth, birth + 21959), 60);
    EXPECT_EQ(soma::AnosDe360(birth + 1, birth), 0);

    // 62 years: 05/1995 is in the table, 05/2000 is not.
    soma::prazosCarencia(EncodeDate(1940, 6, 15), EncodeDate(2002, 7, 1), prazos_, idades);
    EXPECT_EQ(Row(idades, 1, 4), (Texts{"55 anos", "1995", "84 meses", "78 meses"}));
    EXPECT_EQ(Row(idades, 2, 4), (Texts{"60 anos", "2000", "", ""}));
    EXPECT_EQ(Row(idades, 3, 4), Texts(4));

    // Born after the requirement, or without a date: no age at all.
    soma::prazosCarencia(EncodeDate(2002, 7, 1), EncodeDate(1940, 6, 15), prazos_, idades);
    EXPECT_EQ(Row(idades, 1, 4), Texts(4));
    soma::prazosCarencia(0, EncodeDate(2002, 7, 1), prazos_, idades);
    EXPECT_EQ(Row(idades, 1, 4), Texts(4));
}

TEST_F(GracePeriods, ShownFromTheContributionForm) {
    SaveTableFile(prazos_, DataFile("prazosAI.tab"));
    Form2->MaskEdit1->SetText("15/06/1940");
    Form2->MaskEdit2->SetText("01/07/2002");
    Form2->SpeedButton14Click(nullptr);
    EXPECT_TRUE(Form3->Visible());
    EXPECT_EQ(Form3->IconGrid1->RowCount(), 4);
    EXPECT_EQ(Row(Form3->IconGrid2->Matrix(), 1, 4),
              (Texts{"55 anos", "1995", "84 meses", "78 meses"}));
    EXPECT_EQ(Row(Form3->IconGrid2->Matrix(), 0, 2), (Texts{"Idade", "Ano"}));
    Form3->Hide();

    // A date that is none, or none at all, raises the conversion error (the
    // button's handler shows it); the ages of the last person do not stay.
    for (const char* birth : {"15/06/1940", "  /  /    "}) {
        Form2->MaskEdit1->SetText(birth);
        Form2->MaskEdit2->SetText(birth[0] == ' ' ? "01/07/2002" : "31/02/2002");
        Application->Dispatch(Form2->SpeedButton14, [] { Form2->SpeedButton14Click(nullptr); });
        EXPECT_TRUE(Form3->Visible());
        EXPECT_EQ(Row(Form3->IconGrid2->Matrix(), 1, 4), Texts(4));
        EXPECT_EQ(Form3->IconGrid1->RowCount(), 4);
        Form3->Hide();
    }
    EXPECT_EQ(Messages(), (Texts{"'31/02/2002' não é uma data válida", "'  /  /    ' não é uma data válida"}));
}

TEST_F(GracePeriods, ASplitterBetweenTheGridsSharesTheirRoom) {
    TSplitter* split = Form3->Splitter1;
    EXPECT_EQ(split->Top(), Form3->IconGrid2->Top() + Form3->IconGrid2->Height());
    EXPECT_EQ(Form3->IconGrid1->Top(), split->Top() + split->Height());
    const int ages = Form3->IconGrid2->Height(), table = Form3->IconGrid1->Height();
    split->MouseDown(TMouseButton::mbLeft, 0, 1, 1);
    split->MouseUp(TMouseButton::mbLeft, 0, 1, 51);
    EXPECT_EQ(Form3->IconGrid2->Height(), ages + 50);
    EXPECT_EQ(Form3->IconGrid1->Height(), table - 50);
}

} // namespace
