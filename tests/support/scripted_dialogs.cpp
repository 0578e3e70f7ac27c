#include "scripted_dialogs.h"

Dialogs::Answer ScriptedDialogs::message(QWidget *, const QString &text, const QString &title,
                                         Icon icon, Buttons buttons)
{
    calls.append({Call::Kind::Message, text, title, icon, buttons, QString()});
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

std::optional<QString> ScriptedDialogs::input(QWidget *, const QString &prompt,
                                              const QString &title, const QString &defaultText)
{
    calls.append({Call::Kind::Input, prompt, title, Icon::None, Buttons::OkCancel, defaultText});
    if (!inputs.isEmpty())
        return inputs.takeFirst();
    return std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget *, const QString &title,
                                                 const QString &suggested, const QString &filter)
{
    calls.append({Call::Kind::Save, suggested, title, Icon::None, Buttons::OkCancel, filter});
    if (!saves.isEmpty())
        return saves.takeFirst();
    return std::nullopt;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget *, const QString &title,
                                                 const QString &folder, const QString &filter)
{
    calls.append({Call::Kind::Open, folder, title, Icon::None, Buttons::OkCancel, filter});
    if (!opens.isEmpty())
        return opens.takeFirst();
    return std::nullopt;
}

std::optional<int> ScriptedDialogs::choose(QWidget *, const QString &prompt, const QString &title,
                                           const QStringList &items, int)
{
    calls.append({Call::Kind::Choose, prompt, title, Icon::None, Buttons::OkCancel,
                  items.join(QStringLiteral(" / "))});
    if (!choices.isEmpty())
        return choices.takeFirst();
    return std::nullopt;
}

QStringList ScriptedDialogs::titles() const
{
    QStringList out;
    for (const Call &c : calls)
        out.append(c.title);
    return out;
}

namespace {

QString iconName(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::None: return QStringLiteral("none");
    case Dialogs::Icon::Information: return QStringLiteral("information");
    case Dialogs::Icon::Exclamation: return QStringLiteral("exclamation");
    case Dialogs::Icon::Question: return QStringLiteral("question");
    case Dialogs::Icon::Critical: return QStringLiteral("critical");
    }
    return {};
}

QString buttonsName(Dialogs::Buttons b)
{
    switch (b) {
    case Dialogs::Buttons::Ok: return QStringLiteral("ok");
    case Dialogs::Buttons::OkCancel: return QStringLiteral("ok/cancel");
    case Dialogs::Buttons::YesNo: return QStringLiteral("yes/no");
    }
    return {};
}

} // namespace

QString ScriptedDialogs::describe(const QString &text, const QString &title, Icon icon,
                                  Buttons buttons)
{
    return QStringLiteral("%1 | %2 | %3 | %4").arg(text, title, iconName(icon), buttonsName(buttons));
}

QString ScriptedDialogs::describe(const Call &c)
{
    if (c.kind == Call::Kind::Input)
        return QStringLiteral("input: %1 | %2 | %3").arg(c.text, c.title, c.defaultText);
    if (c.kind == Call::Kind::Save)
        return QStringLiteral("save: %1 | %2 | %3").arg(c.text, c.title, c.defaultText);
    if (c.kind == Call::Kind::Open)
        return QStringLiteral("open: %1 | %2 | %3").arg(c.text, c.title, c.defaultText);
    if (c.kind == Call::Kind::Choose)
        return QStringLiteral("choose: %1 | %2 | %3").arg(c.text, c.title, c.defaultText);
    return describe(c.text, c.title, c.icon, c.buttons);
}
