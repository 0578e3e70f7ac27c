#include "store/codec.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <vector>

namespace {

// One conversion descriptor per direction, opened on first use. The
// program has one thread, so reuse is safe; iconv is reset before each use.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in. On failure returns false and sets *failedAt to
    // the input offset where conversion stopped.
    bool convert(const char *in, size_t inLen, QByteArray *out, size_t *failedAt)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out->resize(qsizetype(inLen * 4 + 16));
        char *src = const_cast<char *>(in);
        size_t srcLeft = inLen;
        char *dst = out->data();
        size_t dstLeft = size_t(out->size());
        while (srcLeft > 0) {
            const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            if (r != size_t(-1))
                continue;
            if (errno == E2BIG) {
                const size_t used = size_t(dst - out->data());
                out->resize(out->size() * 2);
                dst = out->data() + used;
                dstLeft = size_t(out->size()) - used;
                continue;
            }
            *failedAt = size_t(src - in);
            return false;
        }
        out->resize(qsizetype(dst - out->data()));
        return true;
    }

    // Converts a few bytes into a small buffer: the bytes written, or -1
    // with errno set (EINVAL for input that ends inside a character).
    long convertShort(const char *in, size_t inLen, char *out, size_t room)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char *src = const_cast<char *>(in);
        char *dst = out;
        if (iconv(cd_, &src, &inLen, &dst, &room) == size_t(-1))
            return -1;
        return long(dst - out);
    }

private:
    iconv_t cd_;
};

Converter &toCp932()
{
    static Converter c("CP932", "UTF-16LE");
    return c;
}

Converter &fromCp932()
{
    static Converter c("UTF-16LE", "CP932");
    return c;
}

QString describeChar(const QString &text, qsizetype index)
{
    const char32_t cp = text.at(index).isHighSurrogate() && index + 1 < text.size()
                            ? QChar::surrogateToUcs4(text.at(index), text.at(index + 1))
                            : text.at(index).unicode();
    const QString ch = QString::fromUcs4(&cp, 1);
    return QStringLiteral("「%1」(U+%2)").arg(ch, QString::number(cp, 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

} // namespace

namespace cp932 {

QByteArray encode(const QString &text, QString *error)
{
    if (error)
        error->clear();
    if (text.isEmpty())
        return {};
    Converter &c = toCp932();
    if (!c.valid()) {
        if (error)
            *error = QStringLiteral("文字コード変換(CP932)が使えません");
        return {};
    }
    QByteArray out;
    size_t failedAt = 0;
    const auto *in = reinterpret_cast<const char *>(text.utf16());
    if (!c.convert(in, size_t(text.size()) * 2, &out, &failedAt)) {
        if (error)
            *error = QStringLiteral("%1 はシフトJISで保存できない文字です")
                         .arg(describeChar(text, qsizetype(failedAt / 2)));
        return {};
    }
    return out;
}

QString decode(const QByteArray &bytes, QString *error, qsizetype *badOffset)
{
    if (error)
        error->clear();
    if (bytes.isEmpty())
        return {};
    Converter &c = fromCp932();
    if (!c.valid()) {
        if (error)
            *error = QStringLiteral("文字コード変換(CP932)が使えません");
        return {};
    }
    QByteArray out;
    size_t failedAt = 0;
    if (!c.convert(bytes.constData(), size_t(bytes.size()), &out, &failedAt)) {
        if (error)
            *error = QStringLiteral("シフトJISとして読めないバイト(0x%1)があります")
                         .arg(QString::number(quint8(bytes.at(qsizetype(failedAt))), 16)
                                  .toUpper()
                                  .rightJustified(2, QLatin1Char('0')));
        if (badOffset)
            *badOffset = qsizetype(failedAt);
        return {};
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(out.constData()),
                              out.size() / 2);
}

QString firstUnencodable(const QString &text)
{
    QString error;
    encode(text, &error);
    if (error.isEmpty())
        return {};
    // Find it character by character; texts here are short.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString e;
        encode(text.mid(i, len), &e);
        if (!e.isEmpty())
            return text.mid(i, len);
        i += len - 1;
    }
    return {};
}

} // namespace cp932

namespace {

// One entry per byte and per lead byte + trail byte pair, asked of iconv
// once. Every CP932 code is one or two bytes and one UTF-16 unit, and the
// encoding has no state, so a text decodes code by code the same as whole.
class Table {
public:
    Table()
    {
        Converter dec("UTF-16LE", "CP932");
        Converter enc("CP932", "UTF-16LE");
        if (!dec.valid() || !enc.valid())
            return;
        std::fill(std::begin(lead_), std::end(lead_), quint8(0xFF));
        int leads = 0;
        for (int b = 0; b < 256; ++b) {
            const char in[1] = {char(b)};
            char16_t u = 0;
            const int r = one(dec, in, 1, &u);
            if (r == kOk) {
                single_[b] = u;
                flags_[b] = kValid | (roundTrips(enc, u, in, 1) ? kSame : 0);
            } else if (r == kIncomplete) {
                lead_[b] = quint8(leads++);
            }
        }
        pairs_.assign(size_t(leads) * 256, 0);
        pairFlags_.assign(size_t(leads) * 256, 0);
        for (int b = 0; b < 256; ++b) {
            if (lead_[b] == 0xFF)
                continue;
            for (int t = 0; t < 256; ++t) {
                const char in[2] = {char(b), char(t)};
                char16_t u = 0;
                if (one(dec, in, 2, &u) != kOk)
                    continue;
                const size_t i = size_t(lead_[b]) * 256 + size_t(t);
                pairs_[i] = u;
                pairFlags_[i] = kValid | (roundTrips(enc, u, in, 2) ? kSame : 0);
            }
        }
        asciiSame_ = true;
        for (int b = 0; b < 0x80; ++b)
            asciiSame_ = asciiSame_ && (flags_[b] & kSame) && single_[b] == char16_t(b);
        ready_ = true;
    }

    bool ready() const { return ready_; }
    // True when every byte below 0x80 is the character of the same number.
    bool asciiSame() const { return asciiSame_; }

    // Decodes into out (room for size units); returns the units written
    // or -1. With `same`, also fails on a code that does not round-trip.
    qsizetype run(const char *bytes, qsizetype size, char16_t *out, bool same) const
    {
        if (!ready_)
            return -1;
        const quint8 need = same ? quint8(kValid | kSame) : quint8(kValid);
        const auto *p = reinterpret_cast<const quint8 *>(bytes);
        const quint8 *end = p + size;
        char16_t *o = out;
        while (p < end) {
            const quint8 b = *p;
            if ((flags_[b] & need) == need) {
                *o++ = single_[b];
                ++p;
                continue;
            }
            const quint8 l = lead_[b];
            if (l == 0xFF || p + 1 == end)
                return -1;
            const size_t i = size_t(l) * 256 + p[1];
            if ((pairFlags_[i] & need) != need)
                return -1;
            *o++ = pairs_[i];
            p += 2;
        }
        return o - out;
    }

private:
    enum { kOk, kIncomplete, kBad };
    enum : quint8 { kValid = 1, kSame = 2 };

    static int one(Converter &c, const char *in, size_t n, char16_t *u)
    {
        char out[8];
        const long written = c.convertShort(in, n, out, sizeof out);
        if (written < 0)
            return errno == EINVAL ? kIncomplete : kBad;
        if (written != 2)
            return kBad; // not one code of n bytes: leave it to iconv
        *u = char16_t(quint8(out[0]) | (quint8(out[1]) << 8));
        return kOk;
    }

    static bool roundTrips(Converter &enc, char16_t u, const char *in, size_t n)
    {
        const char utf16[2] = {char(u & 0xFF), char(u >> 8)};
        char back[8];
        return enc.convertShort(utf16, 2, back, sizeof back) == long(n) && std::equal(in, in + n, back);
    }

    bool ready_ = false;
    bool asciiSame_ = false;
    char16_t single_[256] = {};
    quint8 flags_[256] = {};
    quint8 lead_[256] = {};
    std::vector<char16_t> pairs_;
    std::vector<quint8> pairFlags_;
};

const Table &table()
{
    static const Table t;
    return t;
}

} // namespace

namespace cp932 {

bool decodeShort(const char *bytes, qsizetype size, QString *out)
{
    const Table &t = table();
    if (!t.ready())
        return false;
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i)
        ascii = quint8(bytes[i]) < 0x80;
    if (ascii && t.asciiSame()) {
        *out = QString::fromLatin1(bytes, size);
        return true;
    }
    QString s(size, Qt::Uninitialized);
    const qsizetype n = t.run(bytes, size, reinterpret_cast<char16_t *>(s.data()), false);
    if (n < 0)
        return false;
    s.truncate(n);
    *out = std::move(s);
    return true;
}

qsizetype decodeInto(const char *bytes, qsizetype size, char16_t *out)
{
    return table().run(bytes, size, out, false);
}

bool bytesRoundTrip(const char *bytes, qsizetype size)
{
    QVarLengthArray<char16_t, 256> buf(size);
    return table().run(bytes, size, buf.data(), true) >= 0;
}

} // namespace cp932
