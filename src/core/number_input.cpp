#include "core/number_input.h"

QString asciiNumberText(const QString &typed)
{
    // Compatibility folding turns ０-９, ．, －, ＋ and the ideographic space
    // into their ASCII forms; the minus sign U+2212 needs saying.
    QString text = typed.normalized(QString::NormalizationForm_KC);
    text.replace(QChar(0x2212), QLatin1Char('-'));
    return text;
}
