#include "html/images/png_image.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "html/images/zlib_streams.h"
#include "platform/runtime/files.h"

namespace {

const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

uint32_t Get32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint32_t Get32(const std::string& s, size_t at) { return Get32(reinterpret_cast<const uint8_t*>(s.data()) + at); }
void Put32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& s, uint32_t v) {
    s.push_back(char((v >> 8) & 0xFF));
    s.push_back(char(v & 0xFF));
}

[[noreturn]] void PngError(int code) { throw EPNGImageException(code); }

uint32_t Crc(const std::string& type, const std::string& data) {
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(type.data()), static_cast<uInt>(type.size()));
    const Bytef* p = reinterpret_cast<const Bytef*>(data.data());
    size_t left = data.size();
    while (left > 0) {
        uInt n = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
        crc = crc32(crc, p, n);
        p += n;
        left -= n;
    }
    return static_cast<uint32_t>(crc);
}

int MulDiv(int a, int b, int c) {
    long long n = static_cast<long long>(a) * b;
    return static_cast<int>(n >= 0 ? (n + c / 2) / c : (n - c / 2) / c);
}

int Channels(int colorType) {
    switch (colorType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1;
    }
}

// What the decoding needs to know of a file's chunks.
struct Header {
    uint32_t width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    int bitsPerPixel = 0;
    const TChunkGAMA* gamma = nullptr;
    TChunk* idat = nullptr;
    size_t RowBytes(uint32_t columns) const {
        return static_cast<size_t>((static_cast<uint64_t>(bitsPerPixel) * columns + 7) / 8);
    }
};

// Reads the signature and every chunk up to IEND or the end of the stream.
void ReadChunks(TStream& stream, TChunkList& list) {
    list.Clear();
    uint8_t sig[8];
    if (stream.Read(sig, 8) != 8 || std::memcmp(sig, kSignature, 8) != 0) PngError(65311);
    const int64_t size = stream.Size();
    TChunk* idat = nullptr;
    for (;;) {
        uint8_t head[8];
        if (stream.Read(head, 8) != 8) break;
        const uint32_t length = Get32(head);
        const std::string type(reinterpret_cast<const char*>(head + 4), 4);
        if (!TChunkClasses::Known(type) && !(head[4] & 0x20)) PngError(65289);
        if (static_cast<int64_t>(length) + 4 > size - stream.Position()) PngError(65282);
        std::string data(length, '\0');
        stream.ReadBuffer(data.data(), length);
        uint8_t crc[4];
        stream.ReadBuffer(crc, 4);
        if (Get32(crc) != Crc(type, data)) PngError(65282);
        if (type == "IDAT" && idat) {
            idat->Data() += data;
        } else {
            TChunk* chunk = list.Add(TChunkClasses::Create(&list, type));
            chunk->Data() = std::move(data);
            if (type == "IDAT") idat = chunk;
        }
        if (type == "IEND") break;
    }
    if (list.Count() == 0 || list.Item(0)->ChunkType() != "IHDR") PngError(65283);
    if (!idat) PngError(65284);
}

// The header's facts, checked.
Header Inspect(const TChunkList& list) {
    Header h;
    const TChunk* ihdrChunk = list.Item(0);
    if (ihdrChunk->Data().size() < 13) PngError(65283);
    const auto& ihdr = static_cast<const TChunkIHDR&>(*ihdrChunk);
    h.width = ihdr.Width();
    h.height = ihdr.Height();
    h.depth = ihdr.BitDepth();
    h.colorType = ihdr.ColorType();
    h.interlace = ihdr.InterlaceMethod();
    if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFF || h.height > 0x7FFFFFFF) PngError(65282);
    bool valid;
    switch (h.colorType) {
        case 0: valid = h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16; break;
        case 3: valid = h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8; break;
        case 2:
        case 4:
        case 6: valid = h.depth == 8 || h.depth == 16; break;
        default: valid = false;
    }
    if (!valid) PngError(65286);
    if (ihdr.CompressionMethod() != 0) PngError(65282);
    if (ihdr.FilterMethod() != 0) PngError(65287);
    if (h.interlace != 0 && h.interlace != 1) PngError(65288);
    h.bitsPerPixel = h.depth * Channels(h.colorType);
    h.idat = list.ItemFromType("IDAT");
    // The hooks run in list order: a gAMA listed after the image data has
    // no tables yet when it is decoded, and would turn every sample black.
    const TChunk* gamma = list.ItemFromType("gAMA");
    if (gamma && h.idat && list.IndexOf(gamma) < list.IndexOf(h.idat)) h.gamma = static_cast<const TChunkGAMA*>(gamma);
    return h;
}

uint8_t Paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    if (pb <= pc) return static_cast<uint8_t>(b);
    return static_cast<uint8_t>(c);
}

void Unfilter(int type, uint8_t* row, const uint8_t* prev, size_t n, size_t dist) {
    switch (type) {
        case 0: break;
        case 1:
            for (size_t i = dist; i < n; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - dist]);
            break;
        case 2:
            for (size_t i = 0; i < n; ++i) row[i] = static_cast<uint8_t>(row[i] + prev[i]);
            break;
        case 3:
            for (size_t i = 0; i < n; ++i) {
                int left = i >= dist ? row[i - dist] : 0;
                row[i] = static_cast<uint8_t>(row[i] + ((left + prev[i]) >> 1));
            }
            break;
        case 4:
            for (size_t i = 0; i < n; ++i) {
                int left = i >= dist ? row[i - dist] : 0;
                int upLeft = i >= dist ? prev[i - dist] : 0;
                row[i] = static_cast<uint8_t>(row[i] + Paeth(left, prev[i], upLeft));
            }
            break;
        default: PngError(65287);
    }
}

// One decoded row: pass 0 for a plain image, 1..7 for the Adam7 passes; the
// row's pixels go to columns x0, x0 + dx, ... (count of them).
using RowSink = std::function<void(int pass, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count, const uint8_t* raw)>;

void ReadRows(const Header& h, const RowSink& sink, const std::function<void(int)>& progress) {
    TMemoryStream data(h.idat->Data());
    TZDecompressionStream z(data);
    const size_t dist = static_cast<size_t>(std::max(1, h.bitsPerPixel / 8));
    const size_t maxRow = h.RowBytes(h.width);
    std::vector<uint8_t> cur(maxRow + 1), prev(maxRow + 1);
    // Runs out quietly: what the data does not hold stays black.
    auto readRow = [&](size_t n) {
        if (z.Read(cur.data(), n + 1) != n + 1) return false;
        if (cur[0] > 4) PngError(65287);
        Unfilter(cur[0], cur.data() + 1, prev.data() + 1, n, dist);
        return true;
    };
    if (h.interlace == 0) {
        for (uint32_t y = 0; y < h.height; ++y) {
            if (!readRow(maxRow)) return;
            sink(0, y, 0, 1, h.width, cur.data() + 1);
            std::swap(cur, prev);
            if (progress) progress(static_cast<int>((uint64_t(y) + 1) * 100 / h.height));
        }
        return;
    }
    static const uint32_t startRow[] = {0, 0, 4, 0, 2, 0, 1}, rowStep[] = {8, 8, 8, 4, 4, 2, 2},
                          startCol[] = {0, 4, 0, 2, 0, 1, 0}, colStep[] = {8, 8, 4, 4, 2, 2, 1};
    for (int pass = 0; pass < 7; ++pass) {
        const uint32_t sc = startCol[pass], cs = colStep[pass];
        const uint32_t width = h.width > sc ? (h.width - sc + cs - 1) / cs : 0;
        if (width > 0 && h.height > startRow[pass]) {
            const size_t n = h.RowBytes(width);
            std::fill(prev.begin(), prev.end(), 0);
            for (uint32_t y = startRow[pass]; y < h.height; y += rowStep[pass]) {
                if (!readRow(n)) return;
                sink(pass + 1, y, sc, cs, width, cur.data() + 1);
                std::swap(cur, prev);
            }
        }
        if (progress) progress(pass * 100 / 6);
    }
}

// Samples of `sbits` bits taken at the columns whose mask bit is set, widened
// to `dbits` bits, stored at those columns; other bits are left alone.
void PackedConvert(const uint8_t* src, uint8_t* dst, uint32_t width, uint8_t mask, int sbits, int dbits) {
    const int sPerByte = 8 / sbits, dPerByte = 8 / dbits;
    const int smax = (1 << sbits) - 1, dmax = (1 << dbits) - 1;
    int taken = 0, dcol = 0;
    for (uint32_t c = 0; c < width; ++c) {
        if (mask & (0x80 >> (c % 8))) {
            int sample = (*src >> (8 - sbits * (taken + 1))) & smax;
            if (++taken == sPerByte) {
                taken = 0;
                ++src;
            }
            const int v = MulDiv(sample, dmax, smax);
            const int shift = 8 - dbits * (dcol + 1);
            *dst = static_cast<uint8_t>((*dst & ~(dmax << shift)) | (v << shift));
        }
        if (++dcol == dPerByte) {
            dcol = 0;
            ++dst;
        }
    }
}

const uint8_t kPassMask[] = {0xFF, 0x80, 0x08, 0x88, 0x22, 0xAA, 0x55, 0xFF};

// The high byte of 16-bit samples, the byte itself of 8-bit ones.
inline uint8_t Sample8(const uint8_t* raw, size_t index, int depth) {
    return depth == 16 ? raw[index * 2] : raw[index];
}

}  // namespace

// ---- errors ----

std::string PngErrorText(int code) {
    switch (code) {
        case 65280: return "The chunk index especified is out of the range.";
        case 65281: return "The chunk class index especified is  out of range.";
        case 65282: return "Can't read the PNG image, it has corrupted data. ";
        case 65283:
            return "This PNG image is invalid, the IHDR chunk is either not present or it isn't the first chunk.";
        case 65284: return "The current image being loaded has no data and could not be loaded.";
        case 65285: return "The current image being loaded has an invalid palette!";
        case 65286: return "Could not read the image because it has an unknown color type.";
        case 65287: return "The image could not be loaded because it uses an unknown set of filter types.";
        case 65288: return "The image has an unknown interlace method.";
        case 65289:
            return "The currently being loaded image contains critical(s) chunk(s) not reconized by the decoder.";
        case 65290: return "The current image requeries a palette but it is not avaliable.";
        case 65291:
            return "Can not get transparency information because the current image color type is not RGB (value 3)";
        case 65292:
            return "The especified chunk is not inside the chunk list containing the method being used. The funcion "
                   "could not be completed.";
        case 65311: return "Invalid Portable Graphics Network image, it has an invalid file header.";
        default: return "";
    }
}

EPNGImageException::EPNGImageException(int code)
    : EInvalidGraphic("Portable Network Graphics format handler error\r\n\r\n" + PngErrorText(code)), Code(code) {}

// ---- chunks ----

TChunk::TChunk(TChunkList* owner, const std::string& type) : owner_(owner), type_(type) {}
TChunk::~TChunk() = default;

void TChunk::Assign(const TChunk& source) {
    data_ = source.data_;
    type_ = source.type_;
}

void TChunk::SaveToStream(TStream& stream) {
    if (type_.size() != 4 || (type_[3] >= 'a' && type_[3] <= 'z')) return;
    std::string out;
    out.reserve(data_.size() + 12);
    Put32(out, static_cast<uint32_t>(data_.size()));
    out += type_;
    out += data_;
    Put32(out, Crc(type_, data_));
    stream.WriteBuffer(out.data(), out.size());
}

TChunkIHDR::TChunkIHDR(TChunkList* owner) : TChunk(owner, "IHDR") { data_.assign(13, '\0'); }

uint32_t TChunkIHDR::Width() const { return data_.size() >= 4 ? Get32(data_, 0) : 0; }
uint32_t TChunkIHDR::Height() const { return data_.size() >= 8 ? Get32(data_, 4) : 0; }
int TChunkIHDR::BitDepth() const { return data_.size() > 8 ? static_cast<uint8_t>(data_[8]) : 0; }
int TChunkIHDR::ColorType() const { return data_.size() > 9 ? static_cast<uint8_t>(data_[9]) : 0; }
int TChunkIHDR::CompressionMethod() const { return data_.size() > 10 ? static_cast<uint8_t>(data_[10]) : 0; }
int TChunkIHDR::FilterMethod() const { return data_.size() > 11 ? static_cast<uint8_t>(data_[11]) : 0; }
int TChunkIHDR::InterlaceMethod() const { return data_.size() > 12 ? static_cast<uint8_t>(data_[12]) : 0; }

void TChunkIHDR::Set(uint32_t width, uint32_t height, int depth, int colorType, int interlace) {
    data_.clear();
    Put32(data_, width);
    Put32(data_, height);
    data_.push_back(char(depth));
    data_.push_back(char(colorType));
    data_.push_back(0);
    data_.push_back(0);
    data_.push_back(char(interlace));
}

TChunkGAMA::TChunkGAMA(TChunkList* owner) : TChunk(owner, "gAMA") { SetValue(1); }

uint32_t TChunkGAMA::Value() const { return data_.size() >= 4 ? Get32(data_, 0) : 0; }

void TChunkGAMA::SetValue(uint32_t value) {
    data_.clear();
    Put32(data_, value);
}

void TChunkGAMA::Assign(const TChunk& source) {
    TChunk::Assign(source);
    if (auto* g = dynamic_cast<const TChunkGAMA*>(&source)) {
        GammaTable = g->GammaTable;
        InverseTable = g->InverseTable;
    }
}

void TChunkGAMA::BuildTables() {
    const uint32_t value = Value();
    GammaTable.fill(0);
    InverseTable.fill(0);
    for (int i = 0; i < 256; ++i) {
        if (value == 0) {
            // No gamma at all: leave the samples as they are.
            GammaTable[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
        } else {
            const double g = value / 100000.0;
            const double v = std::nearbyint(255.0 * std::pow(i / 255.0, 1.0 / (g * 2.2)));
            GammaTable[static_cast<size_t>(i)] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
        }
    }
    for (int i = 0; i < 256; ++i) InverseTable[GammaTable[static_cast<size_t>(i)]] = static_cast<uint8_t>(i);
}

void TChunkIDAT::AfterLoad() {
    if (owner_ && owner_->Owner()) owner_->Owner()->DecodeImage();
}

void TChunkIDAT::SaveToStream(TStream& stream) {
    if (owner_ && owner_->Owner()) owner_->Owner()->EncodeImage(*this);
    TChunk::SaveToStream(stream);
}

void TChunkPLTE::SaveToStream(TStream& stream) {
    const TChunkGAMA* gamma =
        owner_ ? static_cast<const TChunkGAMA*>(owner_->ItemFromType("gAMA")) : nullptr;
    if (!gamma) {
        TChunk::SaveToStream(stream);
        return;
    }
    const std::string raw = data_;
    for (char& c : data_) c = static_cast<char>(gamma->InverseTable[static_cast<uint8_t>(c)]);
    TChunk::SaveToStream(stream);
    data_ = raw;
}

std::string TChunkTEXT::Keyword() const { return data_.substr(0, data_.find('\0')); }

std::string TChunkTEXT::Text() const {
    size_t z = data_.find('\0');
    return z == std::string::npos ? std::string() : data_.substr(z + 1);
}

void TChunkTEXT::SetText(const std::string& keyword, const std::string& text) {
    data_ = keyword;
    data_.push_back('\0');
    data_ += text;
}

TColor TChunkTRNS::TransparentColor() const {
    if (owner_) {
        const TChunk* ihdr = owner_->ItemFromType("IHDR");
        if (ihdr && static_cast<const TChunkIHDR*>(ihdr)->ColorType() != 2) PngError(65291);
    }
    auto low = [&](size_t at) { return at < data_.size() ? static_cast<uint8_t>(data_[at]) : 0; };
    return RGB(low(1), low(3), low(5));
}

void TChunkTRNS::SetTransparentColor(TColor color) {
    TColor c = ColorToRGB(color);
    data_.clear();
    Put16(data_, static_cast<uint32_t>(GetRValue(c)));
    Put16(data_, static_cast<uint32_t>(GetGValue(c)));
    Put16(data_, static_cast<uint32_t>(GetBValue(c)));
}

// ---- registry and list ----

namespace {
const char* const kRegistered[] = {"IEND", "IHDR", "gAMA", "IDAT", "PLTE", "tEXt", "tRNS"};
}

int TChunkClasses::Count() { return static_cast<int>(std::size(kRegistered)); }

std::string TChunkClasses::TypeAt(int index) {
    if (index < 0 || index >= Count()) PngError(65281);
    return kRegistered[index];
}

bool TChunkClasses::Known(const std::string& type) {
    if (type == "tIME") return true;
    for (const char* t : kRegistered)
        if (type == t) return true;
    return false;
}

std::unique_ptr<TChunk> TChunkClasses::Create(TChunkList* owner, const std::string& type) {
    if (type == "IEND") return std::make_unique<TChunkIEND>(owner);
    if (type == "IHDR") return std::make_unique<TChunkIHDR>(owner);
    if (type == "gAMA") return std::make_unique<TChunkGAMA>(owner);
    if (type == "IDAT") return std::make_unique<TChunkIDAT>(owner);
    if (type == "PLTE") return std::make_unique<TChunkPLTE>(owner);
    if (type == "tEXt") return std::make_unique<TChunkTEXT>(owner);
    if (type == "tRNS") return std::make_unique<TChunkTRNS>(owner);
    return std::make_unique<TChunk>(owner, type);
}

TChunk* TChunkList::Item(int index) const {
    if (index < 0 || index >= Count()) PngError(65280);
    return items_[static_cast<size_t>(index)].get();
}

TChunk* TChunkList::Add(std::unique_ptr<TChunk> chunk) { return Insert(Count(), std::move(chunk)); }

TChunk* TChunkList::Insert(int index, std::unique_ptr<TChunk> chunk) {
    index = std::clamp(index, 0, Count());
    chunk->SetOwner(this);
    TChunk* p = chunk.get();
    items_.insert(items_.begin() + index, std::move(chunk));
    return p;
}

int TChunkList::IndexOf(const TChunk* chunk) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == chunk) return static_cast<int>(i);
    return -1;
}

void TChunkList::Remove(TChunk* chunk) {
    int i = IndexOf(chunk);
    if (i < 0) PngError(65292);
    items_.erase(items_.begin() + i);
}

void TChunkList::Move(TChunk* chunk, int index) {
    int i = IndexOf(chunk);
    if (i < 0) PngError(65292);
    std::unique_ptr<TChunk> p = std::move(items_[static_cast<size_t>(i)]);
    items_.erase(items_.begin() + i);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, std::move(p));
}

TChunk* TChunkList::ItemFromType(const std::string& type) const {
    for (const auto& c : items_)
        if (c->ChunkType() == type) return c.get();
    return nullptr;
}

// ---- the image ----

TPNGImage::TPNGImage() : chunks_(this) {}
TPNGImage::~TPNGImage() = default;

void TPNGImage::LoadFromStream(TStream& stream) {
    filters_ = pfNone | pfSub | pfAverage | pfPaeth;
    interlacing_ = false;
    ReadChunks(stream, chunks_);
    for (int i = 0; i < chunks_.Count(); ++i) chunks_.Item(i)->AfterLoad();
    SetTransparent(false);
    if (auto* trns = static_cast<TChunkTRNS*>(chunks_.ItemFromType("tRNS"))) {
        if (static_cast<TChunkIHDR*>(chunks_.Item(0))->ColorType() == 2 && trns->Data().size() >= 6) {
            SetTransparentColor(trns->TransparentColor());
            SetTransparent(true);
        }
    }
}

void TPNGImage::LoadFromStream(const std::string& bytes) {
    TMemoryStream s(bytes);
    LoadFromStream(s);
}

void TPNGImage::LoadFromFile(const std::string& fileName) {
    TMemoryStream s;
    s.LoadFromFile(fileName);
    LoadFromStream(s);
}

void TPNGImage::DecodeImage() {
    const Header h = Inspect(chunks_);
    const uint8_t* gamma = h.gamma ? h.gamma->GammaTable.data() : nullptr;
    auto g = [gamma](uint8_t v) { return gamma ? gamma[v] : v; };

    TPixelFormat format;
    if (h.colorType == 2 || h.colorType == 6)
        format = TPixelFormat::pf24bit;
    else if (h.depth == 1)
        format = TPixelFormat::pf1bit;
    else if (h.depth == 2 || h.depth == 4)
        format = TPixelFormat::pf4bit;
    else
        format = TPixelFormat::pf8bit;

    std::vector<TColor> palette;
    if (h.colorType == 3) {
        const TChunk* plte = chunks_.ItemFromType("PLTE");
        if (!plte) PngError(65290);
        const std::string& d = plte->Data();
        if (d.size() % 3 != 0) PngError(65285);
        for (size_t i = 0; i + 2 < d.size(); i += 3)
            palette.push_back(RGB(g(static_cast<uint8_t>(d[i])), g(static_cast<uint8_t>(d[i + 1])),
                                  g(static_cast<uint8_t>(d[i + 2]))));
        if (h.depth == 2 && palette.size() < 16) {
            palette.resize(4, clBlack);
            for (size_t i = 4; i < 16; ++i) palette.push_back(palette[i % 4]);
        }
    } else if (h.colorType == 0 || h.colorType == 4) {
        const int n = h.depth == 16 ? 256 : 1 << h.depth;
        for (int i = 0; i < n; ++i) {
            const uint8_t v = g(static_cast<uint8_t>(MulDiv(i, 255, n - 1)));
            palette.push_back(RGB(v, v, v));
        }
        if (h.depth == 2)
            for (size_t i = 4; i < 16; ++i) palette.push_back(palette[i % 4]);
    }

    SetSize(0, 0);
    SetPixelFormat(format);
    SetSize(static_cast<int>(h.width), static_cast<int>(h.height));
    if (!palette.empty()) SetPalette(palette);

    const int depth = h.depth, ct = h.colorType;
    const size_t plainBytes = h.RowBytes(h.width);
    RowSink sink = [&](int pass, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count, const uint8_t* raw) {
        uint8_t* scan = ScanLine(static_cast<int>(y));
        if (ct == 0 || ct == 3) {
            if (depth < 8 && (pass > 0 || depth == 2)) {
                PackedConvert(raw, scan, h.width, kPassMask[pass], depth, depth == 2 ? 4 : depth);
                return;
            }
            if (pass == 0 && depth <= 8) {
                std::memcpy(scan, raw, plainBytes);
                return;
            }
            for (uint32_t k = 0; k < count; ++k) scan[x0 + k * dx] = Sample8(raw, k, depth);
            return;
        }
        if (ct == 4) {
            for (uint32_t k = 0; k < count; ++k) scan[x0 + k * dx] = Sample8(raw, size_t(k) * 2, depth);
            return;
        }
        const size_t ch = ct == 6 ? 4 : 3;
        for (uint32_t k = 0; k < count; ++k) {
            uint8_t* px = scan + size_t(x0 + k * dx) * 3;
            px[0] = g(Sample8(raw, k * ch + 2, depth));
            px[1] = g(Sample8(raw, k * ch + 1, depth));
            px[2] = g(Sample8(raw, k * ch, depth));
        }
    };
    ReadRows(h, sink, OnProgress);
}

void TPNGImage::Assign(const TPNGImage& source) {
    if (this == &source) return;
    chunks_.Clear();
    for (int i = 0; i < source.chunks_.Count(); ++i) {
        const TChunk* c = source.chunks_.Item(i);
        std::unique_ptr<TChunk> copy = TChunkClasses::Create(&chunks_, c->ChunkType());
        copy->Assign(*c);
        chunks_.Add(std::move(copy));
    }
    filters_ = source.filters_;
    interlacing_ = source.interlacing_;
    TBitmap::Assign(source);
}

// ---- the encoder ----

void TPNGImage::PrepareHeader() {
    TChunk* ihdrChunk = chunks_.ItemFromType("IHDR");
    if (!ihdrChunk)
        ihdrChunk = chunks_.Insert(0, std::make_unique<TChunkIHDR>(&chunks_));
    else
        chunks_.Move(ihdrChunk, 0);
    auto& ihdr = static_cast<TChunkIHDR&>(*ihdrChunk);

    int depth = 8, colorType = 2;
    switch (PixelFormat()) {
        case TPixelFormat::pf1bit: depth = 1, colorType = 3; break;
        case TPixelFormat::pf4bit: depth = 4, colorType = 3; break;
        case TPixelFormat::pf8bit: depth = 8, colorType = 3; break;
        default: SetPixelFormat(TPixelFormat::pf24bit);
    }
    ihdr.Set(static_cast<uint32_t>(Width()), static_cast<uint32_t>(Height()), depth, colorType, interlacing_ ? 1 : 0);

    while (TChunk* plte = chunks_.ItemFromType("PLTE")) chunks_.Remove(plte);
    if (colorType == 3) {
        TChunk* plte = chunks_.Insert(1, std::make_unique<TChunkPLTE>(&chunks_));
        for (TColor c : Palette()) {
            plte->Data().push_back(char(GetRValue(c)));
            plte->Data().push_back(char(GetGValue(c)));
            plte->Data().push_back(char(GetBValue(c)));
        }
    }

    if (!chunks_.ItemFromType("IEND")) chunks_.Add(std::make_unique<TChunkIEND>(&chunks_));
    TChunk* iend = chunks_.ItemFromType("IEND");
    chunks_.Move(iend, chunks_.Count() - 1);
    if (!chunks_.ItemFromType("IDAT")) chunks_.Insert(chunks_.IndexOf(iend), std::make_unique<TChunkIDAT>(&chunks_));

    while (TChunk* trns = chunks_.ItemFromType("tRNS")) chunks_.Remove(trns);
    if (Transparent()) {
        auto trns = std::make_unique<TChunkTRNS>(&chunks_);
        const TColor key = ColorToRGB(TransparentColor());
        bool add = true;
        if (colorType == 2) {
            trns->SetTransparentColor(key);
        } else {
            // A palette image marks the palette entry of the colour fully transparent.
            const std::vector<TColor> pal = Palette();
            auto it = std::find(pal.begin(), pal.end(), key);
            add = it != pal.end();
            if (add) {
                trns->Data().assign(static_cast<size_t>(it - pal.begin()) + 1, char(0xFF));
                trns->Data().back() = 0;
            }
        }
        if (add) chunks_.Insert(chunks_.IndexOf(chunks_.ItemFromType("IDAT")), std::move(trns));
    }
}

void TPNGImage::SaveToStream(TStream& stream) {
    if (Width() <= 0 || Height() <= 0) throw EInvalidGraphicOperation("An empty bitmap cannot be saved as PNG");
    stream.WriteBuffer(kSignature, 8);
    PrepareHeader();
    for (int i = 0; i < chunks_.Count(); ++i) chunks_.Item(i)->SaveToStream(stream);
}

std::string TPNGImage::SaveToStream() {
    TMemoryStream s;
    SaveToStream(s);
    return s.Bytes();
}

void TPNGImage::SaveToFile(const std::string& fileName) { WriteFileAtomic(fileName, SaveToStream()); }

void TPNGImage::EncodeImage(TChunkIDAT& idat) {
    const bool palette = PixelFormat() == TPixelFormat::pf1bit || PixelFormat() == TPixelFormat::pf4bit ||
                         PixelFormat() == TPixelFormat::pf8bit;
    const size_t depth = static_cast<size_t>(BitsPerPixel());
    const size_t width = static_cast<size_t>(Width());
    const size_t rowSize = palette ? (depth * width + 7) / 8 : width * 3;
    const size_t dist = palette ? 1 : 3;
    const TChunkGAMA* gamma = static_cast<const TChunkGAMA*>(chunks_.ItemFromType("gAMA"));

    // Row y as the file holds it: palette indices as stored, colours as red,
    // green, blue through the inverse gamma.
    std::vector<uint8_t> row(rowSize);
    auto fileRow = [&](int y) {
        const uint8_t* scan = ScanLine(y);
        if (palette) {
            std::memcpy(row.data(), scan, rowSize);
            return;
        }
        for (size_t x = 0; x < width; ++x) {
            uint8_t b = scan[3 * x], gr = scan[3 * x + 1], r = scan[3 * x + 2];
            if (gamma) {
                r = gamma->InverseTable[r];
                gr = gamma->InverseTable[gr];
                b = gamma->InverseTable[b];
            }
            row[3 * x] = r;
            row[3 * x + 1] = gr;
            row[3 * x + 2] = b;
        }
    };

    std::vector<uint8_t> prev, out[5];
    TMemoryStream data;
    TZCompressionStream z(TCompressionLevel::clDefault, data);
    // One row of n bytes through the filters: the type whose output holds the
    // longest runs of equal bytes (they compress best) is written.
    auto writeRow = [&](const std::vector<uint8_t>& bytes, size_t n) {
        for (int t = 1; t <= 4; ++t)
            if (filters_ & (1 << t)) out[t].resize(n);
        for (size_t i = 0; i < n; ++i) {
            const int left = i >= dist ? bytes[i - dist] : 0;
            const int above = prev[i];
            const int upLeft = i >= dist ? prev[i - dist] : 0;
            if (!out[1].empty()) out[1][i] = static_cast<uint8_t>(bytes[i] - left);
            if (!out[2].empty()) out[2][i] = static_cast<uint8_t>(bytes[i] - above);
            if (!out[3].empty()) out[3][i] = static_cast<uint8_t>(bytes[i] - (left + above) / 2);
            if (!out[4].empty()) out[4][i] = static_cast<uint8_t>(bytes[i] - Paeth(left, above, upLeft));
        }
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), prev.begin());
        int chosen = 0;
        if (filters_ != pfNone) {
            auto score = [&](const std::vector<uint8_t>& o) {
                int s = 0;
                for (size_t j = 4; j < n; ++j)
                    if (o[j] == o[j - 1] && o[j] == o[j - 2] && o[j] == o[j - 3] && o[j] == o[j - 4]) ++s;
                return s;
            };
            int best = 0;
            for (int t = 0; t <= 4; ++t) {
                if (!(filters_ & (1 << t))) continue;
                const int s = score(t == 0 ? prev : out[t]);
                if (s > best) {
                    best = s;
                    chosen = t;
                }
            }
        }
        const uint8_t type = static_cast<uint8_t>(chosen);
        z.WriteBuffer(&type, 1);
        z.WriteBuffer((chosen == 0 ? prev : out[chosen]).data(), n);
    };

    if (!interlacing_) {
        prev.assign(rowSize, 0);
        for (int y = 0; y < Height(); ++y) {
            fileRow(y);
            writeRow(row, rowSize);
        }
    } else {
        // Adam7: seven passes over every eighth, fourth, second pixel; each
        // pass's rows are filtered among themselves.
        static const size_t startRow[] = {0, 0, 4, 0, 2, 0, 1}, rowStep[] = {8, 8, 8, 4, 4, 2, 2},
                            startCol[] = {0, 4, 0, 2, 0, 1, 0}, colStep[] = {8, 8, 4, 4, 2, 2, 1};
        std::vector<uint8_t> passRow;
        for (int pass = 0; pass < 7; ++pass) {
            const size_t sc = startCol[pass], cs = colStep[pass];
            const size_t pw = width > sc ? (width - sc + cs - 1) / cs : 0;
            if (pw == 0) continue;
            const size_t n = palette ? (depth * pw + 7) / 8 : pw * 3;
            prev.assign(n, 0);
            for (size_t y = startRow[pass]; y < static_cast<size_t>(Height()); y += rowStep[pass]) {
                fileRow(static_cast<int>(y));
                passRow.assign(n, 0);
                for (size_t j = 0; j < pw; ++j) {
                    const size_t x = sc + j * cs;
                    if (!palette) {
                        std::memcpy(&passRow[3 * j], &row[3 * x], 3);
                        continue;
                    }
                    const unsigned sample = (row[x * depth / 8] >> (8 - depth - x * depth % 8)) & ((1u << depth) - 1);
                    passRow[j * depth / 8] |= static_cast<uint8_t>(sample << (8 - depth - j * depth % 8));
                }
                writeRow(passRow, n);
            }
        }
    }
    z.Finish();
    idat.Data() = data.Bytes();
}

// ---- the format's registration ----

std::vector<TPictureFileFormat>& PictureFileFormats() {
    static std::vector<TPictureFileFormat> formats;
    return formats;
}

namespace {
struct RegisterPng {
    RegisterPng() { PictureFileFormats().push_back({"PNG", "Portable Network Graphics"}); }
    ~RegisterPng() {
        auto& f = PictureFileFormats();
        f.erase(std::remove_if(f.begin(), f.end(), [](const TPictureFileFormat& x) { return x.Extension == "PNG"; }),
                f.end());
    }
} registerPng;
}  // namespace

// ---- with alpha ----

void DecodePngArgb(TStream& stream, int& width, int& height, std::vector<uint32_t>& pixels) {
    TChunkList list(nullptr);
    ReadChunks(stream, list);
    for (int i = 0; i < list.Count(); ++i)
        if (list.Item(i)->ChunkType() == "gAMA") list.Item(i)->AfterLoad();
    const Header h = Inspect(list);
    const uint8_t* gamma = h.gamma ? h.gamma->GammaTable.data() : nullptr;
    auto g = [gamma](uint8_t v) -> uint32_t { return gamma ? gamma[v] : v; };

    // Width x height must make a bitmap the platform can hold.
    if (uint64_t(h.width) * h.height > 64ull * 1024 * 1024) throw EOutOfResources();
    width = static_cast<int>(h.width);
    height = static_cast<int>(h.height);
    pixels.assign(size_t(h.width) * h.height, 0xFF000000u);

    std::vector<uint32_t> palette(256, 0xFF000000u);
    if (h.colorType == 3) {
        const TChunk* plte = list.ItemFromType("PLTE");
        if (!plte) PngError(65290);
        const std::string& d = plte->Data();
        if (d.size() % 3 != 0) PngError(65285);
        for (size_t i = 0; i + 2 < d.size() && i / 3 < 256; i += 3)
            palette[i / 3] = 0xFF000000u | (g(static_cast<uint8_t>(d[i])) << 16) |
                             (g(static_cast<uint8_t>(d[i + 1])) << 8) | g(static_cast<uint8_t>(d[i + 2]));
    }
    const TChunk* trnsChunk = list.ItemFromType("tRNS");
    const std::string trns = trnsChunk ? trnsChunk->Data() : std::string();
    if (h.colorType == 3)
        for (size_t i = 0; i < trns.size() && i < 256; ++i)
            palette[i] = (palette[i] & 0xFFFFFFu) | (uint32_t(static_cast<uint8_t>(trns[i])) << 24);
    auto key = [&](size_t i) -> int {
        return trns.size() >= 2 * i + 2 ? (static_cast<uint8_t>(trns[2 * i]) << 8) | static_cast<uint8_t>(trns[2 * i + 1])
                                        : -1;
    };
    const int keyGrey = h.colorType == 0 ? key(0) : -1;
    const int keyR = h.colorType == 2 ? key(0) : -1, keyG = h.colorType == 2 ? key(1) : -1,
              keyB = h.colorType == 2 ? key(2) : -1;

    const int depth = h.depth, ct = h.colorType, ch = Channels(ct);
    // Full sample c of pixel k (packed samples for depths below 8).
    auto sample = [depth, ch](const uint8_t* raw, uint32_t k, int c) -> int {
        if (depth < 8) {
            const uint32_t bit = k * static_cast<uint32_t>(depth);
            return (raw[bit / 8] >> (8 - depth - static_cast<int>(bit % 8))) & ((1 << depth) - 1);
        }
        const size_t i = size_t(k) * ch + static_cast<size_t>(c);
        return depth == 16 ? (raw[2 * i] << 8) | raw[2 * i + 1] : raw[i];
    };
    auto to8 = [depth](int v) -> uint8_t {
        return depth == 16 ? static_cast<uint8_t>(v >> 8)
                           : depth == 8 ? static_cast<uint8_t>(v) : static_cast<uint8_t>(v * 255 / ((1 << depth) - 1));
    };
    RowSink sink = [&](int, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count, const uint8_t* raw) {
        uint32_t* line = pixels.data() + size_t(y) * h.width;
        for (uint32_t k = 0; k < count; ++k) {
            uint32_t argb;
            switch (ct) {
                case 0: {
                    const int s = sample(raw, k, 0);
                    const uint32_t v = g(to8(s));
                    argb = (s == keyGrey ? 0u : 0xFF000000u) | (v << 16) | (v << 8) | v;
                    break;
                }
                case 3: argb = palette[static_cast<size_t>(sample(raw, k, 0)) & 0xFF]; break;
                case 2: {
                    const int r = sample(raw, k, 0), gr = sample(raw, k, 1), b = sample(raw, k, 2);
                    const bool clear = r == keyR && gr == keyG && b == keyB;
                    argb = (clear ? 0u : 0xFF000000u) | (g(to8(r)) << 16) | (g(to8(gr)) << 8) | g(to8(b));
                    break;
                }
                case 4: {
                    const uint32_t v = g(to8(sample(raw, k, 0)));
                    argb = (uint32_t(to8(sample(raw, k, 1))) << 24) | (v << 16) | (v << 8) | v;
                    break;
                }
                default:
                    argb = (uint32_t(to8(sample(raw, k, 3))) << 24) | (g(to8(sample(raw, k, 0))) << 16) |
                           (g(to8(sample(raw, k, 1))) << 8) | g(to8(sample(raw, k, 2)));
            }
            line[x0 + k * dx] = argb;
        }
    };
    ReadRows(h, sink, nullptr);
}
