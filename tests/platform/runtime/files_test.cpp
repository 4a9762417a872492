#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/string_list.h"
#include "platform/runtime/text_file.h"

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = PathJoin(GetTempDir(), "velorim-rt-XXXXXX");
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir_ + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string Path(const std::string& name) const { return PathJoin(dir_, name); }
    // Names in the folder, so that a leftover temporary file is seen.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir_.c_str())) {
            while (dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // Runs `save` in a child whose file-size limit is `limit` bytes (a full
    // disk); returns the child's exit code: 0 when the save raised EInOutError.
    static int SaveWithSizeLimit(rlim_t limit, const std::function<void()>& save) {
        pid_t pid = fork();
        if (pid == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit rl{limit, limit};
            setrlimit(RLIMIT_FSIZE, &rl);
            int code = 2;
            try {
                save();
                code = 1;
            } catch (const EInOutError&) {
                code = 0;
            } catch (...) {
                code = 3;
            }
            _exit(code);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string dir_;
};

TEST_F(Files, AtomicWriteReplacesAndKeepsPermissions) {
    std::string f = Path("state.back");
    WriteFileAtomic(f, "one");
    chmod(f.c_str(), 0640);
    WriteFileAtomic(f, "two");
    EXPECT_EQ(ReadFileBytes(f), "two");
    struct stat st;
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Listing(), std::vector<std::string>{"state.back"});
    // A symbolic link stays a link; its target gets the bytes.
    ASSERT_EQ(symlink("state.back", Path("link").c_str()), 0);
    WriteFileAtomic(Path("link"), "three");
    EXPECT_EQ(ReadFileBytes(f), "three");
    ASSERT_EQ(lstat(Path("link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    // So does a link to a file not there yet, through a second link; a link
    // into a folder that is missing (a share not mounted) fails, naming it.
    ASSERT_EQ(symlink("novo.back", Path("chain2").c_str()), 0);
    ASSERT_EQ(symlink("chain2", Path("chain1").c_str()), 0);
    WriteFileAtomic(Path("chain1"), "four");
    EXPECT_EQ(ReadFileBytes(Path("novo.back")), "four");
    ASSERT_EQ(lstat(Path("chain1").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(symlink("/nenhuma/pasta/caso.bev", Path("remote").c_str()), 0);
    EXPECT_THROW(WriteFileAtomic(Path("remote"), "five"), EInOutError);
    ASSERT_EQ(lstat(Path("remote").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// One copy of the program per data folder: the second is told so, and a
// folder whose lock cannot be taken is told apart from a free one.
TEST_F(Files, AFolderLockIsHeldByOneOpenerAtATime) {
    EXPECT_EQ(HoldFolderLock(dir_), TFolderLock::Held);
    EXPECT_EQ(HoldFolderLock(dir_), TFolderLock::HeldByOther);
    ASSERT_EQ(mkdir(Path("outra").c_str(), 0700), 0);
    EXPECT_EQ(HoldFolderLock(Path("outra")), TFolderLock::Held);
    int error = 0;
    EXPECT_EQ(HoldFolderLock(Path("nenhuma"), &error), TFolderLock::Unavailable);
    EXPECT_EQ(error, ENOENT);
}

// A held folder renamed, and another put at its name (where a second copy
// may run): a save by that name writes nothing and says why; a save opened
// before the swap ends in the held folder.
TEST_F(Files, SavesNeverGoToAnotherFolderAtTheHeldFoldersName) {
    ASSERT_EQ(mkdir(Path("dados").c_str(), 0700), 0);
    const std::string state = Path("dados/atualrev.back");
    ASSERT_EQ(HoldFolderLock(Path("dados")), TFolderLock::Held);
    WriteFileAtomic(state, "um");
    TAtomicFileWriter pending(state);
    pending.Write("dois");
    ASSERT_EQ(rename(Path("dados").c_str(), Path("antiga").c_str()), 0);
    ASSERT_EQ(mkdir(Path("dados").c_str(), 0700), 0);
    pending.Commit();
    EXPECT_EQ(ReadFileBytes(Path("antiga/atualrev.back")), "dois");
    try {
        WriteFileAtomic(state, "tres");
        ADD_FAILURE() << "written into the other folder";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message, "Não foi possível gravar o arquivo \"" + state + "\": a pasta \"" + Path("dados") +
                                 "\" não é mais a pasta de dados em que o programa foi aberto (foi renomeada, "
                                 "movida ou trocada por outra); nada foi gravado. Feche o programa e abra-o de "
                                 "novo na pasta de dados");
    }
    ASSERT_EQ(symlink("dados/atualrev.back", Path("link").c_str()), 0);
    EXPECT_THROW(WriteFileAtomic(Path("link"), "tres"), EInOutError);
    EXPECT_EQ(FileExists(state), false);
    EXPECT_EQ(ReadFileBytes(Path("antiga/atualrev.back")), "dois");
    WriteFileAtomic(Path("outro.back"), "outra pasta");
}

// A last line without its end was cut, as every writer ends its lines: the
// file is refused with that line. A file a text editor saved in UTF-8 with
// its mark reads as the program's text, unless it holds what that cannot.
TEST_F(Files, TextFilesRefuseACutLastLineAndTakeMarkedUtf8) {
    const std::string f = Path("caso.bev");
    WriteFileAtomic(f, "Jo\xE3o\r\nortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi");
    try {
        TTextFileReader r(f);
        ADD_FAILURE() << "a cut file was read";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Reason, "linha 2: a última linha não termina com fim de linha: o arquivo foi cortado");
        EXPECT_EQ(e.Message, "Não foi possível abrir o arquivo \"" + f + "\": " + e.Reason);
    }
    using Lines = std::vector<std::string>;
    Lines lines;
    std::string problem;
    for (const char* whole : {"", "a\r", "a\n", "a\r\n\r\n"}) EXPECT_TRUE(ReadTextLines(whole, lines, problem));
    EXPECT_TRUE(ReadTextLines("\xEF\xBB\xBFJos\xC3\xA9\r\n\xE2\x82\xAC 5\r\n", lines, problem));
    EXPECT_EQ(lines, (Lines{"Jos\xE9", "\x80 5"}));
    EXPECT_FALSE(ReadTextLines("\xEF\xBB\xBFok\r\n\xC5\x81ukasz\r\n", lines, problem));
    EXPECT_EQ(problem, "linha 2: o arquivo está em UTF-8 e tem caracteres que o programa não consegue usar "
                       "(use só letras do alfabeto latino, com ou sem acento, algarismos e sinais comuns)");
    EXPECT_FALSE(ReadTextLines("\xEF\xBB\xBFJos\xE9\r\n", lines, problem));
    EXPECT_EQ(problem, "linha 1: o arquivo começa com a marca de UTF-8, mas não está em UTF-8");
    EXPECT_FALSE(ReadTextLines("\xEF\xBB\xBFJos\xC3\xA9", lines, problem));
    EXPECT_EQ(problem, "linha 1: a última linha não termina com fim de linha: o arquivo foi cortado");
}

// A case an editor saved in UTF-8 without the mark reads as the program's
// text, and Windows-1252 text byte for byte as before; UTF-8 with a letter
// Windows-1252 lacks is refused naming its line, never read as other letters.
TEST_F(Files, TextFilesTakeUnmarkedUtf8) {
    using Lines = std::vector<std::string>;
    Lines lines;
    std::string problem;
    EXPECT_TRUE(ReadTextLines("Jos\xC3\xA9 Ant\xC3\xB4nio\nBenef\xC3\xAD" "cio n\xC2\xBA\n", lines, problem));
    EXPECT_EQ(lines, (Lines{"Jos\xE9 Ant\xF4nio", "Benef\xED" "cio n\xBA"}));
    EXPECT_TRUE(ReadTextLines("Concei\xE7\xE3o\r\n", lines, problem));
    EXPECT_EQ(lines, (Lines{"Concei\xE7\xE3o"}));
    EXPECT_FALSE(ReadTextLines("1\r\n\xC5\x81ukasz Concei\xC3\xA7\xC3\xA3o\r\n", lines, problem));
    EXPECT_EQ(problem, "linha 2: o arquivo está em UTF-8 e tem caracteres que o programa não consegue usar "
                       "(use só letras do alfabeto latino, com ou sem acento, algarismos e sinais comuns)");
}

// A file of line ends alone is refused before its lines are made: each
// would take many times the byte it stands for.
TEST_F(Files, TextFilesOfTooManyLinesAreRefused) {
    std::vector<std::string> lines;
    std::string problem;
    EXPECT_FALSE(ReadTextLines(std::string(kMaxTextFileLines + 1, '\n'), lines, problem));
    EXPECT_EQ(problem, "o arquivo tem mais de 1.000.000 de linhas e deve estar danificado");
    EXPECT_TRUE(lines.empty());
    WriteFileAtomic(Path("caso.bev"), std::string(kMaxTextFileLines + 1, '\r'));
    EXPECT_THROW(TTextFileReader r(Path("caso.bev")), EInOutError);
    WriteFileAtomic(Path("caso.bev"), std::string(kMaxTextFileLines - 1, '\r') + "\r\n");
    EXPECT_EQ(TTextFileReader(Path("caso.bev")).LineCount(), kMaxTextFileLines);
}

TEST_F(Files, FailedSavesLeaveThePreviousFileIntact) {
    std::string f = Path("atualrev.back");
    std::string previous(10000, 'p');
    WriteFileAtomic(f, previous);
    std::string big(200000, 'n');

    EXPECT_EQ(SaveWithSizeLimit(4096, [&] { WriteFileAtomic(f, big); }), 0);
    EXPECT_EQ(SaveWithSizeLimit(4096, [&] {
        TStringList l;
        for (int i = 0; i < 5000; ++i) l.Add("linha de planilha");
        l.SaveToFile(f);
    }), 0);
    EXPECT_EQ(SaveWithSizeLimit(4096, [&] {
        TTextFileWriter w(f);
        for (int i = 0; i < 5000; ++i) w.Writeln("linha de planilha");
        w.Close();
    }), 0);
    EXPECT_EQ(ReadFileBytes(f), previous);
    EXPECT_EQ(Listing(), std::vector<std::string>{"atualrev.back"});

    // The rename fails: the target is a folder.
    ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(Path("folder/inner").c_str(), 0755), 0);
    EXPECT_THROW(WriteFileAtomic(Path("folder"), "x"), EFCreateError);
    EXPECT_TRUE(DirectoryExists(Path("folder/inner")));
    // No folder to create the file in.
    EXPECT_THROW(WriteFileAtomic(Path("missing/x.tab"), "x"), EFCreateError);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"atualrev.back", "folder"}));

    // A writer dropped without Close discards its output.
    {
        TTextFileWriter w(f);
        w.Writeln("half");
    }
    EXPECT_EQ(ReadFileBytes(f), previous);
    EXPECT_FALSE(CopyFile(Path("nothing"), Path("copy"), false));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"atualrev.back", "folder"}));
}

TEST_F(Files, TextFilesWriteCrLfAndReadAnyLineEnd) {
    std::string f = Path("report.txt");
    TTextFileWriter w(f);
    w.Write("Nome: ");
    w.Writeln("José");
    w.Writeln("");
    w.Writeln("fim");
    w.Close();
    EXPECT_FALSE(w.IsOpen());
    EXPECT_THROW(w.Writeln("late"), EInOutError);
    EXPECT_EQ(ReadFileBytes(f), "Nome: José\r\n\r\nfim\r\n");

    WriteFileAtomic(f, "a\r\nb\nc\rd\n");
    TTextFileReader r(f);
    std::vector<std::string> got;
    while (!r.Eof()) got.push_back(r.Readln());
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(r.Readln(), "");  // past the end
    EXPECT_EQ(r.Readln(), "");
    EXPECT_THROW(TTextFileReader(Path("absent")), EInOutError);
    try {
        ReadFileBytes(Path("absent"));
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message.find("absent"), std::string::npos);
    }
    EXPECT_THROW(ReadFileBytes(dir_), EFOpenError);

    TStringList l;
    l.LoadFromFile(f);
    EXPECT_EQ(l.Count(), 4);
    l.SaveToFile(f);
    EXPECT_EQ(ReadFileBytes(f), "a\r\nb\r\nc\r\nd\r\n");
}

TEST_F(Files, NamesAndFileOperations) {
    EXPECT_EQ(PathJoin("/data", "font.ini"), "/data/font.ini");
    EXPECT_EQ(PathJoin("/data/", "font.ini"), "/data/font.ini");
    EXPECT_EQ(PathJoin("", "font.ini"), "font.ini");
    EXPECT_EQ(ExtractFileName("/a/b.c/atual.html"), "atual.html");
    EXPECT_EQ(ExtractFilePath("/a/b.c/atual.html"), "/a/b.c/");
    EXPECT_EQ(ExtractFileExt("/a/b.c/caso.bev"), ".bev");
    EXPECT_EQ(ExtractFileExt("/a/b.c/caso"), "");
    EXPECT_EQ(ChangeFileExt("/a/b.c/caso", ".bev"), "/a/b.c/caso.bev");
    EXPECT_EQ(ChangeFileExt("caso.back", ".bev"), "caso.bev");

    std::string a = Path("a"), b = Path("b");
    WriteFileAtomic(a, "A");
    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(FileExists(dir_));
    EXPECT_TRUE(DirectoryExists(dir_));
    EXPECT_TRUE(CopyFile(a, b, true));
    EXPECT_FALSE(CopyFile(a, b, true));  // exists: kept
    WriteFileAtomic(a, "A2");
    EXPECT_TRUE(CopyFile(a, b, false));
    EXPECT_EQ(ReadFileBytes(b), "A2");
    EXPECT_FALSE(RenameFile(a, b));  // the target exists
    EXPECT_TRUE(DeleteFile(b));
    EXPECT_TRUE(RenameFile(a, b));
    EXPECT_FALSE(DeleteFile(a));
    EXPECT_GT(FileAgeDateTime(b), 40000);
    EXPECT_EQ(FileAgeDateTime(a), -1);
}

} // namespace

namespace {

TEST_F(Files, ReadsStopAtTheLimitAndSayWhyInPortuguese) {
    const std::string f = Path("font.ini");
    WriteFileAtomic(f, std::string(100, 'x'));
    EXPECT_EQ(ReadFileBytes(f, 100).size(), 100u);
    try {
        ReadFileBytes(f, 99);
        ADD_FAILURE() << "a file beyond its limit was read";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, "Não foi possível abrir o arquivo \"" + f + "\": " + e.Reason);
        EXPECT_NE(e.Reason.find("grande demais"), std::string::npos) << e.Reason;
    }
    // A device that never ends is cut at the limit instead of filling memory.
    EXPECT_THROW(ReadFileBytes("/dev/zero", 1 << 20), EFOpenError);

    auto reason = [](const std::function<void()>& fn) {
        try {
            fn();
        } catch (const EInOutError& e) {
            return e.Reason;
        }
        return std::string("no error");
    };
    EXPECT_EQ(reason([&] { ReadFileBytes(Path("missing.tab")); }), "o arquivo não existe");
    ASSERT_EQ(mkdir(Path("pasta.tab").c_str(), 0755), 0);
    EXPECT_EQ(reason([&] { ReadFileBytes(Path("pasta.tab")); }), "é uma pasta, não um arquivo");
    EXPECT_EQ(reason([&] { WriteFileAtomic(Path("nenhuma/caso.bev"), "x"); }),
              "a pasta não existe");
    ASSERT_EQ(symlink("ciclo.tab", Path("ciclo.tab").c_str()), 0);
    EXPECT_EQ(reason([&] { ReadFileBytes(Path("ciclo.tab")); }),
              "o caminho tem um ciclo de atalhos (ligações simbólicas)");

    std::string why;
    EXPECT_FALSE(CopyFile(Path("atualrev.back"), Path("caso.bev"), false, &why));
    EXPECT_EQ(why, Path("atualrev.back") + ": o arquivo não existe");

    // A full disk is named as such, and the child's save fails cleanly.
    EXPECT_EQ(SaveWithSizeLimit(4096, [&] {
        try {
            WriteFileAtomic(f, std::string(100000, 'n'));
        } catch (const EInOutError& e) {
            if (e.Reason != "o disco está cheio") _exit(5);
            throw;
        }
    }), 0);
}

TEST_F(Files, ASaveRemovesOnlyItsOwnLeftOvers) {
    const std::string f = Path("caso.bev");
    // Files a user may keep beside a case, some of them shaped much like a
    // save's temporary file: none of them is ever removed.
    const std::vector<std::string> users = {
        ".bashrc.backup", ".notas.2024ab", ".caso.bev.backup", ".caso.bev.AbCdE1",
        ".caso.bev.tmp", "caso.bev.AbCdE1", ".velorim-save.caso.bev.AbCdE1",
        ".velorim-save.caso.bev.AbC-12.velorim-tmp", ".velorim-save..velorim-tmp",
        "velorim-save.caso.bev.AbCdE1.velorim-tmp", ".caso.bev.AbCdE1.velorim-tmp",
        ".velorim-save.caso.bev.AbCdE1.velorim-tmp.bak", "notas.txt"};
    for (const std::string& name : users) WriteFileAtomic(Path(name), "do usuário");
    ASSERT_EQ(mkdir(Path(".velorim-save.fotos.AbCdE1.velorim-tmp").c_str(), 0755), 0);
    WriteFileAtomic(f, "antigo");

    // A save killed half-way leaves its temporary file.
    pid_t pid = fork();
    if (pid == 0) {
        TAtomicFileWriter w(f);
        w.Write(std::string(200000, 'x'));
        raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::vector<std::string> names = Listing();
    ASSERT_EQ(names.size(), users.size() + 3);
    std::string stale;
    for (const std::string& name : names)
        if (IsAtomicTempName(name) && name.rfind(".velorim-save.caso.bev.", 0) == 0) stale = name;
    ASSERT_FALSE(stale.empty());

    // A save still under way is not touched; the next save removes the
    // killed one's file and nothing else.
    TAtomicFileWriter busy(Path("font.ini"));
    busy.Write("Arial");
    WriteFileAtomic(f, "novo");
    names = Listing();
    EXPECT_EQ(std::count(names.begin(), names.end(), stale), 0);
    EXPECT_EQ(names.size(), users.size() + 3);  // the folder, the busy save and caso.bev
    busy.Commit();
    WriteFileAtomic(f, "de novo");
    EXPECT_EQ(ReadFileBytes(Path("font.ini")), "Arial");
    EXPECT_EQ(ReadFileBytes(f), "de novo");
    for (const std::string& name : users) {
        EXPECT_FALSE(IsAtomicTempName(name)) << name;
        EXPECT_EQ(ReadFileBytes(Path(name)), "do usuário") << name;
    }
    EXPECT_EQ(Listing().size(), users.size() + 3);

    // A very long name still saves: its temporary file's name is cut.
    const std::string longName = Path(std::string(250, 'n'));
    WriteFileAtomic(longName, "longo");
    EXPECT_EQ(ReadFileBytes(longName), "longo");
}

} // namespace

namespace {

// Names the program holds in Windows-1252 reach the system as UTF-8, and the
// system's names come back as the program's text.
TEST_F(Files, AccentedNamesAreTheSystemsUtf8Names) {
    ASSERT_EQ(::mkdir(Path("Concei\xC3\xA7\xC3\xA3o").c_str(), 0700), 0);
    const std::string folder = Path("Conceição"), caso = PathJoin(folder, "Maria Antônia.bev");
    EXPECT_TRUE(DirectoryExists(folder));
    const std::string bytes = "Maria Antônia\r\n\x81\xFF\r\n";
    WriteFileAtomic(caso, bytes);
    DIR* d = opendir(Path("Concei\xC3\xA7\xC3\xA3o").c_str());
    ASSERT_NE(d, nullptr);
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) names.push_back(e->d_name);
    closedir(d);
    EXPECT_NE(std::find(names.begin(), names.end(), "Maria Ant\xC3\xB4nia.bev"), names.end());
    EXPECT_EQ(ReadFileBytes(caso), bytes);
    const std::string copia = PathJoin(folder, "Cópia.bev");
    EXPECT_TRUE(CopyFile(caso, copia, true));
    EXPECT_TRUE(DeleteFile(copia));
    EXPECT_TRUE(RenameFile(caso, copia));
    EXPECT_TRUE(FileExists(copia));
    EXPECT_GT(FileAgeDateTime(copia), 40000);

    const std::string before = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(folder));
    EXPECT_EQ(GetCurrentDir(), folder);
    // A folder named in Chinese, or not in UTF-8 at all, cannot be held:
    // it is refused, named as well as it can be.
    for (const char* name : {"\xE4\xB8\xAD\xE6\x96\x87", "Ant\xF4nia"}) {
        ASSERT_EQ(::mkdir(name, 0700), 0);
        ASSERT_EQ(::chdir(name), 0);
        std::string shown;
        EXPECT_FALSE(TryGetCurrentDir(shown));
        EXPECT_EQ(ExtractFileName(shown), std::string(name)[0] == 'A' ? "Ant?nia" : "??");
        try {
            GetCurrentDir();
            ADD_FAILURE() << "no error for " << name;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message, "Não foi possível usar a pasta \"" + shown +
                                     "\": o nome tem caracteres que o programa não consegue usar (use só "
                                     "letras do alfabeto latino, com ou sem acento, algarismos e sinais comuns)");
        }
        ASSERT_EQ(::chdir(".."), 0);
    }
    SetCurrentDir(before);
}

} // namespace
