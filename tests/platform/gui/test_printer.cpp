// Printing to PDF files: pages, device capabilities, states and aborting.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>

#include "platform/gui/printer.h"
#include "test_canvas_env.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int CountPages(const std::string& pdf) {
    // Page objects, not the page tree ("/Pages").
    std::regex page("/Type\\s*/Page(?![s])");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        canvas_test::EnsureApplication();
        path_ = ::testing::TempDir() + "printer_test_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".pdf";
        std::remove(path_.c_str());
        printer_.SetOutputFileName(path_);
    }
    void TearDown() override { std::remove(path_.c_str()); }
    std::string path_;
    TPrinter printer_;
};

}  // namespace

TEST_F(PrinterTest, TwoPageJobMakesATwoPagePdf) {
    EXPECT_TRUE(printer_.PrintsToFile());
    printer_.SetTitle("Relatório");
    printer_.BeginDoc();
    EXPECT_TRUE(printer_.Printing());
    EXPECT_EQ(printer_.PageNumber(), 1);
    TCanvas& c = printer_.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(12);
    EXPECT_EQ(c.Font().Height(), -100);  // 12 points at 600 pixels per inch
    c.TextOut(300, 300, std::string("Revisão de Benefício"));
    c.Rectangle(300, 600, 1500, 900);
    printer_.NewPage();
    EXPECT_EQ(printer_.PageNumber(), 2);
    c.TextOut(300, 300, std::string("Página 2"));
    printer_.EndDoc();
    EXPECT_FALSE(printer_.Printing());

    std::string pdf = ReadFile(path_);
    ASSERT_GT(pdf.size(), 100u);
    EXPECT_EQ(pdf.substr(0, 4), "%PDF");
    EXPECT_EQ(CountPages(pdf), 2);
    // The text went in as text in the metric-compatible face.
    EXPECT_NE(pdf.find("LiberationSans"), std::string::npos);
}

TEST_F(PrinterTest, DeviceCapabilitiesAndOrientation) {
    TDeviceCaps caps = printer_.DeviceCaps();
    EXPECT_EQ(caps.LogPixelsX, 600);
    EXPECT_EQ(caps.LogPixelsY, 600);
    EXPECT_NEAR(caps.PhysicalWidth, 4961, 5);  // 210 mm
    EXPECT_NEAR(caps.PhysicalHeight, 7016, 5);  // 297 mm
    EXPECT_EQ(printer_.PageWidth(), caps.HorzRes);
    EXPECT_LE(caps.HorzRes + caps.PhysicalOffsetX, caps.PhysicalWidth);
    EXPECT_EQ(printer_.Canvas().GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(printer_.Canvas().GetDeviceCaps(PHYSICALWIDTH), caps.PhysicalWidth);
    printer_.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_NEAR(printer_.DeviceCaps().PhysicalWidth, 7016, 5);
    // Measuring works before any job: the canvas uses the printer's resolution.
    printer_.Canvas().Font().SetSize(10);
    EXPECT_GT(printer_.Canvas().TextWidth(std::string("abc")), 40);
}

TEST_F(PrinterTest, StatesAndAborting) {
    EXPECT_THROW(printer_.NewPage(), EPrinter);
    EXPECT_THROW(printer_.EndDoc(), EPrinter);
    EXPECT_THROW(printer_.Abort(), EPrinter);
    printer_.BeginDoc();
    EXPECT_THROW(printer_.BeginDoc(), EPrinter);
    EXPECT_THROW(printer_.SetOrientation(TPrinterOrientation::poLandscape), EPrinter);
    printer_.Canvas().TextOut(10, 10, std::string("x"));
    printer_.Abort();
    EXPECT_TRUE(printer_.Aborted());
    EXPECT_FALSE(printer_.Printing());
    EXPECT_TRUE(ReadFile(path_).empty());  // no half-written file is left

    // The abort callback stops the job at the next page.
    int asked = 0;
    printer_.AbortProc = [&] { return ++asked < 2; };
    printer_.BeginDoc();
    EXPECT_FALSE(printer_.Aborted());
    printer_.NewPage();
    EXPECT_TRUE(printer_.Printing());
    printer_.NewPage();
    EXPECT_TRUE(printer_.Aborted());
    EXPECT_FALSE(printer_.Printing());

    // Without a printer and without a file there is nowhere to print.
    TPrinter bare;
    if (bare.PrintsToFile()) {
        try {
            bare.BeginDoc();
            FAIL() << "printed nowhere";
        } catch (const EPrinter& e) {
            EXPECT_EQ(e.Message, "Printer selected is not valid");
        }
    }
    EXPECT_THROW(bare.SetPrinterIndex(static_cast<int>(bare.Printers().size())), EPrinter);
}
