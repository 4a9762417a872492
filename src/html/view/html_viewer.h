#pragma once
// The report view of the main window. For now a plain read-only document view:
// it shows an HTML file, selects and copies, and carries the print settings
// that the printing path reads.
#include <memory>
#include <string>

#include "platform/gui/controls.h"

class THTMLViewer : public TWinControl {
public:
    explicit THTMLViewer(TComponent* AOwner);
    ~THTMLViewer() override;

    // Shows an HTML file written in Windows-1252 and remembers it. An empty
    // name is ignored; a missing file raises EInOutError "Can't locate file: "
    // + name and leaves the shown document as it was.
    void LoadFromFile(const std::string& fileName);
    // The file shown (as given to LoadFromFile), "" before any load.
    const std::string& CurrentFile() const { return currentFile_; }
    // The whole file as read, Windows-1252.
    const std::string& DocumentSource() const { return documentSource_; }
    // Empties the view and forgets the file.
    void Clear();

    // Selects the whole document (nothing when it is empty).
    void SelectAll();
    // The selected text, Windows-1252 ("" when nothing is selected).
    std::string SelText() const;
    // Puts the selection on the clipboard as text and as "HTML Format";
    // nothing happens when nothing is selected.
    void CopyToClipboard();

    TColor DefBackground() const { return defBackground_; }
    void SetDefBackground(TColor color);
    const std::string& DefFontName() const { return defFontName_; }
    void SetDefFontName(const std::string& name);
    const std::string& DefPreFontName() const { return defPreFontName_; }
    void SetDefPreFontName(const std::string& name) { defPreFontName_ = name; }
    double PrintScale() const { return printScale_; }
    // Clamped to 0.25 .. 4.
    void SetPrintScale(double scale);

    // Centimetres.
    long double PrintMarginLeft = 2;
    long double PrintMarginRight = 2;
    long double PrintMarginTop = 2;
    long double PrintMarginBottom = 2;
    int HistoryMaxCount = 0;

protected:
    void ColorChanged() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    std::string currentFile_;
    std::string documentSource_;
    TColor defBackground_ = clBtnFace;
    std::string defFontName_ = "Times New Roman";
    std::string defPreFontName_ = "Courier New";
    double printScale_ = 1.0;
};
