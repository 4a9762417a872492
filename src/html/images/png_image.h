#pragma once
// PNG pictures: TPNGImage reads a PNG file into an ordinary bitmap (1-, 4- or
// 8-bit with a palette for grey and palette images, 24-bit for colour), with the
// gamma of a gAMA chunk and the transparent colour of a tRNS chunk, and writes a
// bitmap back as PNG. DecodePngArgb reads the same files with their alpha.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/images/streams.h"
#include "platform/gui/bitmap.h"

// "Portable Network Graphics format handler error\r\n\r\n<text>".
class EPNGImageException : public EInvalidGraphic {
public:
    explicit EPNGImageException(int code);
    int Code;
};
// Texts by code: 65280..65292 and 65311.
std::string PngErrorText(int code);

class TChunkList;
class TPNGImage;

// One chunk: its four-letter type and its data.
class TChunk {
public:
    TChunk(TChunkList* owner, const std::string& type);
    virtual ~TChunk();
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    // Runs once every chunk of a file is read.
    virtual void AfterLoad() {}
    virtual void Assign(const TChunk& source);
    // Length, type, data and CRC; a chunk whose fourth letter is lower case is
    // not written.
    virtual void SaveToStream(TStream& stream);

    const std::string& ChunkType() const { return type_; }
    TChunkList* Owner() const { return owner_; }
    void SetOwner(TChunkList* owner) { owner_ = owner; }
    std::string& Data() { return data_; }
    const std::string& Data() const { return data_; }

protected:
    TChunkList* owner_;
    std::string type_;
    std::string data_;
};

class TChunkIEND : public TChunk {
public:
    explicit TChunkIEND(TChunkList* owner) : TChunk(owner, "IEND") {}
};

class TChunkIHDR : public TChunk {
public:
    explicit TChunkIHDR(TChunkList* owner);
    // The 13 bytes: width, height (32-bit big-endian), depth, colour type,
    // compression, filter and interlace methods.
    uint32_t Width() const;
    uint32_t Height() const;
    int BitDepth() const;
    int ColorType() const;
    int CompressionMethod() const;
    int FilterMethod() const;
    int InterlaceMethod() const;
    void Set(uint32_t width, uint32_t height, int depth, int colorType, int interlace);
};

class TChunkGAMA : public TChunk {
public:
    explicit TChunkGAMA(TChunkList* owner);
    // Gamma x 100000.
    uint32_t Value() const;
    void SetValue(uint32_t value);
    void AfterLoad() override { BuildTables(); }
    void Assign(const TChunk& source) override;
    void BuildTables();
    std::array<uint8_t, 256> GammaTable{};
    std::array<uint8_t, 256> InverseTable{};
};

class TChunkIDAT : public TChunk {
public:
    explicit TChunkIDAT(TChunkList* owner) : TChunk(owner, "IDAT") {}
    // Decodes the image into the owning TPNGImage.
    void AfterLoad() override;
    // Encodes the owning TPNGImage's bitmap first.
    void SaveToStream(TStream& stream) override;
};

class TChunkPLTE : public TChunk {
public:
    explicit TChunkPLTE(TChunkList* owner) : TChunk(owner, "PLTE") {}
    void SaveToStream(TStream& stream) override;
};

class TChunkTEXT : public TChunk {
public:
    explicit TChunkTEXT(TChunkList* owner) : TChunk(owner, "tEXt") {}
    std::string Keyword() const;
    std::string Text() const;
    void SetText(const std::string& keyword, const std::string& text);
};

class TChunkTRNS : public TChunk {
public:
    explicit TChunkTRNS(TChunkList* owner) : TChunk(owner, "tRNS") {}
    // The colour of a colour-type-2 image (low bytes of the three samples);
    // error 65291 for other colour types.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
};

// The registered chunk types, in registration order.
class TChunkClasses {
public:
    static int Count();
    // Error 65281 outside 0..Count-1.
    static std::string TypeAt(int index);
    // A new chunk of the registered class of the type (a plain chunk when none).
    static std::unique_ptr<TChunk> Create(TChunkList* owner, const std::string& type);
    // Registered, or known and kept as a plain chunk (tIME).
    static bool Known(const std::string& type);
};

class TChunkList {
public:
    explicit TChunkList(TPNGImage* owner) : owner_(owner) {}
    TPNGImage* Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Error 65280 outside 0..Count-1.
    TChunk* Item(int index) const;
    TChunk* Add(std::unique_ptr<TChunk> chunk);
    TChunk* Insert(int index, std::unique_ptr<TChunk> chunk);
    // Error 65292 for a chunk of another list.
    void Remove(TChunk* chunk);
    void Move(TChunk* chunk, int index);
    int IndexOf(const TChunk* chunk) const;
    // The first chunk of the type, or null.
    TChunk* ItemFromType(const std::string& type) const;
    void Clear() { items_.clear(); }

private:
    TPNGImage* owner_;
    std::vector<std::unique_ptr<TChunk>> items_;
};

// Filter types of the encoder, as bits (type 0 is always used).
constexpr uint8_t pfNone = 1, pfSub = 2, pfUp = 4, pfAverage = 8, pfPaeth = 16;

class TPNGImage : public TBitmap {
public:
    TPNGImage();
    ~TPNGImage() override;

    // Raises EPNGImageException, or the decompression stream's errors.
    void LoadFromStream(TStream& stream);
    void LoadFromStream(const std::string& bytes);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream);
    std::string SaveToStream();
    void SaveToFile(const std::string& fileName);
    void Assign(const TPNGImage& source);

    TChunkList& Chunks() { return chunks_; }
    const TChunkList& Chunks() const { return chunks_; }
    // Filter set used when saving (bits pfNone..pfPaeth); default None, Sub,
    // Average and Paeth.
    uint8_t Filters() const { return filters_; }
    void SetFilters(uint8_t filters) { filters_ = static_cast<uint8_t>(filters | pfNone); }
    bool Interlacing() const { return interlacing_; }
    void SetInterlacing(bool value) { interlacing_ = value; }

    // Percentage of rows decoded.
    std::function<void(int percent)> OnProgress;

private:
    friend class TChunkIDAT;
    void DecodeImage();
    void EncodeImage(TChunkIDAT& idat);
    void PrepareHeader();

    TChunkList chunks_;
    uint8_t filters_ = pfNone | pfSub | pfAverage | pfPaeth;
    bool interlacing_ = false;
};

// The picture file formats registered with the program (extension in upper
// case and the description open dialogs show). Loading this library adds
// "PNG", "Portable Network Graphics"; it is taken away again at exit.
struct TPictureFileFormat {
    std::string Extension, Description;
};
std::vector<TPictureFileFormat>& PictureFileFormats();

// The PNG's pixels with their alpha, 0xAARRGGBB, rows top-down (tRNS gives
// alpha to palette entries and marks a grey or colour value transparent).
// Raises what TPNGImage raises.
void DecodePngArgb(TStream& stream, int& width, int& height, std::vector<uint32_t>& pixels);
