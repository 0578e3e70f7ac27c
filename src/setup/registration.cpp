#include "setup/registration.h"

#include "core/number_input.h"
#include "store/format.h"
#include "store/record_line.h"

namespace setup {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Heaviest weight a registration or a save accepts, in kg.
constexpr double kMaxKg = 500.0;

std::optional<double> numberOf(const QString &typed)
{
    const QString text = asciiNumberText(typed);
    if (!fmt::isNumber(text))
        return std::nullopt;
    return fmt::leadingNumber(text);
}

std::optional<Refusal> missing(const QString &title, const QString &text)
{
    return Refusal{title, text, false};
}

std::optional<Refusal> refused(const QString &title, const QString &text)
{
    return Refusal{title, text, true};
}

// Height and target, shared by the registration and the profile edit.
std::optional<Refusal> checkBody(const QString &heightText, const QString &targetText,
                                 PersonProfile *out)
{
    const std::optional<double> height = numberOf(heightText);
    if (!height || !(*height > 0) || !(*height < 1000))
        return refused(QStringLiteral("身長入力エラー"),
                       QStringLiteral("身長はcmの数値で入力してください（例: 165.5）"));
    const std::optional<double> target = numberOf(targetText);
    if (!target || !(*target > 0) || !(*target <= kMaxKg))
        return refused(QStringLiteral("目標体重入力エラー"),
                       QStringLiteral("目標体重は0Kgより大きく500Kg以下の数値で入力してください"));
    out->height = float(*height);
    out->targetWeight = float(*target);
    return std::nullopt;
}

std::optional<Refusal> checkStorable(const QString &text, const QString &what)
{
    const QString reason = store::unstorableReason(text);
    if (reason.isEmpty())
        return std::nullopt;
    return refused(QStringLiteral("入力エラー"),
                   QStringLiteral("%1は記録できません。\n\n%2").arg(what, reason));
}

} // namespace

std::optional<Refusal> checkRegistration(const RegistrationInput &in, const QString &today,
                                         Registration *out)
{
    if (in.nickname.isEmpty())
        return missing(QStringLiteral("ニックネーム未入力"), QStringLiteral("ニックネームが入力されていません"));
    if (in.height.isEmpty())
        return missing(QStringLiteral("身長未入力"), QStringLiteral("身長が入力されていません"));
    if (in.target.isEmpty())
        return missing(QStringLiteral("目標体重未入力"), QStringLiteral("目標体重が入力されていません"));
    if (in.weight.isEmpty())
        return missing(QStringLiteral("現体重未入力"), QStringLiteral("現在の体重が入力されていません"));
    if (in.situation.isEmpty())
        return missing(QStringLiteral("初回状況（コメント）未入力"),
                       QStringLiteral("初回の状況が入力されていません"));

    Registration r;
    if (auto refusal = checkBody(in.height, in.target, &r.profile))
        return refusal;
    const std::optional<double> weight = numberOf(in.weight);
    if (!weight || !(*weight > 0) || !(*weight <= kMaxKg))
        return refused(QStringLiteral("現体重入力エラー"),
                       QStringLiteral("現在の体重は0Kgより大きく500Kg以下の数値で入力してください"));
    if (auto refusal = checkStorable(in.nickname, QStringLiteral("このニックネーム")))
        return refusal;
    if (auto refusal = checkStorable(in.situation, QStringLiteral("この初回の状況")))
        return refusal;

    r.profile.nickname = in.nickname;
    r.start.date = today;
    r.start.situation = in.situation;
    r.start.weight = float(*weight);
    *out = r;
    return std::nullopt;
}

std::optional<Refusal> checkProfileEdit(const ProfileInput &in, PersonProfile *out)
{
    if (in.height.isEmpty())
        return missing(QStringLiteral("身長未入力"), QStringLiteral("身長が入力されていません"));
    if (in.target.isEmpty())
        return missing(QStringLiteral("目標体重未入力"), QStringLiteral("目標体重が入力されていません"));
    PersonProfile p;
    if (auto refusal = checkBody(in.height, in.target, &p))
        return refusal;
    if (auto refusal = checkStorable(in.nickname, QStringLiteral("このニックネーム")))
        return refusal;
    p.nickname = in.nickname;
    *out = p;
    return std::nullopt;
}

QString registrationTitle() { return QStringLiteral("データを登録しましょう"); }

QString firstPersonText()
{
    return QStringLiteral("新規にナナホシをスタートさせます。") + kCrLf + kCrLf
           + QStringLiteral("一人目のの名前（ニックネーム）を入力してください。（※必須です）") + kCrLf + kCrLf
           + QStringLiteral("身長と目標体重を半角文字で入力してください。（※必須です）") + kCrLf + kCrLf
           + QStringLiteral("現在（スタート時）の体重を入力してください。（※必須です）") + kCrLf + kCrLf
           + QStringLiteral("初期の状況として記録したい言葉を入力してください。") + kCrLf
           + QStringLiteral("デフォルトでは「はじめの一歩」と入れていますが自由に変更できます。（※必須です）")
           + kCrLf + kCrLf
           + QStringLiteral("入力し準備ができたら新規登録ボタンを押してください。二人目の登録に移ります。");
}

QString secondPersonText()
{
    return QStringLiteral("二人目の名前（ニックネーム）を入力してください。") + kCrLf + kCrLf
           + QStringLiteral("同様に身長と目標体重、体重を入力してください。") + kCrLf + kCrLf
           + QStringLiteral("入力し準備ができたら新規登録ボタンを押してください。");
}

QString finishedTitle() { return QStringLiteral("新規登録終了"); }

QString finishedText()
{
    return QStringLiteral("登録が終了しました。") + kCrLf + kCrLf
           + QStringLiteral("一旦プログラムを終了させていただきます。次の起動からナナホシのスタートです！");
}

QString confirmTitle() { return QStringLiteral("クリア確認"); }
QString confirmText() { return QStringLiteral("入力した内容でデータを作ります。よろしいですか？"); }

} // namespace setup
