#include "tables/table_watch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <string_view>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "tables/table_check.h"
#include "tables/table_status.h"

namespace tabelas {

namespace {

// What tells a changed file: a write changes the size or the times, a file
// put in its place (as every save here does) the inode.
struct TStamp {
    int error = 0; // of stat: ENOENT when there is no such file
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtime = 0, ctime = 0; // nanoseconds
    bool operator==(const TStamp&) const = default;
};

TStamp StampOf(const std::string& path) {
    TStamp s;
    struct stat st;
    if (::stat(SystemPath(path).c_str(), &st) != 0) {
        s.error = errno;
        return s;
    }
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    s.ctime = st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
    return s;
}

} // namespace

uint64_t CellsDigest(const TCellMatrix& cells) {
    // Eight bytes at a time, each cell closed by its length: a changed,
    // moved or split text changes the digest.
    auto mix = [](uint64_t h, uint64_t word) {
        h ^= word;
        h = (h << 27 | h >> 37) * 0x9e3779b97f4a7c15ULL;
        return h;
    };
    uint64_t h = mix(0xcbf29ce484222325ULL, static_cast<uint64_t>(cells.ColCount()) << 32 |
                                                static_cast<uint32_t>(cells.RowCount()));
    for (int r = 0; r < cells.RowCount(); ++r)
        for (int c = 0; c < cells.ColCount(); ++c) {
            const std::string& text = cells.Cell(c, r);
            const char* p = text.data();
            size_t n = text.size();
            for (; n >= 8; p += 8, n -= 8) {
                uint64_t word;
                std::memcpy(&word, p, 8);
                h = mix(h, word);
            }
            uint64_t tail = 0;
            std::memcpy(&tail, p, n);
            h = mix(h, tail ^ static_cast<uint64_t>(text.size()) << 56);
        }
    return h ^ h >> 31;
}

namespace {

// What is known of a table's cells and of the file they come from.
struct TWatched {
    bool read = false;            // the file was looked at (stamp holds)
    TStamp stamp;                 // as it was then
    std::string fileProblem;      // why the file cannot serve ("" when it can)
    bool absent = false;          // an optional table that is not there
    bool fromFile = false;        // the cells were loaded from the file
    std::string text;             // the file's checked text, as last read
    bool fileMonthsKnown = false; // months holds those of the text
    // The version of the cells when they were made what the file holds:
    // while they keep it, they hold the file, checked.
    bool fileCells = false;
    uint64_t fileVersion = 0;
    // Their version when they were last made what the file held (or
    // start-up left them): cells changed since hold edits not saved.
    bool based = false;
    uint64_t baseVersion = 0;
    bool checked = false; // version of the cells when last checked
    uint64_t checkedVersion = 0;
    std::string cellsProblem; // what that check found
    std::vector<int> months;  // the months of column 0 then, in order
};

using TKey = std::pair<const TCellMatrix*, std::string>;

std::map<TKey, TWatched>& Watched() {
    static std::map<TKey, TWatched> watched;
    return watched;
}

int Digits(std::string_view s, size_t from, size_t count) {
    int n = 0;
    for (size_t i = from; i < from + count; ++i)
        n = n * 10 + (s[i] - '0');
    return n;
}

// The month of a row's key ("mm/yyyy" or "dd/mm/yyyy"); false for none.
bool KeyMonth(std::string_view k, TTableKey key, int& month) {
    if (key == TTableKey::Month && IsMonthKey(k))
        month = MonthNumber(Digits(k, 3, 4), Digits(k, 0, 2));
    else if (key == TTableKey::Date && IsDateKey(k))
        month = MonthNumber(Digits(k, 6, 4), Digits(k, 3, 2));
    else
        return false;
    return true;
}

// A checked table text as the grid loader splits it into cells, read in
// place: a calculation that only looks up months or empty cells needs no
// grid of it.
class TTextCells {
public:
    explicit TTextCells(std::string_view text) {
        const char* p = text.data();
        const char* const end = p + text.size();
        lines_.reserve(static_cast<size_t>(std::count(p, end, '\n')) + 1);
        while (p < end) {
            const char* e = p;
            while (e < end && *e != '\r' && *e != '\n') ++e;
            lines_.emplace_back(p, static_cast<size_t>(e - p));
            p = e + (e + 1 < end && e[0] == '\r' && e[1] == '\n' ? 2 : 1);
        }
    }
    int RowCount() const { return static_cast<int>(lines_.size()); }
    // Fields are split by TABs; the one after the last field opens none.
    std::string_view Cell(int col, int row) const {
        const std::string_view line = lines_[row];
        size_t from = 0;
        for (; col > 0; --col) {
            const size_t tab = line.find('\t', from);
            if (tab == std::string_view::npos) return {};
            from = tab + 1;
        }
        return line.substr(from, std::min(line.find('\t', from), line.size()) - from);
    }

private:
    std::vector<std::string_view> lines_;
};

// The months of the keys of a checked table, oldest first and once each.
template <class TCells> std::vector<int> MonthsOf(const TCells& cells, TTableKey key) {
    std::vector<int> months;
    months.reserve(cells.RowCount());
    for (int r = 1, m; r < cells.RowCount(); ++r)
        if (KeyMonth(cells.Cell(0, r), key, m)) months.push_back(m);
    // Tables kept oldest first are in order already.
    if (!std::is_sorted(months.begin(), months.end())) std::sort(months.begin(), months.end());
    months.erase(std::unique(months.begin(), months.end()), months.end());
    return months;
}

// The months of `spans` whose row in `cells` has an empty cell in `column`.
template <class TCells>
std::vector<TMonthSpan> EmptyCellMonths(const TCells& cells, TTableKey key, int column,
                                        const std::vector<TMonthSpan>& spans) {
    std::vector<TMonthSpan> empty;
    for (int r = 1, m; r < cells.RowCount(); ++r)
        if (cells.Cell(column, r).empty() && KeyMonth(cells.Cell(0, r), key, m) &&
            std::any_of(spans.begin(), spans.end(),
                        [m](const TMonthSpan& s) { return s.first <= m && m <= s.last; }))
            empty.push_back({m, m});
    return empty;
}

// What is missing from a table: "não tem o valor da coluna 3 (title) nos
// meses ..." for the months of use.filled whose cell is empty ("" when none).
template <class TCells>
std::string EmptyCellsText(const TCells& cells, const TTableUse& use, int& count) {
    const std::string empty = MissingMonthsText(
        EmptyCellMonths(cells, TableRules(use.file).key, use.column, use.filled), {}, &count);
    if (count == 0) return "";
    const std::string title(cells.Cell(use.column, 0));
    return "não tem o valor da coluna " + std::to_string(use.column + 1) +
           (title.empty() ? "" : " (" + title + ")") + (count == 1 ? " no mês " : " nos meses ") +
           empty;
}

// The number of lines of a table text (the last one ends with its line end).
int LineCount(std::string_view text) {
    int lines = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++lines;
    return lines;
}

TTableRefusal FileRefusal(const std::string& file, const std::string& problem) {
    std::string action = "verifique o arquivo";
    if (problem.rfind("não foi encontrada", 0) == 0)
        action = "coloque o arquivo nessa pasta";
    else if (problem.rfind("está danificada", 0) == 0)
        action = "corrija o arquivo";
    return {file, problem, action};
}

void NoteFileProblem(const std::string& file, const std::string& problem) {
    if (problem.empty())
        ClearTableProblem(file);
    else
        NoteTableProblem(file, problem);
}

// The cells become what the text holds, rows taken out included.
void LoadExactly(TCellMatrix& cells, const std::string& text) {
    cells.Clear();
    CellsFromText(cells, text, TableSeparator, GridRect(0, 0, -1, -1));
    cells.SetRowCount(std::max(2, LineCount(text)));
}

TReplaceEditsQuestion& ReplaceEditsQuestion() {
    static TReplaceEditsQuestion ask;
    return ask;
}

// Asked when a table's file changed while its cells hold edits not saved:
// true to replace them with what the file holds now. Unasked, they stay.
bool MayReplaceEdits(const std::string& dir, const std::string& file) {
    const TReplaceEditsQuestion& ask = ReplaceEditsQuestion();
    return ask && ask("O arquivo " + file + " da pasta de dados \"" + dir +
                      "\" foi alterado depois de lido, e a tabela dele tem alterações que não "
                      "foram gravadas (\"Gravar\").\nSubstituir essas alterações pelo que o "
                      "arquivo tem agora?\nRespondendo Não, o cálculo usa a tabela com as "
                      "alterações, e o arquivo fica como está.");
}

// A table loaded at start-up whose file was read again: the cells follow the
// file only where its contents changed, and edits not saved are replaced only
// when the user says so.
void FollowChangedFile(TWatched& w, const std::string& dir, const std::string& file,
                       TCellMatrix& cells, std::string text, const TCellsLoaded& loaded) {
    w.fromFile = true;
    // The file touched, or saved with what it held: the cells, edits and
    // all, stay as they are (a checked text is never empty).
    if (text == w.text) return;
    TCellMatrix fresh(cells.ColCount(), 1);
    LoadExactly(fresh, text);
    w.text = std::move(text);
    w.fileMonthsKnown = false;
    w.fileCells = false;
    // Cells set before anything was read are no edits of this file.
    const bool edited = w.based && cells.Version() != w.baseVersion;
    if (CellsDigest(cells) != CellsDigest(fresh)) {
        // Edits the user keeps stay edits, now against the file as it is.
        if (edited && !MayReplaceEdits(dir, file)) return;
        cells = std::move(fresh);
        if (loaded) loaded(cells);
    }
    // The cells hold what the file holds: loaded, or saved from them.
    w.fileCells = w.based = true;
    w.fileVersion = w.baseVersion = cells.Version();
}

// Brings the table up to date with its file and checks it when it changed:
// the file (TFollow::File; its cells are made what it holds only when
// `restore`, before they are read) or the cells (TFollow::Changes). Returns
// the record, or fills `refusal` when the table cannot serve.
TWatched* Bring(const std::string& dir, const std::string& file, TCellMatrix& cells, TFollow follow,
                bool restore, const TCellsLoaded& loaded, TTableRefusal& refusal) {
    const std::string path = PathJoin(dir, file);
    TWatched& w = Watched()[TKey(&cells, path)];
    const TStamp stamp = StampOf(path);
    const bool changed = !w.read || !(w.stamp == stamp);
    if (follow == TFollow::File && changed) {
        std::string text;
        bool absent = false;
        w.fileProblem = ReadCheckedTable(dir, file, text, absent);
        w.absent = absent;
        // Touched but the same: the cells loaded from it still hold it.
        if (!w.fileCells || text != w.text || !w.fileProblem.empty() || absent) {
            w.text = std::move(text);
            w.fileMonthsKnown = false;
            w.fileCells = false;
        }
        NoteFileProblem(file, w.fileProblem);
    } else if (changed) {
        // A file not there: cells set before anything was read from this
        // folder, or loaded from a file moved away since, are the table.
        const bool gone = stamp.error == ENOENT;
        if (gone && (!w.read || w.fromFile)) {
            w.fileProblem.clear();
        } else {
            std::string text;
            bool absent = false;
            w.fileProblem = ReadCheckedTable(dir, file, text, absent);
            if (w.fileProblem.empty() && !absent)
                FollowChangedFile(w, dir, file, cells, std::move(text), loaded);
            NoteFileProblem(file, w.fileProblem);
        }
    }
    w.read = true;
    w.stamp = stamp;
    if (!w.fileProblem.empty()) {
        refusal = FileRefusal(file, w.fileProblem);
        return nullptr;
    }
    // A table that follows its file was checked whole in it, and its cells
    // are made what it holds before they are read. An optional one that is
    // not there: the cells are all there is, checked as those of a table
    // loaded at start-up.
    if (follow == TFollow::File && !w.absent) {
        if (restore && (!w.fileCells || cells.Version() != w.fileVersion)) {
            LoadExactly(cells, w.text);
            w.fileVersion = cells.Version();
            w.fileCells = true;
            w.fromFile = true;
            if (loaded) loaded(cells);
        }
        return &w;
    }
    const uint64_t version = cells.Version();
    if (!w.checked || version != w.checkedVersion) {
        const TTableRules rules = TableRules(file);
        // Cells that hold what the file holds were checked in it. A grid
        // left empty is a table that was not loaded: its months are told
        // missing.
        w.cellsProblem = w.fileCells && version == w.fileVersion
                             ? std::string()
                             : CheckTableCells(cells, rules, false);
        w.months = w.cellsProblem.empty() ? MonthsOf(cells, rules.key) : std::vector<int>();
        w.fileMonthsKnown = false;
        w.checkedVersion = version;
        w.checked = true;
    }
    if (!w.cellsProblem.empty()) {
        refusal = {file, "tem um valor que não pode ser usado (" + w.cellsProblem + ")",
                   "corrija esse valor"};
        return nullptr;
    }
    return &w;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " e " : ", ") + parts[i];
    return text;
}

} // namespace

int MonthNumber(int year, int month) {
    return year * 12 + month - 1;
}

std::string MonthText(int number) {
    const int month = number % 12 + 1, year = number / 12;
    std::string text = (month < 10 ? "0" : "") + std::to_string(month) + "/";
    const std::string y = std::to_string(year);
    return text + std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y;
}

bool KeyMonth(const std::string& key, int& month) {
    return KeyMonth(key, TTableKey::Month, month) || KeyMonth(key, TTableKey::Date, month);
}

std::string MissingMonthsText(const std::vector<TMonthSpan>& needed,
                              const std::vector<int>& present, int* missingCount) {
    std::vector<TMonthSpan> spans = needed;
    std::sort(spans.begin(), spans.end(),
              [](const TMonthSpan& a, const TMonthSpan& b) { return a.first < b.first; });
    std::vector<TMonthSpan> missing;
    int count = 0, covered = -1; // months up to `covered` were looked at
    for (const TMonthSpan& s : spans) {
        for (int m = std::max(s.first, covered + 1); m <= s.last;) {
            // The next month the table holds from m on.
            auto it = std::lower_bound(present.begin(), present.end(), m);
            if (it != present.end() && *it == m) {
                // Skip the run of months held one after another.
                while (it != present.end() && *it == m && m <= s.last) {
                    ++it;
                    ++m;
                }
                continue;
            }
            const int end = std::min(s.last, it == present.end() ? s.last : *it - 1);
            if (!missing.empty() && missing.back().last + 1 == m)
                missing.back().last = end;
            else
                missing.push_back({m, end});
            count += end - m + 1;
            m = end + 1;
        }
        covered = std::max(covered, s.last);
    }
    if (missingCount) *missingCount = count;
    constexpr size_t kShown = 12;
    std::vector<std::string> parts;
    int shown = 0;
    for (size_t i = 0; i < missing.size() && i < kShown; ++i) {
        const TMonthSpan& s = missing[i];
        parts.push_back(s.first == s.last ? MonthText(s.first)
                                          : MonthText(s.first) + " a " + MonthText(s.last));
        shown += s.last - s.first + 1;
    }
    if (missing.size() > kShown)
        parts.push_back("outros " + std::to_string(count - shown) + " meses");
    return Joined(parts);
}

std::string RefusalText(const std::string& dir, const std::vector<TTableRefusal>& refusals) {
    const bool one = refusals.size() == 1;
    std::string text = std::string("O cálculo não foi feito por causa ") +
                       (one ? "desta tabela" : "destas tabelas") + " da pasta de dados \"" + dir +
                       "\":";
    for (const TTableRefusal& r : refusals)
        text += "\n- " + r.file + " " + r.problem + ": " + r.action + ".";
    return text + "\nFeito isso, calcule de novo. Não é preciso reiniciar o programa: as tabelas "
                  "alteradas são lidas outra vez a cada cálculo.";
}

namespace {

// Where the missing months go: in their place among the others, and in a
// table of dates on a line that starts with a date of the month (the month
// alone would be refused as no date).
// A line of the table to show as the example of the missing ones: the last
// before the first missing month, else the first. Row 0 gives the titles.
template <class TCells>
void ExampleLine(const TCells& cells, TTableKey key, int firstMissing,
                 std::vector<std::string>& titles, std::vector<std::string>& example) {
    auto row = [&cells](int r) {
        std::vector<std::string> out;
        for (int c = 0; c < kMaxTableColumns; ++c)
            out.emplace_back(cells.Cell(c, r));
        while (!out.empty() && out.back().empty())
            out.pop_back();
        return out;
    };
    if (cells.RowCount() > 0) titles = row(0);
    for (int r = 1, m; r < cells.RowCount(); ++r)
        if (KeyMonth(std::string(cells.Cell(0, r)), key, m) && (example.empty() || m < firstMissing))
            example = row(r);
}

// What a line of the table holds: "Data, Índice, Salário Mínimo e Moeda
// separados por TAB, como a de 09/2026: 09/2026; 1; 1621,00; R$". Empty when
// the table has no line to show.
std::string LineExample(const std::vector<std::string>& titles, const std::vector<std::string>& line) {
    if (line.size() < 2) return "";
    std::string names, values;
    for (size_t c = 0; c < line.size(); ++c) {
        const std::string title = c < titles.size() && !titles[c].empty()
                                      ? titles[c]
                                      : "coluna " + std::to_string(c + 1);
        names += (c == 0 ? "" : c + 1 == line.size() ? " e " : ", ") + title;
        values += (c == 0 ? "" : "; ") + line[c];
    }
    return names + " separados por TAB, como a de " + line[0] + ": " + values;
}

std::string AddMonthsAction(const std::string& file, const std::string& missing, int count,
                            const std::string& example) {
    const bool one = count == 1;
    std::string line = one ? "uma linha" : "uma linha por mês";
    if (TableRules(file).key == TTableKey::Date)
        line += " começando pela data, como 01/" + missing.substr(0, 7);
    line += one ? ", no seu lugar entre os outros meses" : ", em ordem";
    if (!example.empty()) line += std::string(one ? "; com " : "; cada uma com ") + example;
    return std::string(one ? "acrescente esse mês ao arquivo (" : "acrescente esses meses ao arquivo (") +
           line + ")";
}

void Prepare(const std::string& dir, const std::vector<TTableUse>& uses, bool restore,
             const TCellsLoaded& loaded, const TMoreRefusals& more) {
    std::vector<TTableRefusal> refusals;
    // The last month every table that ends before the case has, and the
    // refusals of months missing.
    int endsAt = -1;
    std::vector<size_t> shortRefusals;
    auto told = [&refusals](const std::string& file) {
        return std::any_of(refusals.begin(), refusals.end(),
                           [&file](const TTableRefusal& r) { return r.file == file; });
    };
    for (const TTableUse& use : uses) {
        if (!use.cells) continue;
        TTableRefusal refusal;
        TWatched* w = Bring(dir, use.file, *use.cells, use.follow, restore, loaded, refusal);
        if (!w) {
            if (!told(use.file)) refusals.push_back(refusal);
            continue;
        }
        int count = 0, emptyCount = 0;
        std::string missing;
        if (!use.months.empty()) {
            // Those of a table that follows its file are read in its text.
            if (use.follow == TFollow::File && !w->absent && !w->fileMonthsKnown) {
                w->months = MonthsOf(TTextCells(w->text), TableRules(use.file).key);
                w->fileMonthsKnown = true;
            }
            missing = MissingMonthsText(use.months, w->months, &count);
        }
        std::string empty;
        // The cells of a table that follows its file are made what the file
        // holds before they are read.
        if (use.column > 0 && !use.filled.empty())
            empty = use.follow == TFollow::File ? EmptyCellsText(TTextCells(w->text), use, emptyCount)
                                                : EmptyCellsText(*use.cells, use, emptyCount);
        if ((count == 0 && emptyCount == 0) || told(use.file)) continue;
        refusal = {use.file, "", ""};
        if (count > 0) {
            std::vector<std::string> titles, example;
            int firstMissing = 0;
            KeyMonth(missing.substr(0, 7), TTableKey::Month, firstMissing);
            const TTableKey key = TableRules(use.file).key;
            if (use.follow == TFollow::File)
                ExampleLine(TTextCells(w->text), key, firstMissing, titles, example);
            else
                ExampleLine(*use.cells, key, firstMissing, titles, example);
            refusal.problem = count == 1 ? "não tem o mês " + missing : "não tem os meses " + missing;
            refusal.action = AddMonthsAction(use.file, missing, count, LineExample(titles, example));
            // A table that ends before the case: the case may end with it.
            int needed = -1;
            for (const TMonthSpan& span : use.months) needed = std::max(needed, span.last);
            if (!w->months.empty() && needed > w->months.back()) {
                endsAt = endsAt < 0 ? w->months.back() : std::min(endsAt, w->months.back());
                shortRefusals.push_back(refusals.size());
            }
        }
        if (emptyCount > 0) {
            refusal.problem += (count > 0 ? ", e " : "") + empty;
            refusal.action += std::string(count > 0 ? ", e " : "") +
                              (emptyCount == 1 ? "preencha esse valor" : "preencha esses valores");
        }
        refusals.push_back(refusal);
    }
    // Ending the case there serves only a case that starts by then.
    int caseStart = -1;
    for (const TTableUse& use : uses)
        for (const TMonthSpan& span : use.months)
            if (span.first <= span.last) caseStart = caseStart < 0 ? span.first : std::min(caseStart, span.first);
    if (endsAt >= 0 && endsAt >= caseStart)
        for (size_t i : shortRefusals)
            refusals[i].action += ", ou termine o cálculo em " + MonthText(endsAt) +
                                  ", o último mês que as tabelas têm";
    if (more) more(refusals);
    if (!refusals.empty()) throw ETableError(RefusalText(dir, refusals));
}

} // namespace

void PrepareTables(const std::string& dir, const std::vector<TTableUse>& uses,
                   const TCellsLoaded& loaded, const TMoreRefusals& more) {
    Prepare(dir, uses, false, loaded, more);
}

void PrepareTable(const std::string& dir, const std::string& file, TCellMatrix& cells,
                  TFollow follow, const TCellsLoaded& loaded) {
    TTableUse use;
    use.file = file;
    use.cells = &cells;
    use.follow = follow;
    Prepare(dir, {use}, true, loaded, {});
}

bool FileUnchanged(const std::string& dir, const std::string& file, const TCellMatrix& cells) {
    const std::string path = PathJoin(dir, file);
    auto it = Watched().find(TKey(&cells, path));
    return it != Watched().end() && it->second.read && it->second.fileProblem.empty() &&
           !it->second.absent && it->second.stamp == StampOf(path);
}

void NoteTableLoaded(const std::string& dir, const std::string& file, TCellMatrix* cells,
                     const std::string& text) {
    if (!cells) return;
    const std::string path = PathJoin(dir, file);
    TWatched& w = Watched()[TKey(cells, path)];
    w = TWatched();
    w.read = true;
    w.stamp = StampOf(path);
    w.fileProblem = TableProblem(file);
    w.fromFile = w.fileProblem.empty() && !text.empty();
    w.text = text;
    // The cells as start-up left them: edits are told from them, and the
    // first calculation neither loads nor checks again cells that are
    // still what the file held.
    w.baseVersion = cells->Version();
    w.based = true;
    w.fileCells = w.fromFile;
    w.fileVersion = w.baseVersion;
}

namespace {

struct TCellsCheck {
    uint64_t version = 0;
    std::string problem;
};

std::map<TKey, TCellsCheck>& CellsChecks() {
    static std::map<TKey, TCellsCheck> checks;
    return checks;
}

} // namespace

std::string CheckedCellsProblem(const std::string& file, const TCellMatrix& cells) {
    const uint64_t version = cells.Version();
    auto [it, fresh] = CellsChecks().try_emplace(TKey(&cells, file));
    if (fresh || it->second.version != version) {
        it->second.version = version;
        // A grid left empty is a table that was not loaded: its problem was
        // noted then.
        it->second.problem = CheckTableCells(cells, TableRules(file), false);
    }
    return it->second.problem;
}

void SetReplaceEditsQuestion(TReplaceEditsQuestion ask) {
    ReplaceEditsQuestion() = std::move(ask);
}

void ForgetLoadedTables() {
    Watched().clear();
    CellsChecks().clear();
}

} // namespace tabelas
