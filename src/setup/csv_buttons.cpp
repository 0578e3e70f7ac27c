#include "setup/csv_buttons.h"

#include "core/session.h"
#include "store/csv_files.h"
#include "ui/dialogs.h"
#include "ui/store_error_box.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

const QString kOutTitle = QStringLiteral("CSV書き出し");
const QString kInTitle = QStringLiteral("CSV読み込み");
const QString kFilter = QStringLiteral("CSVファイル (*.csv *.CSV *.txt *.TXT *.tsv);;すべてのファイル (*)");

struct LayoutChoice {
    csv::Layout layout;
    const char16_t *text;
};
const LayoutChoice kLayouts[] = {
    {csv::Layout::Own, u"ナナホシ形式（日付・状況・体重・一言日記をそのまま）"},
    {csv::Layout::OpenScale, u"openScale 形式（日付・時刻・体重・コメント）"},
    {csv::Layout::Libra, u"Libra 形式（1日1行、その日の平均）"},
    {csv::Layout::Simple, u"日付と体重だけ"},
};

// A file name made of the person's nickname: characters a file name
// cannot hold become "_".
QString suggestedName(const QString &nickname, PersonSlot p, csv::Layout layout)
{
    QString who = nickname.trimmed();
    if (who.isEmpty())
        who = QStringLiteral("%1人目").arg(int(p));
    for (QChar &c : who)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20)
            c = u'_';
    return QStringLiteral("ナナホシ_%1_%2.csv").arg(who, csv::layoutName(layout));
}

} // namespace

CsvButtons::CsvButtons(Session &session, QWidget *parent)
    : QGroupBox(QStringLiteral("CSVファイル"), parent), s_(session)
{
    setObjectName(QStringLiteral("fraCsv"));
    cmdCsvOut_ = new QPushButton(QStringLiteral("CSV書き出し…"), this);
    cmdCsvOut_->setObjectName(QStringLiteral("cmdCsvOut"));
    cmdCsvOut_->setToolTip(QStringLiteral("選んでいる人の記録を、ほかのアプリや表計算で読めるCSVファイルに書き出します"));
    connect(cmdCsvOut_, &QPushButton::clicked, this, [this] { cmdCsvOut_Click(); });
    cmdCsvIn_ = new QPushButton(QStringLiteral("CSV読み込み…"), this);
    cmdCsvIn_->setObjectName(QStringLiteral("cmdCsvIn"));
    cmdCsvIn_->setToolTip(QStringLiteral("ほかのアプリや表計算のCSVファイルの記録を、選んでいる人の記録に加えます"));
    connect(cmdCsvIn_, &QPushButton::clicked, this, [this] { cmdCsvIn_Click(); });
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(cmdCsvOut_);
    layout->addWidget(cmdCsvIn_);
}

void CsvButtons::cmdCsvOut_Click()
{
    QStringList items;
    for (const LayoutChoice &c : kLayouts)
        items.append(QString::fromUtf16(c.text));
    const std::optional<int> chosen = s_.dialogs.choose(
        window(), QStringLiteral("書き出す形式を選んでください"), kOutTitle, items, 0);
    if (!chosen || *chosen < 0 || *chosen >= int(std::size(kLayouts)))
        return;
    const csv::Layout layout = kLayouts[*chosen].layout;
    const PersonSlot p = s_.person.selected();
    const QString suggested = QDir::home().filePath(suggestedName(s_.person.current().nickname, p, layout));
    const std::optional<QString> file = s_.dialogs.saveFile(window(), kOutTitle, suggested, kFilter);
    if (!file || file->isEmpty())
        return;
    int written = 0;
    if (MaybeError e = csv::exportToFile(s_.dir, p, layout, *file, &written)) {
        showStoreError(s_.dialogs, window(), QStringLiteral("CSVファイルに書き出せませんでした。"), *e,
                       QStringLiteral("書き出しエラー"));
        return;
    }
    s_.dialogs.message(window(),
                       QStringLiteral("%1件の記録を書き出しました。\n\n%2")
                           .arg(written)
                           .arg(QDir::toNativeSeparators(*file)),
                       kOutTitle, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

void CsvButtons::cmdCsvIn_Click()
{
    const std::optional<QString> file = s_.dialogs.openFile(window(), kInTitle, QDir::homePath(), kFilter);
    if (!file || file->isEmpty())
        return;
    const QString what = QStringLiteral("CSVファイルを読み込めませんでした。");
    QByteArray bytes;
    if (MaybeError e = csv::readImportFile(*file, &bytes)) {
        showStoreError(s_.dialogs, window(), what, *e, QStringLiteral("読み込みエラー"));
        return;
    }
    csv::ImportBase base;
    if (MaybeError e = csv::readImportBase(s_.dir, s_.person.selected(), &base)) {
        showStoreError(s_.dialogs, window(), what, *e, QStringLiteral("読み込みエラー"));
        return;
    }
    csv::ImportOptions options;
    csv::ImportPlan plan = csv::planImport(bytes, base.records, options);
    if (plan.needsDateOrder) {
        // Asked once: the answer holds for every date of the file.
        const std::optional<int> order = s_.dialogs.choose(
            window(),
            QStringLiteral("このファイルの日付（3/4/2025 のような書き方）は、月/日/年か日/月/年か判断できません。\n"
                           "どちらの書き方ですか？"),
            QStringLiteral("日付の書き方"),
            {QStringLiteral("月/日/年（3/4/2025 は 3月4日）"), QStringLiteral("日/月/年（3/4/2025 は 4月3日）")}, 0);
        if (!order)
            return;
        options.dateOrder = *order == 0 ? csv::DateOrder::MonthFirst : csv::DateOrder::DayFirst;
        plan = csv::planImport(bytes, base.records, options);
    }
    const QString preview = csv::previewText(plan);
    if (!plan.canImport()) {
        // Nothing that OK could write: the reason alone, OK only.
        const bool refused = !plan.error.isEmpty() || plan.tooMany || plan.needsDateOrder;
        s_.dialogs.message(window(),
                           refused ? preview : preview + QStringLiteral("\n\n追加する記録はありません。"),
                           kInTitle, refused ? Dialogs::Icon::Exclamation : Dialogs::Icon::Information,
                           Dialogs::Buttons::Ok);
        return;
    }
    const QString who = s_.person.current().nickname.isEmpty() ? QStringLiteral("%1人目").arg(int(s_.person.selected()))
                                                     : s_.person.current().nickname;
    const QString question = QStringLiteral("%1\n\n「%2」の記録に加えます。よろしいですか？")
                                 .arg(preview, who);
    if (s_.dialogs.message(window(), question, QStringLiteral("CSV読み込みの確認"), Dialogs::Icon::Question,
                           Dialogs::Buttons::OkCancel) != Dialogs::Answer::Ok)
        return;
    bool recordsIn = false;
    if (MaybeError e = csv::applyImport(s_.dir, base, plan, s_.clock, &recordsIn)) {
        // Failed after the file was replaced: the records are in, and the
        // screens must show them.
        if (recordsIn)
            Q_EMIT recordsImported();
        showStoreError(s_.dialogs, window(),
                       recordsIn ? QStringLiteral("%1件の記録を読み込みましたが、最後まで終えられませんでした。")
                                       .arg(plan.toAdd.size())
                                 : what,
                       *e, QStringLiteral("読み込みエラー"));
        return;
    }
    Q_EMIT recordsImported();
    s_.dialogs.message(window(), QStringLiteral("%1件の記録を読み込みました。").arg(plan.toAdd.size()), kInTitle,
                       Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}
