#include "platform/gui/font_service.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QRawFont>
#include <QString>
#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "platform/runtime/errors.h"

TFontFace::~TFontFace() = default;
TFontService::~TFontService() = default;

int32_t TFontFace::Fill(char16_t c) const {
    auto& page = pages_[c >> 8];
    if (!page) {
        page = std::make_unique<Page>();
        page->fill(-1);
    }
    int32_t& slot = (*page)[c & 0xFF];
    if (slot < 0) {
        bool fallback = false;
        int w = std::clamp(MeasureChar(c, fallback), 0, 0xFFFF);
        slot = w | (fallback ? 0x10000 : 0);
    }
    return slot;
}

namespace {

std::string Lower(const std::string& s) {
    std::string r = s;
    for (char& ch : r) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return r;
}

bool HasFamily(const QString& family) {
    static const QStringList families = QFontDatabase::families();
    return families.contains(family, Qt::CaseInsensitive);
}

// Largest em height we build; sizes beyond it are clamped (a typed value must not
// make the rasteriser allocate gigabytes).
constexpr int kMaxEm = 4000;

class TQtFontFace : public TFontFace {
public:
    explicit TQtFontFace(const TFontSpec& spec) : TFontFace(spec) {
        family_ = ResolveFaceName(spec.Name);
        font_.setFamily(QString::fromStdString(family_));
        font_.setWeight((spec.Style & fsBold) ? QFont::Bold : QFont::Normal);
        font_.setItalic((spec.Style & fsItalic) != 0);
        font_.setUnderline((spec.Style & fsUnderline) != 0);
        font_.setStrikeOut((spec.Style & fsStrikeOut) != 0);
        // Advances must be whole pixels and independent of neighbours, as the
        // layout measures run by run.
        font_.setKerning(false);
        font_.setHintingPreference(QFont::PreferFullHinting);
        font_.setStyleStrategy(QFont::PreferAntialias);
        if (spec.Pitch == TFontPitch::fpFixed) font_.setFixedPitch(true);

        int em;
        if (spec.Height < 0) {
            em = -spec.Height;
        } else if (spec.Height > 0) {
            // A cell height: scale so that ascent + descent fills it.
            QFont probe = font_;
            probe.setPixelSize(100);
            QFontMetrics pm(probe);
            int cell = std::max(1, pm.ascent() + pm.descent());
            em = std::max(1, (std::min(spec.Height, kMaxEm) * 100 + cell / 2) / cell);
        } else {
            em = 16;
        }
        em_ = std::clamp(em, 1, kMaxEm);
        font_.setPixelSize(em_);
        raw_ = QRawFont::fromFont(font_);

        QFontMetrics fm(font_);
        TTextMetric& m = metrics_;
        m.tmAscent = fm.ascent();
        m.tmDescent = fm.descent();
        m.tmHeight = m.tmAscent + m.tmDescent;
        m.tmInternalLeading = std::max(0, m.tmHeight - em_);
        m.tmExternalLeading = raw_.isValid() ? std::max(0, qRound(raw_.leading())) : std::max(0, fm.leading());
        m.tmAveCharWidth = raw_.isValid() ? qRound(raw_.averageCharWidth()) : fm.averageCharWidth();
        m.tmMaxCharWidth = raw_.isValid() ? qRound(raw_.maxCharWidth()) : fm.maxWidth();
        if (m.tmAveCharWidth <= 0) m.tmAveCharWidth = std::max(1, CharWidth(u'x'));
        if (m.tmMaxCharWidth < m.tmAveCharWidth) m.tmMaxCharWidth = m.tmAveCharWidth;
        m.tmWeight = (spec.Style & fsBold) ? 700 : 400;
        m.tmItalic = (spec.Style & fsItalic) != 0;
        m.tmUnderlined = (spec.Style & fsUnderline) != 0;
        m.tmStruckOut = (spec.Style & fsStrikeOut) != 0;
        m.tmCharSet = static_cast<uint8_t>(spec.Charset == DEFAULT_CHARSET ? ANSI_CHARSET : spec.Charset);
        bool fixed = QFontInfo(font_).fixedPitch();
        uint8_t family = FF_SWISS;
        std::string lf = Lower(family_);
        if (lf.find("mono") != std::string::npos)
            family = FF_MODERN;
        else if (lf.find("serif") != std::string::npos && lf.find("sans") == std::string::npos)
            family = FF_ROMAN;
        std::string ln = Lower(spec.Name);
        if (ln.find("handwriting") != std::string::npos || ln.find("script") != std::string::npos)
            family = FF_SCRIPT;
        else if (ln == "symbol" || ln.find("wingdings") != std::string::npos || ln.find("webdings") != std::string::npos)
            family = FF_DECORATIVE;
        m.tmPitchAndFamily = static_cast<uint8_t>(family | TMPF_TRUETYPE | TMPF_VECTOR | (fixed ? 0 : TMPF_FIXED_PITCH));
    }

    const QFont* QtFont() const override { return &font_; }
    const QRawFont* QtRawFont() const override { return raw_.isValid() ? &raw_ : nullptr; }

protected:
    int MeasureChar(char16_t c, bool& fallback) const override {
        // The second half of a surrogate pair carries no advance of its own.
        if (c >= 0xDC00 && c <= 0xDFFF) return 0;
        if (c == 9) return CharWidth(u' ');  // a tab measures as a blank unless expanded
        if (c < 32) return 0;
        if (raw_.isValid() && !(c >= 0xD800 && c <= 0xDBFF)) {
            QChar ch(c);
            quint32 glyph = 0;
            int count = 1;
            if (raw_.glyphIndexesForChars(&ch, 1, &glyph, &count) && glyph != 0) {
                QPointF adv;
                if (raw_.advancesForGlyphIndexes(&glyph, &adv, 1)) return qRound(adv.x());
            }
        }
        fallback = true;
        QFontMetrics fm(font_);
        return fm.horizontalAdvance(QChar(c));
    }

private:
    QFont font_;
    QRawFont raw_;
};

struct SpecHash {
    size_t operator()(const TFontSpec& s) const {
        size_t h = std::hash<std::string>()(s.Name);
        h ^= std::hash<int>()(s.Height) + 0x9e3779b9 + (h << 6) + (h >> 2);
        h ^= (static_cast<size_t>(s.Style) << 3) ^ (static_cast<size_t>(s.Charset) << 11) ^
             (static_cast<size_t>(s.Pitch) << 19);
        return h;
    }
};

class TQtFontService : public TFontService {
public:
    const TFontFace* Resolve(const TFontSpec& spec) override {
        auto it = faces_.find(spec);
        if (it != faces_.end()) return it->second.get();
        // Qt's font database exists only with an application object.
        if (!QGuiApplication::instance())
            throw Exception("The installed fonts need the application object; tests without one install "
                            "a font service of their own");
        auto face = std::make_unique<TQtFontFace>(spec);
        const TFontFace* result = face.get();
        faces_.emplace(spec, std::move(face));
        return result;
    }

private:
    std::unordered_map<TFontSpec, std::unique_ptr<TQtFontFace>, SpecHash> faces_;
};

TFontService* g_current = nullptr;
unsigned g_generation = 1;

TQtFontService& InstalledService() {
    // Never destroyed: Qt's font engines may be gone by the time statics die.
    static auto* service = new TQtFontService;
    return *service;
}

class TFixedFontFace : public TFontFace {
public:
    explicit TFixedFontFace(const TFontSpec& spec) : TFontFace(spec) {
        em_ = spec.Height == 0 ? 16 : std::min(std::abs(spec.Height), kMaxEm);
        family_ = spec.Name;
        TTextMetric& m = metrics_;
        m.tmAscent = em_;
        m.tmDescent = em_ / 4;
        m.tmHeight = m.tmAscent + m.tmDescent;
        m.tmInternalLeading = em_ / 4;
        m.tmAveCharWidth = em_ / 2;
        m.tmMaxCharWidth = em_ / 2 + 1;
        m.tmWeight = (spec.Style & fsBold) ? 700 : 400;
        m.tmItalic = (spec.Style & fsItalic) != 0;
        m.tmUnderlined = (spec.Style & fsUnderline) != 0;
        m.tmStruckOut = (spec.Style & fsStrikeOut) != 0;
        m.tmPitchAndFamily = FF_SWISS | TMPF_TRUETYPE | TMPF_VECTOR | TMPF_FIXED_PITCH;
    }

protected:
    int MeasureChar(char16_t c, bool&) const override {
        if (c < 32 || c == 0xAD || (c >= 0xDC00 && c <= 0xDFFF)) return 0;
        if (c == u' ') return em_ / 4;
        return em_ / 2 + ((spec_.Style & fsBold) ? 1 : 0);
    }
};

}  // namespace

TFontService& FontService() { return g_current ? *g_current : InstalledService(); }

TFontService* SetFontService(TFontService* service) {
    TFontService* old = g_current ? g_current : &InstalledService();
    g_current = service;
    ++g_generation;
    return old == &InstalledService() ? nullptr : old;
}

unsigned FontServiceGeneration() { return g_generation; }

std::string ResolveFaceName(const std::string& name) {
    static const std::unordered_map<std::string, std::string> table = {
        {"times new roman", "Liberation Serif"}, {"times", "Liberation Serif"},
        {"tms rmn", "Liberation Serif"},         {"serif", "Liberation Serif"},
        {"arial", "Liberation Sans"},            {"helvetica", "Liberation Sans"},
        {"sans-serif", "Liberation Sans"},       {"arial narrow", "Liberation Sans Narrow"},
        {"courier new", "Liberation Mono"},      {"courier", "Liberation Mono"},
        {"monospace", "Liberation Mono"},        {"lucida console", "DejaVu Sans Mono"},
        {"fixedsys", "DejaVu Sans Mono"},        {"ms sans serif", "DejaVu Sans"},
        {"microsoft sans serif", "DejaVu Sans"}, {"tahoma", "DejaVu Sans"},
        {"verdana", "DejaVu Sans"},              {"segoe ui", "DejaVu Sans"},
        {"ms serif", "DejaVu Serif"},            {"georgia", "DejaVu Serif"},
        {"book antiqua", "DejaVu Serif"},        {"garamond", "DejaVu Serif"},
        {"lucida handwriting", "DejaVu Serif"},  {"symbol", "DejaVu Sans"},
        {"wingdings", "DejaVu Sans"},            {"webdings", "DejaVu Sans"},
        {"cursive", "DejaVu Serif"},             {"fantasy", "DejaVu Sans"},
    };
    static std::unordered_map<std::string, std::string> resolved;
    std::string key = Lower(name);
    while (!key.empty() && (key.back() == ' ' || key.back() == '"' || key.back() == '\'')) key.pop_back();
    while (!key.empty() && (key.front() == ' ' || key.front() == '"' || key.front() == '\'')) key.erase(0, 1);
    auto hit = resolved.find(key);
    if (hit != resolved.end()) return hit->second;

    std::string result;
    auto it = table.find(key);
    if (it != table.end() && HasFamily(QString::fromStdString(it->second))) {
        result = it->second;
    } else if (!key.empty() && HasFamily(QString::fromStdString(key))) {
        // An installed family by its own name (case as the database spells it).
        QString wanted = QString::fromStdString(key);
        for (const QString& f : QFontDatabase::families())
            if (f.compare(wanted, Qt::CaseInsensitive) == 0) {
                result = f.toStdString();
                break;
            }
    }
    if (result.empty()) {
        bool mono = key.find("mono") != std::string::npos || key.find("courier") != std::string::npos;
        bool serif = !mono && key.find("sans") == std::string::npos &&
                     (key.find("serif") != std::string::npos || key.find("roman") != std::string::npos);
        const char* fallback = mono ? "DejaVu Sans Mono" : serif ? "DejaVu Serif" : "DejaVu Sans";
        result = HasFamily(QString::fromLatin1(fallback)) ? fallback
                                                          : QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                                                                .family()
                                                                .toStdString();
    }
    resolved.emplace(key, result);
    return result;
}

std::vector<std::string> InstalledFontFamilies() {
    std::vector<std::string> out;
    for (const QString& f : QFontDatabase::families()) out.push_back(f.toStdString());
    return out;
}

TFixedFontService::~TFixedFontService() = default;

const TFontFace* TFixedFontService::Resolve(const TFontSpec& spec) {
    for (auto& f : faces_)
        if (f->Spec() == spec) return f.get();
    faces_.push_back(std::make_unique<TFixedFontFace>(spec));
    return faces_.back().get();
}
