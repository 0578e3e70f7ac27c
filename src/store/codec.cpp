#include "store/codec.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

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
