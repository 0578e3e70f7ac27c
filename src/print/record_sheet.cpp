#include "print/record_sheet.h"

namespace print {

namespace {

QString spaces(int n) { return QString(n, QChar(0x3000)); } // ideographic space

// "＜　　　／　　　＞": a month and day to fill in.
QString headerBlank()
{
    return QChar(0xFF1C) + spaces(3) + QChar(0xFF0F) + spaces(3) + QChar(0xFF1E);
}

// "（　　　  　　　…／　　　　　）": a situation and a weight to fill in.
QString entryBlank()
{
    return QChar(0xFF08) + spaces(3) + QStringLiteral("  ") + spaces(12) + QChar(0xFF0F) + spaces(5)
           + QChar(0xFF09);
}

} // namespace

QString confirmationTitle() { return QStringLiteral("印刷確認"); }

QString confirmationText(PrintAction action)
{
    const QString question = action == PrintAction::ScreenImage
                                 ? QStringLiteral("表示中の画面イメージで印刷しますか？")
                                 : QStringLiteral("体重記録用紙を印刷しますか？");
    return question + QStringLiteral("\r\n\r\n良かったらＯＫボタンを押してください");
}

RecordSheet recordSheet()
{
    RecordSheet sheet;
    for (int x : {kBoxWidth, 2 * kBoxWidth})
        sheet.lines.append({x, 0, x, 17000});
    for (int r = 1; r <= 3; ++r)
        sheet.lines.append({0, r * kBoxHeight, 12000, r * kBoxHeight});

    const QString header = headerBlank();
    const QString entry = entryBlank();
    sheet.headers.reserve(12);
    sheet.entries.reserve(120);
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 4; ++r) {
            const int x = c * kBoxWidth + 100;
            const int top = r * kBoxHeight;
            sheet.headers.append({x, top + 100, header});
            for (int j = 0; j < 10; ++j)
                sheet.entries.append({x, top + 500 + j * 300, entry});
        }
    }
    return sheet;
}

} // namespace print
