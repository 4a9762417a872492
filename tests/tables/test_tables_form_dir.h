#pragma once
// A scratch data directory with small table files written by the tests.
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/runtime/files.h"

class TTableDir {
public:
    TTableDir() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "velorim-tables-XXXXXX").string();
        if (mkdtemp(tmpl.data())) path = tmpl;
    }
    ~TTableDir() {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
    TTableDir(const TTableDir&) = delete;
    TTableDir& operator=(const TTableDir&) = delete;

    // Rows of '|'-separated cells, written as a table file: a TAB after every
    // cell, CR LF after every row.
    void Write(const std::string& name, const std::vector<std::string>& rows) const {
        std::string text;
        for (const std::string& row : rows) {
            std::stringstream in(row);
            std::string cell;
            while (std::getline(in, cell, '|'))
                text += cell + "\t";
            text += "\r\n";
        }
        WriteFileAtomic(File(name), text);
    }
    std::string File(const std::string& name) const { return PathJoin(path, name); }

    std::string path;
};
