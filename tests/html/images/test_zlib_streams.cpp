// The compression streams: round trips through buffers of every size, short
// and damaged sources, and the seeks they allow.
#include <gtest/gtest.h>

#include "html/images/zlib_streams.h"
#include "picture_builders.h"

namespace {

std::string Noise(size_t n) {
    std::string s(n, '\0');
    uint32_t seed = 7;
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s[i] = char(i % 3 == 0 ? seed >> 24 : 'a' + i % 7);
    }
    return s;
}

std::string Compress(const std::string& data, int* progress = nullptr) {
    TMemoryStream dest;
    TZCompressionStream z(TCompressionLevel::clMax, dest);
    if (progress) z.OnProgress = [progress](TObject*) { ++*progress; };
    for (size_t i = 0; i < data.size(); i += 1000) z.Write(data.data() + i, std::min<size_t>(1000, data.size() - i));
    EXPECT_EQ(z.Seek(0, soFromCurrent), static_cast<int64_t>(data.size()));
    z.Finish();
    return dest.Bytes();
}

TEST(ZStreams, RoundTripAcrossManyBuffers) {
    const std::string data = Noise(300000);
    int progress = 0;
    const std::string packed = Compress(data, &progress);
    EXPECT_GT(progress, 0);
    EXPECT_EQ(pics::Inflate(packed, data.size()), data);

    TMemoryStream source(packed);
    TZDecompressionStream z(source);
    std::string back(data.size(), '\0');
    size_t got = 0;
    while (got < back.size()) {
        size_t n = z.Read(back.data() + got, std::min<size_t>(7777, back.size() - got));
        ASSERT_GT(n, 0u);
        got += n;
    }
    EXPECT_EQ(back, data);
    char extra[16];
    EXPECT_EQ(z.Read(extra, sizeof extra), 0u);
}

TEST(ZStreams, ShortOrTrailingSourcesEndTheRead) {
    const std::string data = Noise(5000);
    const std::string packed = Compress(data);
    TMemoryStream cut(packed.substr(0, packed.size() / 2));
    TZDecompressionStream a(cut);
    std::string out(data.size(), '\0');
    const size_t n = a.Read(out.data(), out.size());
    EXPECT_LT(n, data.size());
    EXPECT_EQ(out.substr(0, n), data.substr(0, n));

    // Bytes after the compressed data are left alone.
    TMemoryStream trailing(packed + "tail that is not deflate data");
    TZDecompressionStream b(trailing);
    std::string all(data.size() + 100, '\0');
    EXPECT_EQ(b.Read(all.data(), all.size()), data.size());
}

TEST(ZStreams, DamagedDataAndForbiddenOperations) {
    TMemoryStream junk(std::string("this is not zlib data at all"));
    TZDecompressionStream d(junk);
    char buf[64];
    try {
        d.Read(buf, sizeof buf);
        FAIL();
    } catch (const EZDecompressionError& e) {
        EXPECT_EQ(e.Message, "data error");
    }
    EXPECT_THROW(d.Write(buf, 1), EZDecompressionError);

    TMemoryStream dest;
    TZCompressionStream c(TCompressionLevel::clDefault, dest);
    try {
        c.Read(buf, 1);
        FAIL();
    } catch (const EZCompressionError& e) {
        EXPECT_EQ(e.Message, "Invalid ZStream operation!");
    }
    EXPECT_THROW(c.Seek(5, soFromBeginning), EZCompressionError);
}

TEST(ZStreams, SeeksRestartOrSkipForward) {
    const std::string data = Noise(20000);
    // Compressed data after a prefix: a restart goes back to where it began.
    TMemoryStream source("PREFIX" + Compress(data));
    source.SetPosition(6);
    TZDecompressionStream z(source);
    char buf[10];
    ASSERT_EQ(z.Read(buf, 10), 10u);
    EXPECT_EQ(z.Seek(12000, soFromCurrent), 12010);
    ASSERT_EQ(z.Read(buf, 10), 10u);
    EXPECT_EQ(std::string(buf, 10), data.substr(12010, 10));
    EXPECT_THROW(z.Seek(100, soFromBeginning), EZDecompressionError);
    EXPECT_THROW(z.Seek(0, soFromEnd), EZDecompressionError);
    EXPECT_EQ(z.Seek(0, soFromBeginning), 0);
    ASSERT_EQ(z.Read(buf, 10), 10u);
    EXPECT_EQ(std::string(buf, 10), data.substr(0, 10));
    EXPECT_EQ(z.Seek(15000, soFromBeginning), 15000);
    ASSERT_EQ(z.Read(buf, 10), 10u);
    EXPECT_EQ(std::string(buf, 10), data.substr(15000, 10));
}

}  // namespace
