#pragma once
// A list of text lines, as the runtime's string lists: Text, CommaText, load
// and save as text files.
#include <functional>
#include <string>
#include <vector>

class TStringList {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> lines) : items_(lines) {}

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& operator[](int index) const;  // raises an index error outside 0..Count-1
    const std::string& Strings(int index) const { return (*this)[index]; }
    void SetStrings(int index, const std::string& value);

    int Add(const std::string& s);
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear();
    int IndexOf(const std::string& s) const;  // exact match, -1 when absent
    void Assign(const TStringList& other);
    void AddStrings(const TStringList& other);

    // Each line followed by CR LF. Setting splits at CR LF, LF or CR; a final
    // line end adds no empty line.
    std::string Text() const;
    void SetText(const std::string& text);

    // Items separated by ","; an item holding a blank, a control character, ","
    // or '"' is enclosed in double quotes with inner quotes doubled; an empty
    // item is written as nothing. Reading splits at "," and at unquoted blanks
    // and control characters, reads quoted items with doubled quotes, and keeps
    // empty items between commas.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);

    // LoadFromFile raises EFOpenError when the file cannot be read.
    void LoadFromFile(const std::string& fileName);
    // SaveToFile writes Text() to a temporary file beside the target and
    // renames it over the target; a failure raises EFCreateError and leaves
    // the previous file intact.
    void SaveToFile(const std::string& fileName) const;

    const std::vector<std::string>& Items() const { return items_; }
    std::vector<std::string>& MutableItems() { return items_; }  // no OnChange
    void Changed();  // fires OnChange

    // Fired after every change through the methods above (controls that show
    // the list hook it).
    std::function<void()> OnChange;

private:
    std::vector<std::string> items_;
};
